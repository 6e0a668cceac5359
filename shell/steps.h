// The steps of the install sequence around the installation itself.
#pragma once

#include "platform/user32.h"

extern char installCaption[];  // "%s Screen Saver Installation"

// Before anything else: 1 when the package can be installed; otherwise the
// user has been told why.
int checkInstallerReadable(HWND launcher);

// Progress dialog 103; the whole installation runs inside.
INT_PTR runProgressDialog(HWND launcher);
// The progress dialog could not be opened: nothing has been installed.
int reportNotStarted(HWND launcher);
void rollBack();
void offerMissingCodecs(HWND launcher);
void showOrderingInfo(HWND launcher);
void startInstalledSaver();
// The saver's path in the Windows directory (saverFileName alone when there
// is none); 0 when it does not fit in MAX_PATH.
int saverPath(char* path);
