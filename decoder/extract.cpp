#include "decoder/extract.h"

#include "decoder/output_writer.h"
#include "decoder/packed_reader.h"
#include "platform/crt.h"
#include "platform/kernel32.h"

int extractStream(DWORD streamOffset, DWORD expandedSize, DWORD storedSize, const char* targetPath) {
  resetPackedReader();
  resetOutputWriter();
  char installerPath[MAX_PATH];
  if (GetModuleFileNameA(NULL, installerPath, MAX_PATH) == 0) return 0;
  FILE* input = crtOpenFile(installerPath, "rb");
  if (!input) return 0;
  if (fseek(input, (long)streamOffset, SEEK_SET) != 0) {
    fclose(input);
    return 0;
  }
  FILE* output = crtOpenFile(targetPath, "wb");
  if (!output) {
    fclose(input);
    return 0;
  }
  decodeStream(input, output, expandedSize, storedSize);
  fclose(output);
  fclose(input);
  return 1;
}
