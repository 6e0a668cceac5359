// runInstallation: the walk over the package's entries, one target file per
// entry, with the registration steps around it.
#include <string.h>

#include "decoder/extract.h"
#include "install/copy_stream.h"
#include "install/install_log.h"
#include "install/installable.h"
#include "install/media_probe.h"
#include "install/progress_dialog.h"
#include "install/registration.h"
#include "install/targets.h"
#include "shell/state.h"

#define UNINSTALLER_ENTRY 2
#define FIRST_MEDIA_ENTRY 3

struct EntryWalk {
  InstallPlaces places;
  HFILE package;  // the one handle on the installer's file, given up while a stream expands
  PackageEntry entry;
  BYTE* buffer;
};

// A compressed stream is expanded through a file of its own, so the walk's
// handle is closed meanwhile and the package located again afterwards.
static void writeStream(EntryWalk* walk, const char* targetPath) {
  const PackageEntry* e = &walk->entry;
  if (e->expandedSize == 0) {
    copyStoredStream(walk->package, e, targetPath, walk->buffer);
    return;
  }
  _lclose(walk->package);
  extractStream(e->streamOffset, e->expandedSize, e->storedSize, targetPath);
  walk->package = locatePackage();
}

// Installs the current entry; 1 when the next one was read.
static int installEntry(EntryWalk* walk, DWORD index) {
  char targetPath[MAX_PATH];
  finishDespiteAbort = index == UNINSTALLER_ENTRY;
  int named = buildTargetPath(targetPath, &walk->places, index, &walk->entry);
  if (named && index == UNINSTALLER_ENTRY) writeUninstallEntry(targetPath, walk->places.saverPath);
  LONG next = _llseek(walk->package, 0, FILE_CURRENT);
  if (named) {
    writeStream(walk, targetPath);
    logTarget(targetPath);
  }
  if (walk->package == HFILE_ERROR) return 0;
  _llseek(walk->package, next, FILE_BEGIN);
  int more = readPackageEntry(walk->package, &walk->entry);
  if (named && !abortRequested && index >= FIRST_MEDIA_ENTRY) probeMediaFile(targetPath);
  return more;
}

static void walkEntries(EntryWalk* walk) {
  walk->package = locatePackage();
  if (walk->package == HFILE_ERROR) return;
  walk->places.firstSequenceNumber = seekEntryTable(walk->package);
  int more = readPackageEntry(walk->package, &walk->entry);
  for (DWORD index = 0; more; index++) more = installEntry(walk, index);
  if (walk->package != HFILE_ERROR) _lclose(walk->package);
}

// A package that is damaged, or whose names would leave their folders or
// not fit, installs nothing: the dialog ends as when access is refused.
static int mayInstall() {
  return checkPackageIntact() && checkInstallTargets(saverName, saverFileName) && checkUninstallAccess();
}

INT_PTR runInstallation(HWND dialog) {
  EntryWalk walk;
  walk.buffer = (BYTE*)LocalAlloc(LMEM_FIXED, COPY_BUFFER_SIZE);
  if (!walk.buffer || !mayInstall()) {
    if (walk.buffer) LocalFree(walk.buffer);
    EndDialog(dialog, IDCANCEL);
    return 1;
  }
  buildSaverPath(walk.places.saverPath, saverFileName);
  walk.places.dataFolder = dataFolder;
  walk.places.saverFileName = saverFileName;
  resolveDataFolder();
  openInstallLog();
  walkEntries(&walk);
  LocalFree(walk.buffer);
  closeInstallLog();
  if (unsupportedTypes[0] == 0) setDefaultScreenSaver(walk.places.saverPath);
  EndDialog(dialog, IDOK);
  return 1;
}
