#include "decoder/output_writer.h"

#include <string.h>

#include "platform/crt.h"
#include "shell/exit_status.h"

OutputWriter outputWriter;

void resetOutputWriter() { memset(&outputWriter, 0, sizeof outputWriter); }

static short nextChunkSize(DWORD expandedSize) {
  DWORD rest = expandedSize - outputWriter.written;
  return (short)(rest < OUTPUT_CHUNK_SIZE ? rest : OUTPUT_CHUNK_SIZE);
}

void startChunk(DWORD expandedSize) {
  outputWriter.chunkSize = nextChunkSize(expandedSize);
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

void writeOutputBytes(FILE* output, const BYTE* bytes, DWORD count, DWORD expandedSize) {
  while (count > 0 && outputWriter.written < expandedSize) {
    if (!outputWriter.chunkSizeSet) startChunk(expandedSize);
    DWORD take = bytesBeforeWrite(expandedSize);
    if (take > count) take = count;
    memcpy(outputWriter.buffer + outputWriter.pending, bytes, take);
    outputWriter.pending = (short)(outputWriter.pending + take);
    bytes += take;
    count -= take;
    if (outputWriter.pending >= outputWriter.chunkSize) writeChunk(output);
  }
}

DWORD bytesBeforeWrite(DWORD expandedSize) {
  if (outputWriter.written >= expandedSize) return NO_WRITE_DUE;
  short chunkSize = outputWriter.chunkSizeSet ? outputWriter.chunkSize : nextChunkSize(expandedSize);
  int rest = chunkSize - outputWriter.pending;
  return rest > 1 ? (DWORD)rest : 1;
}
