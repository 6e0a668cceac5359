// The simulated Windows machine: a folder holding drive C:, the machine's
// settings ("machine.ini") and its registry ("registry.reg"). Windows paths
// are mapped onto it case-insensitively, keeping the case a name was made with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace machine {

// Settings and their defaults; `vrn-machine new` writes them all out.
struct Setting {
  const char* key;
  const char* value;
  const char* meaning;
};
const std::vector<Setting>& defaultSettings();

// Makes a fresh machine in dir (settings given as key=value override the
// defaults). Throws std::runtime_error on a bad setting.
void create(const std::string& dir, const std::vector<std::string>& settings);
// Opens an existing machine for the calls that follow.
void open(const std::string& dir);
const std::string& folder();

std::string setting(const std::string& key);
long long settingNumber(const std::string& key);
bool settingOn(const std::string& key);
std::vector<std::string> settingList(const std::string& key);          // blank-separated
void changeSetting(const std::string& key, const std::string& value);  // for this run only
void saveSetting(const std::string& key, const std::string& value);    // kept in machine.ini

// A Windows path made absolute and tidy: drive letter, backslashes, no "."
// or ".." components. Relative paths start at the current directory.
std::string fullPath(const std::string& windowsPath);
// The host path of a Windows path; existing components are matched without
// regard to case. Empty when the drive does not exist.
std::string hostPath(const std::string& windowsPath);
// The name in a host folder whose short (8.3) name is shortName, or
// shortName itself when there is none.
std::string longName(const std::string& hostFolder, const std::string& shortName);
std::string windowsDirectory();  // without a trailing backslash
std::string systemDirectory();

// The running installer's own path, as GetModuleFileNameA gives it.
void setModulePath(const std::string& windowsPath);
const std::string& modulePath();

// Bytes the disk still takes in this run; writes past it come up short.
bool reserveDiskBytes(std::uint64_t bytes);
// Bytes written to files in this run, counted by every file call.
void countBytesWritten(std::uint64_t bytes);
std::uint64_t bytesWritten();

// The transcript of what the user sees and what the system starts.
void setTranscript(const std::string& hostFile);
void transcript(const std::string& text);
const std::vector<std::string>& transcriptLines();  // of this run, also without a file

// Ends the installer's run with a status, as the runtime's exit does.
struct ProcessExit {
  int status;
};

}  // namespace machine

namespace machine {

// Every read and write made through the runtime's file calls, in order, for
// tests that check how a stream is read and written.
struct FileOperation {
  std::string path;  // Windows path
  char kind;         // 'r' or 'w'
  std::size_t bytes;
};
std::vector<FileOperation>& fileOperations();
// Windows paths of the files that are open now, through any file call.
std::vector<std::string> openFiles();
// Closes every file left open (a run that ended) without flushing order
// guarantees beyond what exit() gives.
void closeAllFiles();

}  // namespace machine
