// The installation log: one line per target, appended, never truncated. The
// uninstaller reads it from its own folder.
#pragma once

// Opens dataFolder's INSTALL.LOG at its end, creating it when missing.
void openInstallLog();
// Appends the path and a line end; lost when the log could not be opened.
void logTarget(const char* targetPath);
void closeInstallLog();
