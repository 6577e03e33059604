// Reads the uncompressed 24- and 32-bit BMP files that SDL_SaveBMP writes (the desktop
// game's dumped frames) into RGB rows, for comparison with the page's canvas.
import fs from 'node:fs';

// { width, height, rgb } with rgb a Uint8Array of width * height * 3 bytes, top row first.
export function readBmp(path) {
  const b = fs.readFileSync(path);
  if (b.toString('latin1', 0, 2) !== 'BM') throw new Error(`${path}: not a BMP file`);
  const offset = b.readUInt32LE(10);
  const width = b.readInt32LE(18);
  const rawHeight = b.readInt32LE(22);
  const bpp = b.readUInt16LE(28);
  const compression = b.readUInt32LE(30);
  if ((bpp !== 24 && bpp !== 32) || compression !== 0)
    throw new Error(`${path}: ${bpp}-bit BMP with compression ${compression} is not read here`);
  const height = Math.abs(rawHeight);
  const bytes = bpp / 8;
  const stride = Math.ceil((width * bytes) / 4) * 4;
  const rgb = new Uint8Array(width * height * 3);
  for (let y = 0; y < height; y++) {
    // Rows are stored bottom-up unless the height is negative.
    const row = offset + (rawHeight > 0 ? height - 1 - y : y) * stride;
    for (let x = 0; x < width; x++) {
      const p = row + x * bytes; // blue, green, red (and a fourth byte)
      const q = (y * width + x) * 3;
      rgb[q] = b[p + 2];
      rgb[q + 1] = b[p + 1];
      rgb[q + 2] = b[p];
    }
  }
  return { width, height, rgb };
}
