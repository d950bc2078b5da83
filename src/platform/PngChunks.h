#pragma once

class QIODevice;

// A look at a PNG's chunk headers before the image library reads it. The
// library allocates a text or profile chunk at the length its header claims,
// before it finds the file too short: a 50-byte file claiming a 2 GB chunk
// costs 2 GB of memory for a moment, whether it came from the clipboard or
// lies in the screenshot folder.
namespace PngChunks {
// False when a chunk other than image data claims more bytes than the
// device has left (image data is streamed, so a short file is harmless
// there). Reads from the device's current position, just past the
// signature, and returns to it; true for a device that cannot seek.
bool lengthsFit(QIODevice& device);
} // namespace PngChunks
