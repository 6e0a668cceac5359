#include "install/installable.h"

#include <string.h>

#include "install/paths.h"
#include "install/registration.h"
#include "install/targets.h"
#include "package/names.h"

// Every entry's target, and the log beside them, must fit.
static int checkEntryTargets(InstallPlaces* places) {
  char path[MAX_PATH] = "";
  if (!appendPath(path, places->dataFolder) || !appendPath(path, INSTALL_LOG_NAME)) return 0;
  HFILE package = locatePackage();
  if (package == HFILE_ERROR) return 0;
  places->firstSequenceNumber = seekEntryTable(package);
  PackageEntry entry;
  int fits = 1;
  for (DWORD index = 0; fits && readPackageEntry(package, &entry); index++) {
    fits = buildTargetPath(path, places, index, &entry);
  }
  _lclose(package);
  return fits;
}

int checkInstallTargets(const char* name, const char* fileName) {
  InstallPlaces places;
  char folder[MAX_PATH];
  size_t existing;
  if (!isSafeSaverName(name) || !buildSaverPath(places.saverPath, fileName)) return 0;
  if (!planDataFolder(folder, name, &existing)) return 0;
  places.dataFolder = folder;
  places.saverFileName = fileName;
  return checkEntryTargets(&places);
}

int checkInstallable() {
  char name[MAX_PATH] = "";
  COLORREF start, end;
  readSaverName(name, &start, &end);
  trimTrailingBlanks(name);
  char fileName[MAX_PATH] = "";
  if (!appendPath(fileName, name) || !appendPath(fileName, ".scr")) return 0;
  return checkPackageIntact() && checkInstallTargets(name, fileName);
}
