// Finds the package at the anchor resource of the installer's own file and
// reads its header and entry table. Every read is checked for its full count,
// so a cut-off or damaged file reads as a package that is not there.
#include "package/package.h"

#include <string.h>

#include "package/bytes.h"

#define PE_POINTER_OFFSET 60  // e_lfanew in the MS-DOS header
#define PE_HEADERS_SIZE 248   // signature 4, file header 20, PE32 optional header 224
#define SECTION_HEADER_SIZE 40
#define RESOURCE_DIRECTORY_SIZE 16
#define RESOURCE_ENTRY_SIZE 8
#define RESOURCE_DATA_ENTRY_SIZE 16
#define SUBDIRECTORY_MASK 0x7FFFFFFFu

static int readExact(HFILE file, void* buffer, UINT count) { return _lread(file, buffer, count) == count; }

static int seekAndRead(HFILE file, DWORD offset, void* buffer, UINT count) {
  if (offset > 0x7FFFFFFFu) return 0;
  if (_llseek(file, (LONG)offset, FILE_BEGIN) != (LONG)offset) return 0;
  return readExact(file, buffer, count);
}

// Finds ".rsrc"; returns 1 with its virtual address and raw data offset.
static int findResourceSection(HFILE file, DWORD* virtualAddress, DWORD* rawData) {
  BYTE bytes[PE_HEADERS_SIZE];
  if (!seekAndRead(file, PE_POINTER_OFFSET, bytes, 4)) return 0;
  if (!seekAndRead(file, getU32(bytes), bytes, PE_HEADERS_SIZE)) return 0;
  WORD sections = getU16(bytes + 4 + 2);
  for (WORD i = 0; i < sections; i++) {
    BYTE section[SECTION_HEADER_SIZE];
    if (!readExact(file, section, SECTION_HEADER_SIZE)) return 0;
    if (memcmp(section, ".rsrc\0", 6) == 0) {
      *virtualAddress = getU32(section + 12);
      *rawData = getU32(section + 20);
      return 1;
    }
  }
  return 0;
}

// Follows the first entry of each directory level to the anchor's data.
static int findAnchorData(HFILE file, DWORD virtualAddress, DWORD base, DWORD* dataOffset) {
  BYTE entry[RESOURCE_ENTRY_SIZE];
  DWORD at = base + RESOURCE_DIRECTORY_SIZE;
  for (int level = 0; level < 2; level++) {
    if (!seekAndRead(file, at, entry, RESOURCE_ENTRY_SIZE)) return 0;
    at = base + RESOURCE_DIRECTORY_SIZE + (getU32(entry + 4) & SUBDIRECTORY_MASK);
  }
  if (!seekAndRead(file, at, entry, RESOURCE_ENTRY_SIZE)) return 0;
  BYTE data[RESOURCE_DATA_ENTRY_SIZE];
  if (!seekAndRead(file, base + getU32(entry + 4), data, RESOURCE_DATA_ENTRY_SIZE)) return 0;
  *dataOffset = getU32(data) - virtualAddress + base;
  return 1;
}

HFILE locatePackage() {
  char path[256];
  if (GetModuleFileNameA(nullptr, path, sizeof path) == 0) return HFILE_ERROR;
  HFILE file = _lopen(path, OF_SHARE_DENY_NONE);
  if (file == HFILE_ERROR) return HFILE_ERROR;
  DWORD virtualAddress, base, header;
  if (findResourceSection(file, &virtualAddress, &base) && findAnchorData(file, virtualAddress, base, &header) &&
      header <= 0x7FFFFFFFu && _llseek(file, (LONG)header, FILE_BEGIN) == (LONG)header) {
    return file;
  }
  _lclose(file);
  return HFILE_ERROR;
}

// Reads licenseLength and moves past the text; 0 on a short read.
static int skipLicense(HFILE package) {
  BYTE length[2];
  if (!readExact(package, length, 2)) return 0;
  _llseek(package, getU16(length), FILE_CURRENT);
  return 1;
}

void readSaverName(char* name, COLORREF* startColour, COLORREF* endColour) {
  HFILE package = locatePackage();
  if (package == HFILE_ERROR) return;
  BYTE fields[PACKAGE_NAME_SIZE + 8];
  if (skipLicense(package) && readExact(package, fields, sizeof fields)) {
    memcpy(name, fields, PACKAGE_NAME_SIZE);
    name[PACKAGE_NAME_SIZE - 1] = 0;  // a field without a NUL still gives a terminated name
    *startColour = getU32(fields + PACKAGE_NAME_SIZE);
    *endColour = getU32(fields + PACKAGE_NAME_SIZE + 4);
  }
  _lclose(package);
}

char* readLicenseText(HGLOBAL* block) {
  HFILE package = locatePackage();
  if (package == HFILE_ERROR) return nullptr;
  BYTE bytes[2];
  char* text = nullptr;
  WORD length = readExact(package, bytes, 2) ? getU16(bytes) : 0;
  if (length != 0) {
    *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (SIZE_T)length + 1);
    text = *block ? (char*)GlobalLock(*block) : nullptr;
    if (text && !readExact(package, text, length)) {
      GlobalUnlock(*block);
      text = nullptr;
    }
    if (*block && !text) GlobalFree(*block);
  }
  _lclose(package);
  return text;
}

WORD seekEntryTable(HFILE package) {
  BYTE fields[4];
  if (!skipLicense(package)) return 0;
  _llseek(package, PACKAGE_NAME_SIZE, FILE_CURRENT);
  _llseek(package, 8, FILE_CURRENT);
  if (!readExact(package, fields, 4)) return 0;
  return getU16(fields + 2);
}

int readPackageEntry(HFILE package, PackageEntry* entry) {
  BYTE bytes[PACKAGE_ENTRY_SIZE];
  if (!readExact(package, bytes, PACKAGE_ENTRY_SIZE)) return 0;
  entry->streamOffset = getU32(bytes);
  entry->storedSize = getU32(bytes + 4);
  entry->expandedSize = getU32(bytes + 8);
  memcpy(entry->fileSuffix, bytes + 12, PACKAGE_SUFFIX_SIZE);
  entry->fileKind = bytes[27];
  return entry->storedSize != 0;
}

int sumInstalledSize(DWORD* total) {
  *total = 0;
  HFILE package = locatePackage();
  if (package == HFILE_ERROR) return 0;
  seekEntryTable(package);
  PackageEntry entry;
  while (readPackageEntry(package, &entry)) {
    *total += entry.expandedSize ? entry.expandedSize : entry.storedSize;
  }
  _lclose(package);
  return 1;
}

// Expanded sizes from 2^31 on cannot be decoded: the decoder counts signed.
static int entryFits(const PackageEntry* entry, DWORD fileSize) {
  return entry->streamOffset <= fileSize && entry->storedSize <= fileSize - entry->streamOffset &&
         entry->expandedSize <= 0x7FFFFFFFu;
}

int checkPackageIntact() {
  HFILE package = locatePackage();
  if (package == HFILE_ERROR) return 0;
  LONG start = _llseek(package, 0, FILE_CURRENT);
  DWORD fileSize = (DWORD)_llseek(package, 0, FILE_END);
  _llseek(package, start, FILE_BEGIN);
  seekEntryTable(package);
  PackageEntry entry;
  entry.storedSize = 1;  // stays non-zero unless a whole terminator is read
  int intact = 1;
  while (intact && readPackageEntry(package, &entry)) intact = entryFits(&entry, fileSize);
  _lclose(package);
  return intact && entry.storedSize == 0;
}
