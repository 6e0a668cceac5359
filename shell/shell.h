// The installer shell: entry point, launcher window, install sequence,
// pre-install checks and license dialog.
#pragma once

#include "platform/user32.h"

#define LAUNCHER_CLASS "VRNInstallClass"
#define LAUNCHER_TIMER 1000       // the timer's identifier
#define LAUNCHER_DELAY 1000       // ms from the launcher's creation to the install sequence
#define NUMBER_TEXT_SIZE 32       // formatThousands' buffers; 4,294,967,295 needs 14
#define MESSAGE_SIZE 1024         // holds the longest message in full (see sequence.cpp)
#define INSTALL_CAPTION_SIZE 320  // "%s Screen Saver Installation" with a 259-character name
#define PAINT_TEXT_SIZE 288       // "%s Screen Saver" with a 259-character name

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
int modeFromCommandLine(const char* commandLine);

LRESULT CALLBACK launcherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void paintLauncher(HWND window);
int launcherClosed();  // 1 once the launcher window has been destroyed

void runInstallSequence(HWND launcher);
INT_PTR CALLBACK orderingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

int checkExistingSaver();
int checkDiskSpace(DWORD* total);
DWORD freeKilobytes(const char* path);
#define QUERY_ROOT_SIZE 33  // freeKilobytes looks at no more than 32 characters of its path
void queryRoot(const char* path, char* root);
char* formatThousands(DWORD value, char* buffer);

int showLicense();
INT_PTR CALLBACK licenseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// directory, a backslash unless it ends with one, and name; 0 when that
// does not fit in size.
int joinPath(char* path, size_t size, const char* directory, const char* name);

void centerOnScreen(HWND dialog);
// Ends the dialog on a whole wParam of IDOK or IDCANCEL; 1 when it did.
int endOnOkOrCancel(HWND dialog, WPARAM wParam);
