// Whether an installer may install at all, checked before anything is
// written: the package has no checksum, so what can be checked is that it is
// whole, that no name in it leads a write out of its folder and that every
// target path fits the path buffers.
#pragma once

// For the start of a run: the saver name as the package holds it.
int checkInstallable();
// For the given saver name and file name (the name with ".scr").
int checkInstallTargets(const char* name, const char* fileName);
