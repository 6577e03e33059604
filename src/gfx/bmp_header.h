// The BMP header as the game checks it before SDL's loader sees a picture file.
#pragma once

#include <cstddef>
#include <cstdint>

// What a BMP header says about its picture.
struct BmpShape {
    int32_t width = 0;        // pixels, at least 1
    int32_t height = 0;       // pixels, at least 1 (a top-down picture's too)
    int bitsPerPixel = 0;     // 1, 4, 8, 15, 16, 24 or 32
    uint64_t bytesNeeded = 0; // the file size its headers, palette and pixel rows need
};

// The largest picture any game file may claim (SDL's rectangles hold 16-bit sizes).
constexpr int32_t MaxBmpSide = 32767;

// How many bytes from the start of a BMP file hold every header, mask and palette
// bmpHeaderFault may look at.
constexpr size_t BmpHeadBytes = 14 + 124 + 256 * 4;

// Why a BMP file of fileSize bytes, whose first headSize bytes are head (the whole file,
// or at least its first BmpHeadBytes), must not reach SDL's loader, or null when it may:
// "BM" and a whole file header, a whole info header (12 or 40 to 124 bytes) with its
// colour masks and palette, 1 to 32767 pixels each way (and at most maxWidth x maxHeight),
// a known bit depth, no compression, and every pixel row present (a header cut short
// leaves SDL 1.2's loader reading values it never read). Fills *shape when not null.
const char *bmpHeaderFault(const unsigned char *head, size_t headSize, uint64_t fileSize, int32_t maxWidth,
                           int32_t maxHeight, BmpShape *shape);
