#include "decoder/output_writer.h"

#include <string.h>

#include "platform/crt.h"
#include "shell/exit_status.h"

OutputWriter outputWriter;

void resetOutputWriter() { memset(&outputWriter, 0, sizeof outputWriter); }

void startChunk(DWORD expandedSize) {
  DWORD rest = expandedSize - outputWriter.written;
  outputWriter.chunkSize = (short)(rest < OUTPUT_CHUNK_SIZE ? rest : OUTPUT_CHUNK_SIZE);
  outputWriter.chunkSizeSet = true;
}

// A full disk ends the installer at once, leaving what was written; the exit
// status tells a silent deployment that it failed.
void writeChunk(FILE* output) {
  size_t count = (size_t)outputWriter.pending;
  if (fwrite(outputWriter.buffer, 1, count, output) < count) crtExit(EXIT_WRITE_FAILED);
  outputWriter.written += count;
  outputWriter.pending = 0;
  outputWriter.chunkSizeSet = false;
}

// Bytes beyond the expanded size (only a damaged stream has them) are
// dropped: the target never grows past its entry's size.
void writeOutputByte(FILE* output, BYTE byte, DWORD expandedSize) {
  if (outputWriter.written >= expandedSize) return;
  outputWriter.buffer[outputWriter.pending++] = byte;
  if (!outputWriter.chunkSizeSet) startChunk(expandedSize);
  if (outputWriter.pending >= outputWriter.chunkSize) writeChunk(output);
}
