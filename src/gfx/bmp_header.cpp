// The BMP header check made before SDL's loader sees a picture file.
#include "gfx/bmp_header.h"

#include <climits>

#include "ground/little_endian.h"

const char *bmpHeaderFault(const unsigned char *bytes, size_t headSize, uint64_t fileSize, int32_t maxWidth,
                           int32_t maxHeight, BmpShape *shape) {
    // Every field read below lies within the head; what lies beyond only counts.
    uint64_t size = headSize < fileSize ? headSize : fileSize;
    const uint32_t FileHeader = 14;
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return "not a BMP picture";
    if (size < FileHeader + 4)
        return "the BMP header is cut short";
    uint32_t pixelsAt = le32(bytes + 10);
    uint32_t infoSize = le32(bytes + 14);
    bool core = infoSize == 12;
    if (!core && (infoSize < 40 || infoSize > 124))
        return "the BMP header has an unknown size";
    if (size < FileHeader + infoSize)
        return "the BMP header is cut short";
    int64_t width, height;
    int bits;
    uint32_t compression = 0, colours = 0;
    const unsigned char *info = bytes + FileHeader;
    if (core) {
        width = le16(info + 4);
        height = le16(info + 6);
        bits = le16(info + 10);
    } else {
        width = int32_t(le32(info + 4));
        height = int32_t(le32(info + 8));
        bits = le16(info + 14);
        compression = le32(info + 16);
        colours = le32(info + 32);
    }
    // A negative height is a picture stored top row first.
    if (height < 0)
        height = -height;
    if (width < 1 || height < 1)
        return "the BMP header claims no pixels";
    if (width > MaxBmpSide || height > MaxBmpSide || width > maxWidth || height > maxHeight)
        return "the BMP header claims a picture larger than allowed";
    switch (bits) {
    case 1:
    case 4:
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return "the BMP header claims an unknown bit depth";
    }
    const uint32_t BiRgb = 0, BiBitfields = 3;
    if (compression != BiRgb && compression != BiBitfields)
        return "compressed BMP pictures are not read";
    // The colour masks and the palette follow the fixed fields, where SDL 1.2 reads them.
    uint64_t tablesAt = FileHeader + (core ? 12 : 40);
    uint64_t tables = 0;
    bool maskedDepth = bits == 15 || bits == 16 || bits == 32;
    if (maskedDepth && (compression == BiBitfields || pixelsAt != FileHeader + infoSize))
        tables = 12;
    if (bits <= 8) {
        uint32_t most = 1u << bits;
        if (colours > most)
            return "the BMP palette is larger than its bit depth allows";
        tables = uint64_t(colours ? colours : most) * (core ? 3 : 4);
    }
    uint64_t rowBytes = (uint64_t(width) * uint64_t(bits == 15 ? 16 : bits) + 31) / 32 * 4;
    uint64_t needed = uint64_t(pixelsAt) + rowBytes * uint64_t(height);
    uint64_t headers = tablesAt + tables > FileHeader + infoSize ? tablesAt + tables : FileHeader + infoSize;
    if (headers > needed)
        needed = headers;
    if (headers > size)
        return "the BMP header is cut short";
    if (fileSize < needed)
        return "the BMP file is cut short";
    if (shape) {
        shape->width = int32_t(width);
        shape->height = int32_t(height);
        shape->bitsPerPixel = bits;
        shape->bytesNeeded = needed;
    }
    return nullptr;
}
