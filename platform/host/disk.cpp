// Free space of the machine's drives, from the free_kilobytes setting. The
// drive is described with 1024-byte clusters (2 sectors of 512 bytes), so
// its free clusters are its free kilobytes.
#include "platform/host/machine.h"
#include "platform/host/system_records.h"
#include "platform/kernel32.h"

namespace {

const DWORD bytesPerSector = 512;
const DWORD sectorsPerCluster = 2;
const unsigned long long usedKilobytes = 1048576;  // what the drive holds besides its free space: 1 GB

unsigned long long freeKilobytes() {
  long long kilobytes = machine::settingNumber("free_kilobytes");
  return kilobytes < 0 ? 0 : (unsigned long long)kilobytes;
}

// NULL means the current drive; otherwise the drive must exist.
bool driveExists(LPCSTR root) { return !machine::hostPath(root ? root : "\\").empty(); }

DWORD clusters(unsigned long long kilobytes) { return kilobytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)kilobytes; }

}  // namespace

extern "C" {

BOOL WINAPI GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectors, LPDWORD bytes, LPDWORD freeClusters,
                              LPDWORD totalClusters) {
  if (!driveExists(root)) return FALSE;
  if (sectors) *sectors = sectorsPerCluster;
  if (bytes) *bytes = bytesPerSector;
  if (freeClusters) *freeClusters = clusters(freeKilobytes());
  if (totalClusters) *totalClusters = clusters(freeKilobytes() + usedKilobytes);
  return TRUE;
}

BOOL WINAPI hostGetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                                    PULARGE_INTEGER totalFree) {
  if (!driveExists(directory)) return FALSE;
  if (freeToCaller) freeToCaller->QuadPart = freeKilobytes() * 1024;
  if (totalBytes) totalBytes->QuadPart = (freeKilobytes() + usedKilobytes) * 1024;
  if (totalFree) totalFree->QuadPart = freeKilobytes() * 1024;
  return TRUE;
}

}  // extern "C"
