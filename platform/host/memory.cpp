// KERNEL32's global and local memory blocks.
#include <cstdlib>

#include "platform/kernel32.h"

namespace {

struct GlobalBlock {
  void* data;
};

}  // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
  void* data = (flags & GMEM_ZEROINIT) ? calloc(1, bytes ? bytes : 1) : malloc(bytes ? bytes : 1);
  return data ? new GlobalBlock{data} : nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) { return memory ? static_cast<GlobalBlock*>(memory)->data : nullptr; }

BOOL WINAPI GlobalUnlock(HGLOBAL) { return FALSE; }  // FALSE: the lock count reached 0

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
  auto* block = static_cast<GlobalBlock*>(memory);
  if (block) free(block->data);
  delete block;
  return nullptr;
}

HLOCAL WINAPI LocalAlloc(UINT, SIZE_T bytes) { return malloc(bytes ? bytes : 1); }

HLOCAL WINAPI LocalFree(HLOCAL memory) {
  free(memory);
  return nullptr;
}

}  // extern "C"
