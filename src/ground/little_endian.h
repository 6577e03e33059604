// Little-endian numbers in file headers (BMP pictures, WAV effects), read byte by byte
// whatever the machine's own order.
#pragma once

#include <cstdint>

// The 16-bit number in p[0] (low byte) and p[1].
inline uint16_t le16(const unsigned char *p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// The 32-bit number in p[0] (low byte) .. p[3].
inline uint32_t le32(const unsigned char *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
