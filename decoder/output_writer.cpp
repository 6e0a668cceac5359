#include "decoder/output_writer.h"

#include <string.h>

#include "platform/crt.h"
#include "shell/exit_status.h"

OutputWriter outputWriter;

void resetOutputWriter() { memset(&outputWriter, 0, sizeof outputWriter); }

// Bytes beyond the expanded size (a damaged stream) start a new count.
void startChunk(DWORD expandedSize) {
  if (outputWriter.written >= expandedSize) outputWriter.written = 0;
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

void writeOutputByte(FILE* output, BYTE byte, DWORD expandedSize) {
  outputWriter.buffer[outputWriter.pending++] = byte;
  if (!outputWriter.chunkSizeSet) startChunk(expandedSize);
  if (outputWriter.pending >= outputWriter.chunkSize) writeChunk(output);
}
