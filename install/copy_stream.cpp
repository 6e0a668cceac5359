#include "install/copy_stream.h"

#include "decoder/pump.h"

// The part of a block just read that lies within the stream.
static UINT partWithin(UINT got, DWORD count, DWORD storedSize) {
  return count <= storedSize ? got : got - (count - storedSize);
}

// The stream is read until a read passes its end (at an exact end, one more
// block is read and nothing of it written) or the file ends.
void copyStoredStream(HFILE package, const PackageEntry* entry, const char* targetPath, BYTE* buffer) {
  DWORD checkpoint = 0;
  DWORD count = 0;
  _llseek(package, (LONG)entry->streamOffset, FILE_BEGIN);
  HFILE target = _lcreat(targetPath, 0);
  UINT got;
  do {
    got = _lread(package, buffer, COPY_BUFFER_SIZE);
    if (got == (UINT)HFILE_ERROR) got = 0;  // a failed read ends the copy
    count += got;
    UINT part = partWithin(got, count, entry->storedSize);
    if (target != HFILE_ERROR && part > 0) _lwrite(target, (LPCCH)buffer, part);
    if (count > checkpoint) {
      if (pumpMessages()) break;
      checkpoint += PUMP_INTERVAL;
    }
  } while (got != 0 && count <= entry->storedSize);
  if (target != HFILE_ERROR) _lclose(target);
}
