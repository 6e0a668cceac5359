// The pre-install checks: an existing saver of the same name, and the free
// space of the Windows directory's drive. Each returns 1 to go on, 0 to stop.
#include <stdio.h>
#include <string.h>

#include "package/package.h"
#include "platform/crt.h"
#include "platform/kernel32.h"
#include "shell/shell.h"
#include "shell/state.h"

#define DISK_DIRECTORY_SIZE 512  // the disk check's own buffer for the Windows directory
#define KILOBYTE 1024
#define FREE_UNKNOWN 0xFFFFFFFFu  // the space cannot be queried: the check passes
#define FREE_PLENTY 0xFFFFFFFEu   // 4 TiB or more: more than any package needs

// The Windows directory into buffer; 0 when it cannot be had whole.
static UINT windowsDirectory(char* buffer, UINT size) {
  UINT length = GetWindowsDirectoryA(buffer, size);
  return length < size ? length : 0;
}

int checkExistingSaver() {
  char directory[MAX_PATH];
  if (!windowsDirectory(directory, sizeof directory)) return 1;
  char fileName[MAX_PATH + 4];  // the name and ".SCR"
  snprintf(fileName, sizeof fileName, "%s.SCR", saverName);
  char path[MAX_PATH];
  if (!joinPath(path, sizeof path, directory, fileName) || crtStat(path) != 0) return 1;
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "There is already a screen saver by the same name (%s) installed on your system.  Would you like to "
           "replace it?",
           fileName);
  if (InstallMode == Interactive &&
      MessageBoxA(nullptr, message, "Replace Screen Saver?", MB_YESNO | MB_ICONQUESTION) == IDNO) {
    return 0;
  }
  return 1;
}

int checkDiskSpace(DWORD* total) {
  if (!sumInstalledSize(total)) return 1;
  char directory[DISK_DIRECTORY_SIZE];
  if (!windowsDirectory(directory, sizeof directory)) return 1;
  DWORD free = freeKilobytes(directory);
  DWORD need = *total / KILOBYTE;
  if (free > need) return 1;
  char needText[NUMBER_TEXT_SIZE], freeText[NUMBER_TEXT_SIZE];
  char message[MESSAGE_SIZE];
  snprintf(message, sizeof message,
           "You will need %s kilobytes free in your Windows directory to install this screen saver.  It appears "
           "that you only have %s kilobytes free on this drive.  Would you like to continue the installation?",
           formatThousands(need, needText), formatThousands(free, freeText));
  return MessageBoxA(nullptr, message, "Disk Full", MB_OKCANCEL | MB_ICONINFORMATION) != IDCANCEL;
}

static DWORD kilobytes(unsigned long long bytes) {
  unsigned long long count = bytes / KILOBYTE;
  return count < FREE_PLENTY ? (DWORD)count : FREE_PLENTY;
}

// The extended query exists from Windows 95 OSR2 on; looked up so that the
// installer still starts where it does not.
static int freeBytesEx(const char* root, unsigned long long* bytes) {
  HMODULE kernel = LoadLibraryA("KERNEL32.DLL");
  if (!kernel) return 0;
  FARPROC found = GetProcAddress(kernel, "GetDiskFreeSpaceExA");
  ULARGE_INTEGER available, totalBytes, totalFree;
  int ok = found && ((GetDiskFreeSpaceExA_t)(void (*)())found)(root, &available, &totalBytes, &totalFree);
  FreeLibrary(kernel);
  if (ok) *bytes = available.QuadPart;
  return ok;
}

// The first 32 characters of the path, cut after their last backslash; a
// path without one is queried as it is.
void queryRoot(const char* path, char* root) {
  snprintf(root, QUERY_ROOT_SIZE, "%s", path);
  char* lastSeparator = strrchr(root, '\\');
  if (lastSeparator) lastSeparator[1] = 0;
}

DWORD freeKilobytes(const char* path) {
  char root[QUERY_ROOT_SIZE];
  queryRoot(path, root);
  unsigned long long bytes;
  if (freeBytesEx(root, &bytes)) return kilobytes(bytes);
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
    return FREE_UNKNOWN;
  }
  return kilobytes((unsigned long long)sectorsPerCluster * bytesPerSector * freeClusters);
}

char* formatThousands(DWORD value, char* buffer) {
  char digits[10];  // 4294967295 has ten
  int count = 0;
  do {
    digits[count++] = (char)('0' + value % 10);
    value /= 10;
  } while (value);
  char* out = buffer;
  for (int i = count - 1; i >= 0; i--) {
    *out++ = digits[i];
    if (i > 0 && i % 3 == 0) *out++ = ',';
  }
  *out = 0;
  return buffer;
}
