// The C runtime's calls that take a path, and the process exit. The Windows
// build calls the runtime directly; the host build maps the path onto the
// simulated machine.
#pragma once

#include <stdio.h>

#ifdef _WIN32
#include <direct.h>
#include <stdlib.h>
#include <sys/stat.h>

inline FILE* crtOpenFile(const char* path, const char* mode) { return fopen(path, mode); }
inline int crtStat(const char* path) {  // 0 when the path exists
  struct _stat info;
  return _stat(path, &info);
}
inline int crtMakeDirectory(const char* path) { return _mkdir(path); }
inline size_t crtRead(void* buffer, size_t size, size_t count, FILE* file) { return fread(buffer, size, count, file); }
[[noreturn]] inline void crtExit(int status) { exit(status); }
#else
FILE* crtOpenFile(const char* path, const char* mode);
int crtStat(const char* path);
int crtMakeDirectory(const char* path);
// fread as one recorded read (the host's unbuffered streams would read byte by byte).
size_t crtRead(void* buffer, size_t size, size_t count, FILE* file);
[[noreturn]] void crtExit(int status);  // flushes and closes open files, as exit() does
#endif
