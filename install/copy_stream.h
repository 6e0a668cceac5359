// Copying a stored entry's stream from the installer's file to its target.
#pragma once

#include "package/package.h"

// Stored streams move through one buffer of this size.
#define COPY_BUFFER_SIZE 2048

// Copies the storedSize bytes at streamOffset through the buffer into a new
// target, draining the message queue at its checkpoints; an abort that may
// be honoured ends it after the block in hand.
void copyStoredStream(HFILE package, const PackageEntry* entry, const char* targetPath, BYTE* buffer);
