// The size of a JPEG picture, read from its frame header without decoding it.
#pragma once

#include <cstddef>
#include <cstdint>

// The width and height in the frame header (SOF0-SOF15 but DHT C4, JPG C8 and
// DAC CC) of the JPEG file `bytes`. False when the file does not start with
// SOI, or no frame header with a non-zero size lies whole before the first
// scan (SOS) or the end of the file.
bool ReadJpegFrameSize(const unsigned char* bytes, size_t count, uint32_t* width, uint32_t* height);
