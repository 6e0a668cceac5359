// WINMM's mciSendCommandA with MCI_OPEN and MCI_CLOSE. A file opens when a
// device takes it and its content is a format that the machine plays (the
// media_types setting). Without MCI_OPEN_TYPE the device is the one that the
// file's extension selects; each device plays only its own format, except
// "MPEGVideo" (present when the mpegvideo setting says so), which plays
// every format the machine has.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>

#include "platform/host/machine.h"
#include "platform/host/system_records.h"
#include "platform/winmm.h"

namespace {

const MCIERROR MCIERR_INVALID_DEVICE_ID = 257;
const MCIERROR MCIERR_INVALID_DEVICE_NAME = 263;
const MCIERROR MCIERR_FILE_NOT_FOUND = 275;
const MCIERROR MCIERR_EXTENSION_NOT_FOUND = 281;
const MCIERROR MCIERR_INVALID_FILE = 296;
const MCIERROR MCIERR_UNRECOGNIZED_COMMAND = 261;
const size_t signatureBytes = 12;  // the longest signature looked at: RIFF, size, form

struct Device {
  const char* name;
  const char* format;  // what it plays; nullptr: every format the machine has
};

const Device devices[] = {
    {"waveaudio", "wav"},
    {"sequencer", "mid"},
    {"avivideo", "avi"},
    {"MPEGVideo", nullptr},
};

// The [mci extensions] of the machine.
const std::map<std::string, const char*> extensionDevices = {
    {"wav", "waveaudio"}, {"mid", "sequencer"},  {"rmi", "sequencer"}, {"avi", "avivideo"},
    {"mpg", "MPEGVideo"}, {"mpeg", "MPEGVideo"}, {"mpe", "MPEGVideo"}, {"m1v", "MPEGVideo"},
    {"mp2", "MPEGVideo"}, {"mp3", "MPEGVideo"},  {"mpa", "MPEGVideo"},
};

struct OpenDevice {
  std::string name;
  std::string element;
};

std::map<UINT, OpenDevice> openDevices;
UINT nextDevice = 0;

const Device* deviceNamed(const std::string& name) {
  for (const Device& d : devices) {
    bool present = strcmp(d.name, "MPEGVideo") != 0 || machine::settingOn("mpegvideo");
    if (present && strcasecmp(d.name, name.c_str()) == 0) return &d;
  }
  return nullptr;
}

std::string extensionOf(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('\\', dot) != std::string::npos) return "";
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return (char)std::tolower(c); });
  return ext;
}

bool plays(const Device& device, const std::string& format) {
  std::vector<std::string> types = machine::settingList("media_types");
  bool installed = std::find(types.begin(), types.end(), format) != types.end();
  return installed && (!device.format || format == device.format);
}

std::vector<uint8_t> fileStart(const std::string& windowsPath) {
  std::string host = machine::hostPath(windowsPath);
  std::vector<uint8_t> bytes(signatureBytes);
  std::ifstream in(host, std::ios::binary);
  in.read(reinterpret_cast<char*>(bytes.data()), (std::streamsize)bytes.size());
  bytes.resize((size_t)in.gcount());
  return bytes;
}

bool fileExists(const char* path) {
  if (!path) return false;
  std::string host = machine::hostPath(path);
  return !host.empty() && std::ifstream(host).good();
}

MCIERROR openDevice(DWORD_PTR flags, MCI_OPEN_PARMSA* open, std::string* deviceName) {
  const char* element = (flags & MCI_OPEN_ELEMENT) ? open->lpstrElementName : nullptr;
  if (flags & MCI_OPEN_TYPE) {
    *deviceName = open->lpstrDeviceType ? open->lpstrDeviceType : "";
  } else {
    auto it = extensionDevices.find(extensionOf(element ? element : ""));
    if (it == extensionDevices.end()) return MCIERR_EXTENSION_NOT_FOUND;
    *deviceName = it->second;
  }
  const Device* device = deviceNamed(*deviceName);
  if (!device) return MCIERR_INVALID_DEVICE_NAME;
  if (!fileExists(element)) return MCIERR_FILE_NOT_FOUND;
  if (!plays(*device, machine::mediaFormat(fileStart(element)))) return MCIERR_INVALID_FILE;
  open->wDeviceID = ++nextDevice;
  openDevices[open->wDeviceID] = {device->name, element};
  return 0;
}

bool startsWith(const std::vector<uint8_t>& b, size_t at, const char* text) {
  size_t n = strlen(text);
  return b.size() >= at + n && memcmp(b.data() + at, text, n) == 0;
}

}  // namespace

namespace machine {

std::string mediaFormat(const std::vector<uint8_t>& b) {
  bool mpegStart = b.size() >= 4 && b[0] == 0 && b[1] == 0 && b[2] == 1 && (b[3] == 0xBA || b[3] == 0xB3);
  if (mpegStart) return "mpg";
  if (startsWith(b, 0, "RIFF") && startsWith(b, 8, "AVI ")) return "avi";
  if (startsWith(b, 0, "RIFF") && startsWith(b, 8, "WAVE")) return "wav";
  if (startsWith(b, 0, "MThd") || (startsWith(b, 0, "RIFF") && startsWith(b, 8, "RMID"))) return "mid";
  if (b.size() >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "jpg";
  if (startsWith(b, 0, "ID3") || (b.size() >= 2 && b[0] == 0xFF && (b[1] & 0xE0) == 0xE0)) return "mp3";
  if (startsWith(b, 0, "BM")) return "bmp";
  if (startsWith(b, 0, "GIF87a") || startsWith(b, 0, "GIF89a")) return "gif";
  if (startsWith(b, 0, "\x89PNG\r\n\x1a\n")) return "png";
  return "";
}

std::vector<MediaCommand>& mediaCommands() {
  static std::vector<MediaCommand> commands;
  return commands;
}

std::vector<UINT> openMediaDevices() {
  std::vector<UINT> ids;
  for (const auto& [id, device] : ::openDevices) ids.push_back(id);
  return ids;
}

}  // namespace machine

extern "C" MCIERROR WINAPI mciSendCommandA(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
  if (message == MCI_OPEN) {
    auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(params);
    std::string name;
    MCIERROR result = openDevice(flags, open, &name);
    const char* element = (flags & MCI_OPEN_ELEMENT) && open->lpstrElementName ? open->lpstrElementName : "";
    machine::mediaCommands().push_back({'o', result ? 0 : open->wDeviceID, name, element, result});
    return result;
  }
  if (message == MCI_CLOSE) {
    auto it = openDevices.find(device);
    MCIERROR result = it == openDevices.end() ? MCIERR_INVALID_DEVICE_ID : 0;
    machine::mediaCommands().push_back(
        {'c', device, result ? "" : it->second.name, result ? "" : it->second.element, result});
    if (!result) openDevices.erase(it);
    return result;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}
