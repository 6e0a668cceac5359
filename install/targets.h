// Where each package entry is installed: entry 0 is the saver in the Windows
// directory, entry 1 its data file, entry 2 the uninstaller and entries 3
// and up the media files, all in the data folder.
#pragma once

#include "package/package.h"

#define UNINSTALLER_NAME "UNINSTAL.EXE"
#define INSTALL_LOG_NAME "INSTALL.LOG"

struct InstallPlaces {
  char saverPath[MAX_PATH];
  const char* dataFolder;
  const char* saverFileName;
  WORD firstSequenceNumber;
};

// The Windows directory and saverFileName; 0 when it cannot be made whole.
int buildSaverPath(char* saverPath, const char* saverFileName);
// The target of the entry at `index`; 0 when it does not fit or a name from
// the package would leave its folder.
int buildTargetPath(char* targetPath, const InstallPlaces* places, DWORD index, const PackageEntry* entry);
