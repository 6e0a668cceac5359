// KERNEL32's file and path calls, and the runtime's path-taking calls, on the
// simulated machine's drive.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "platform/crt.h"
#include "platform/host/machine.h"
#include "platform/kernel32.h"

namespace fs = std::filesystem;

namespace {

struct OpenFile {
  std::string path;  // Windows path
  FILE* stream;      // the host file
  FILE* runtime;     // the runtime's FILE that wraps it, for crtOpenFile
};

std::map<int, OpenFile> openFiles;  // by handle
int nextHandle = 3;

int addFile(const std::string& path, FILE* stream) {
  int handle = nextHandle++;
  openFiles[handle] = {machine::fullPath(path), stream, nullptr};
  return handle;
}

FILE* streamOf(int handle) {
  auto it = openFiles.find(handle);
  return it == openFiles.end() ? nullptr : it->second.stream;
}

int closeFile(int handle) {
  auto it = openFiles.find(handle);
  if (it == openFiles.end()) return -1;
  fclose(it->second.stream);
  openFiles.erase(it);
  return 0;
}

// Opens the host file of a Windows path; a folder or a missing drive fails.
FILE* openHost(const char* path, const char* mode) {
  std::string host = machine::hostPath(path);
  if (host.empty() || fs::is_directory(host)) return nullptr;
  return fopen(host.c_str(), mode);
}

// Writes what the disk still takes; the count written.
size_t writeLimited(FILE* stream, const void* data, size_t bytes) {
  size_t allowed = bytes;
  while (allowed > 0 && !machine::reserveDiskBytes(allowed)) allowed /= 2;
  size_t written = fwrite(data, 1, allowed, stream);
  fflush(stream);
  machine::countBytesWritten(written);
  return written;
}

}  // namespace

namespace machine {

std::vector<std::string> openFiles() {
  std::vector<std::string> paths;
  for (const auto& [handle, file] : ::openFiles) paths.push_back(file.path);
  return paths;
}

void closeAllFiles() {
  while (!::openFiles.empty()) {
    auto it = ::openFiles.begin();
    if (it->second.runtime) {
      fclose(it->second.runtime);  // its close function drops the entry
    } else {
      closeFile(it->first);
    }
  }
}

std::vector<FileOperation>& fileOperations() {
  static std::vector<FileOperation> operations;
  return operations;
}

}  // namespace machine

extern "C" {

HFILE WINAPI _lopen(LPCSTR path, int mode) {
  FILE* stream = openHost(path, (mode & 3) == 0 ? "rb" : "r+b");
  return stream ? addFile(path, stream) : HFILE_ERROR;
}

HFILE WINAPI _lcreat(LPCSTR path, int) {
  FILE* stream = openHost(path, "w+b");
  return stream ? addFile(path, stream) : HFILE_ERROR;
}

UINT WINAPI _lread(HFILE file, LPVOID buffer, UINT count) {
  FILE* stream = streamOf(file);
  return stream ? (UINT)fread(buffer, 1, count, stream) : (UINT)HFILE_ERROR;
}

UINT WINAPI _lwrite(HFILE file, LPCCH buffer, UINT count) {
  FILE* stream = streamOf(file);
  return stream ? (UINT)writeLimited(stream, buffer, count) : (UINT)HFILE_ERROR;
}

LONG WINAPI _llseek(HFILE file, LONG offset, int origin) {
  FILE* stream = streamOf(file);
  int whence = origin == FILE_BEGIN ? SEEK_SET : origin == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  if (!stream || fseek(stream, offset, whence) != 0) return HFILE_ERROR;
  return (LONG)ftell(stream);
}

HFILE WINAPI _lclose(HFILE file) { return closeFile(file) == 0 ? 0 : HFILE_ERROR; }

// CreateFileA handles live in the same table, kept apart by an offset.
#define CREATE_FILE_BASE 0x10000

HANDLE WINAPI CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  std::string host = machine::hostPath(path);
  bool exists = !host.empty() && fs::is_regular_file(host);
  if (!exists && disposition != OPEN_ALWAYS) return INVALID_HANDLE_VALUE;
  FILE* stream = openHost(path, exists ? "r+b" : "w+b");
  if (!stream) return INVALID_HANDLE_VALUE;
  return (HANDLE)(intptr_t)(addFile(path, stream) + CREATE_FILE_BASE);
}

static int handleNumber(HANDLE handle) { return (int)((intptr_t)handle - CREATE_FILE_BASE); }

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG, DWORD method) {
  LONG at = _llseek(handleNumber(file), distance, (int)method);
  return at < 0 ? 0xFFFFFFFFu : (DWORD)at;
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED) {
  FILE* stream = streamOf(handleNumber(file));
  if (written) *written = 0;
  if (!stream) return FALSE;
  size_t done = writeLimited(stream, buffer, count);
  if (written) *written = (DWORD)done;
  return done == count;
}

BOOL WINAPI CloseHandle(HANDLE object) { return closeFile(handleNumber(object)) == 0; }

// Copies a text into a caller's buffer as the path queries do: the length
// without the NUL, or the size needed (NUL included) when it does not fit.
static DWORD copyPath(const std::string& text, LPSTR buffer, DWORD size) {
  if (text.size() + 1 > size) return (DWORD)text.size() + 1;
  memcpy(buffer, text.c_str(), text.size() + 1);
  return (DWORD)text.size();
}

DWORD WINAPI GetModuleFileNameA(HMODULE, LPSTR buffer, DWORD size) {
  const std::string& path = machine::modulePath();
  if (size == 0) return 0;
  DWORD copied = std::min<DWORD>((DWORD)path.size(), size - 1);
  memcpy(buffer, path.data(), copied);
  buffer[copied] = 0;
  return copied < path.size() ? size : copied;
}

UINT WINAPI GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  if (machine::setting("windows_directory").empty()) return 0;
  return copyPath(machine::windowsDirectory(), buffer, size);
}

UINT WINAPI GetSystemDirectoryA(LPSTR buffer, UINT size) { return copyPath(machine::systemDirectory(), buffer, size); }

int WINAPI MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  long long product = (long long)number * numerator;
  long long half = (denominator < 0 ? -denominator : denominator) / 2;
  long long rounded = (product < 0) != (denominator < 0) ? product - half : product + half;
  return (int)(rounded / denominator);
}

}  // extern "C"

// The runtime's own file: every read and write goes to the host file at
// once (the stream is unbuffered) and is recorded.
namespace {

struct RuntimeFile {
  int handle;
};

ssize_t runtimeRead(void* cookie, char* buffer, size_t bytes) {
  int handle = static_cast<RuntimeFile*>(cookie)->handle;
  size_t got = fread(buffer, 1, bytes, streamOf(handle));
  machine::fileOperations().push_back({openFiles[handle].path, 'r', bytes});
  return (ssize_t)got;
}

ssize_t runtimeWrite(void* cookie, const char* buffer, size_t bytes) {
  int handle = static_cast<RuntimeFile*>(cookie)->handle;
  size_t done = writeLimited(streamOf(handle), buffer, bytes);
  machine::fileOperations().push_back({openFiles[handle].path, 'w', bytes});
  return done == 0 && bytes > 0 ? -1 : (ssize_t)done;
}

int runtimeSeek(void* cookie, off64_t* offset, int whence) {
  FILE* stream = streamOf(static_cast<RuntimeFile*>(cookie)->handle);
  if (fseeko(stream, *offset, whence) != 0) return -1;
  *offset = ftello(stream);
  return 0;
}

int runtimeClose(void* cookie) {
  auto* file = static_cast<RuntimeFile*>(cookie);
  closeFile(file->handle);
  delete file;
  return 0;
}

}  // namespace

FILE* crtOpenFile(const char* path, const char* mode) {
  bool writing = mode[0] == 'w' || mode[0] == 'a';
  FILE* stream = openHost(path, writing ? "w+b" : "rb");
  if (!stream) return nullptr;
  auto* file = new RuntimeFile{addFile(path, stream)};
  FILE* runtime = fopencookie(file, mode, {runtimeRead, runtimeWrite, runtimeSeek, runtimeClose});
  setvbuf(runtime, nullptr, _IONBF, 0);
  openFiles[file->handle].runtime = runtime;
  return runtime;
}

size_t crtRead(void* buffer, size_t size, size_t count, FILE* file) {
  for (auto& [handle, open] : openFiles) {
    if (open.runtime != file) continue;
    size_t got = fread(buffer, 1, size * count, open.stream);
    machine::fileOperations().push_back({open.path, 'r', size * count});
    return size ? got / size : 0;
  }
  return fread(buffer, size, count, file);
}

int crtStat(const char* path) {
  std::string host = machine::hostPath(path);
  struct stat info;
  return host.empty() ? -1 : stat(host.c_str(), &info);
}

int crtMakeDirectory(const char* path) {
  std::string host = machine::hostPath(path);
  return host.empty() ? -1 : mkdir(host.c_str(), 0755);
}

void crtExit(int status) {
  machine::closeAllFiles();
  throw machine::ProcessExit{status};
}
