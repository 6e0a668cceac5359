// The steps of an installation that change the system outside its files:
// the access test, the data folder, the uninstall entry and the default
// screen saver.
#pragma once

#include "platform/wintypes.h"

// 1: the installation may go on; 0: the user has been told that the rights
// for the uninstall entry are missing.
int checkUninstallAccess();
// Sets dataFolder (ending in a backslash) and creates its folders; leaves it
// empty when the path would not fit.
void resolveDataFolder();
// Composes the data folder for a saver name without creating anything: 0
// when it does not fit. *existing is the length of its start that the
// system already has (the common application data folder).
int planDataFolder(char* folder, const char* name, size_t* existing);
void writeUninstallEntry(const char* uninstallerPath, const char* saverPath);
void setDefaultScreenSaver(const char* saverPath);
