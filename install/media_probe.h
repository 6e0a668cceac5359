// Whether the system's media layer can open a media file of the package.
#pragma once

// Opens the file by its extension's device, then by the "MPEGVideo" device,
// and closes it again; when neither opens it, records its type in
// unsupportedTypes.
void probeMediaFile(const char* targetPath);
