#include "install/targets.h"

#include <string.h>

#include "install/media_name.h"
#include "install/paths.h"
#include "package/names.h"

#define FIRST_MEDIA_ENTRY 3

int buildSaverPath(char* saverPath, const char* saverFileName) {
  return getWindowsFolder(saverPath) && appendPath(saverPath, saverFileName);
}

static int buildMediaPath(char* targetPath, const InstallPlaces* places, DWORD index, const PackageEntry* entry) {
  if (!isPlainNamePart(entry->fileSuffix, PACKAGE_SUFFIX_SIZE)) return 0;
  char name[MEDIA_NAME_SIZE];
  composeMediaName(name, entry->fileKind, places->firstSequenceNumber + index - FIRST_MEDIA_ENTRY, entry->fileSuffix);
  return appendPath(targetPath, name);
}

int buildTargetPath(char* targetPath, const InstallPlaces* places, DWORD index, const PackageEntry* entry) {
  if (index == 0) return appendPath(strcpy(targetPath, ""), places->saverPath);
  targetPath[0] = 0;
  if (!places->dataFolder[0] || !appendPath(targetPath, places->dataFolder)) return 0;
  if (index == 2) return appendPath(targetPath, UNINSTALLER_NAME);
  if (index >= FIRST_MEDIA_ENTRY) return buildMediaPath(targetPath, places, index, entry);
  char stem[MAX_PATH];
  copyStem(stem, places->saverFileName);
  return appendPath(targetPath, stem) && appendPath(targetPath, ".dat");
}
