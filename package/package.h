// The package that the authoring tool writes at the installer's anchor
// resource, shared by the installer and the tool. All numbers little-endian.
//
//   offset        bytes     field
//   0             2         licenseLength (L; 0 = no license)
//   2             L         licenseText, no terminator
//   2 + L         260       saverName, NUL-terminated inside the field
//   262 + L       4         startColour (0x00BBGGRR)
//   266 + L       4         endColour
//   270 + L       2         reserved
//   272 + L       2         firstSequenceNumber
//   274 + L       28 x n    entries, then a 28-byte terminator (storedSize 0)
//   then the streams, each at its entry's streamOffset (a file offset)
#pragma once

#include "platform/kernel32.h"

#define PACKAGE_NAME_SIZE 260   // a path-sized field: the name becomes a file name
#define PACKAGE_FIXED_SIZE 274  // header bytes besides the license text and the table
#define PACKAGE_ENTRY_SIZE 28   // 3 x u32, the suffix and the kind
#define PACKAGE_SUFFIX_SIZE 15
#define PACKAGE_MAX_LICENSE 65535
#define DEFAULT_START_COLOUR 0x00FF0000u  // blue
#define DEFAULT_END_COLOUR 0x00000000u    // black

// Entry kinds for media files (entries 3 and up).
#define FILE_KIND_JUK_ '_'
#define FILE_KIND_JUKE 0

struct PackageHeader {
  WORD licenseLength;
  const char* licenseText;
  char saverName[PACKAGE_NAME_SIZE];
  DWORD startColour;
  DWORD endColour;
  WORD reserved;
  WORD firstSequenceNumber;
};

struct PackageEntry {
  DWORD streamOffset;
  DWORD storedSize;                      // 0 only in the terminator
  DWORD expandedSize;                    // 0: the stream is stored as is
  char fileSuffix[PACKAGE_SUFFIX_SIZE];  // blank-filled, may end early with a NUL
  BYTE fileKind;
};

// A handle at the header start, or HFILE_ERROR. The caller closes it.
HFILE locatePackage();
// Leaves its outputs unchanged when the package cannot be read.
void readSaverName(char* name, COLORREF* startColour, COLORREF* endColour);
// The NUL-terminated text in a locked block, or nullptr. The caller unlocks
// and frees *block.
char* readLicenseText(HGLOBAL* block);
// From the header start to the first entry; returns firstSequenceNumber.
WORD seekEntryTable(HFILE package);
// 1 when an entry was read, 0 at the terminator or a short read.
int readPackageEntry(HFILE package, PackageEntry* entry);
// 1 when the package was found; *total is set in both cases.
int sumInstalledSize(DWORD* total);
// 1 when the package is whole: its table ends with a terminator and every
// entry's stream lies inside the file.
int checkPackageIntact();
