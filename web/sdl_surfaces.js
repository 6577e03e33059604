// Surfaces in memory for the browser build: the game's pixels stay where it writes them.
//
// Emscripten's SDL keeps each surface on a canvas and copies it to memory on every lock
// and back on every unlock, as RGBA bytes, blitting with the canvas; its SDL_MUSTLOCK
// says "always". The game needs SDL 1.2's software surfaces instead: pixels held in
// memory as 0x00RRGGBB words (the drawing stores colours such as 0x9f0000 directly),
// blits that land in memory also while the screen is locked (the language picture is
// blitted inside the drawing bracket), and SDL 1.2's must-lock rule, under which a
// software surface is never locked (gfx/surface.h reads the rule from the flags). So
// frames are drawn as on the desktop: an unchanged frame is neither drawn nor shown, a
// picture in the screen's format is copied row by row, and only the changed regions
// are redrawn and shown. These functions replace emscripten's for the calls the game
// makes (web/sdl_symbols.txt lists them, and which calls emscripten's SDL answers):
//
// - every surface the game gets (the screen, a loaded picture, a conversion) is in
//   memory from the start, in the format red 0xff0000, green 0xff00, blue 0xff, with none
//   of the flags that ask for a lock; a picture, decoded onto a canvas by emscripten's
//   loader, is read from it once, when it is loaded;
// - locking only counts; blits and conversions copy memory, with SDL 1.2's clipping;
// - SDL_UpdateRect(s) shows the given rectangles of the screen's memory on the page
//   canvas, the one place where pixels are mapped to the canvas's RGBA bytes (alpha
//   always opaque), and only those rectangles' pixels are mapped.
//
// mergeInto, not addToLibrary: Debian's emscripten (3.1.6) has no addToLibrary yet.
mergeInto(LibraryManager.library, {
  $plimoSurfaces__deps: ['$SDL', 'malloc', 'free', '$stringToNewUTF8'],
  $plimoSurfaces: {
    // SDL_HWSURFACE, SDL_ASYNCBLIT and SDL_RLEACCEL as the browser's SDL header numbers
    // them: the flags under which SDL 1.2's rule asks for a lock.
    mustLockFlags: 0x08000003,

    // Pixels of the screen mapped to the canvas since start-up.
    shownPixels: 0,

    // The surface's record, its pixels moved into memory the first time (read from its
    // canvas, unless the surface is new and blank or about to be overwritten: skipCanvas).
    adopt: function(surf, skipCanvas) {
      var s = SDL.surfaces[surf];
      if (s.plimoInMemory) return s;
      var count = s.width * s.height;
      if (!s.buffer) s.buffer = _malloc(count * 4);
      var flags = {{{ makeGetValue('surf', C_STRUCTS.SDL_Surface.flags, 'i32') }}};
      {{{ makeSetValue('surf', C_STRUCTS.SDL_Surface.flags, 'flags & ~plimoSurfaces.mustLockFlags', 'i32') }}};
      {{{ makeSetValue('surf', C_STRUCTS.SDL_Surface.pixels, 's.buffer', 'void*') }}};
      {{{ makeSetValue('surf', C_STRUCTS.SDL_Surface.pitch, 's.width * 4', 'i32') }}};
      var f = s.pixelFormat;
      // SDL_PIXELFORMAT_RGB888: 32-bit words 0x00RRGGBB.
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.format, '0x16161804', 'i32') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Rmask, '0xff0000', 'i32') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Gmask, '0xff00', 'i32') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Bmask, '0xff', 'i32') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Amask, '0', 'i32') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Rshift, '16', 'i8') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Gshift, '8', 'i8') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Bshift, '0', 'i8') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Ashift, '0', 'i8') }}};
      {{{ makeSetValue('f', C_STRUCTS.SDL_PixelFormat.Aloss, '8', 'i8') }}};
      var words = HEAPU32.subarray(s.buffer >> 2, (s.buffer >> 2) + count);
      if (count > 0 && !skipCanvas) {
        var rgba = new Uint32Array(s.ctx.getImageData(0, 0, s.width, s.height).data.buffer);
        for (var i = 0; i < count; i++) {
          var v = rgba[i]; // bytes R, G, B, A: 0xAABBGGRR read little-endian
          words[i] = ((v & 0xff) << 16) | (v & 0xff00) | ((v >>> 16) & 0xff);
        }
      } else {
        words.fill(0);
      }
      s.plimoInMemory = true;
      return s;
    },

    // The text SDL_GetError returns from now on.
    setError: function(text) {
      if (SDL.errorMessage) _free(SDL.errorMessage);
      SDL.errorMessage = stringToNewUTF8(text);
    },

    // Reads an SDL_Rect pointer, or the whole surface for a null one.
    rect: function(ptr, s) {
      return ptr ? SDL.loadRect(ptr) : { x: 0, y: 0, w: s.width, h: s.height };
    }
  },

  // Emscripten's SDL_SetVideoMode (the page canvas, its size and listeners), kept under
  // this name for the one below.
  plimoEmscriptenSetVideoMode: LibraryManager.library.SDL_SetVideoMode,
  plimoEmscriptenSetVideoMode__deps: LibraryManager.library.SDL_SetVideoMode__deps,

  // The screen as emscripten's SDL makes it, held in memory from the start, black.
  SDL_SetVideoMode__deps: ['$SDL', '$plimoSurfaces', 'plimoEmscriptenSetVideoMode'],
  SDL_SetVideoMode: function(width, height, depth, flags) {
    var screen = _plimoEmscriptenSetVideoMode(width, height, depth, flags);
    if (!screen) return screen;
    plimoSurfaces.adopt(screen, true);
    // The game puts only what changed; a canvas that lost its pixels (the browser gives
    // a 2D canvas back blank after a graphics reset) gets the frame it showed put again.
    if (!plimoSurfaces.restoring) {
      plimoSurfaces.restoring = true;
      Module['canvas'].addEventListener('contextrestored', function() {
        var s = SDL.screen && SDL.surfaces[SDL.screen];
        if (s && s.plimoShown) s.ctx.putImageData(s.plimoShown, 0, 0);
      });
    }
    return screen;
  },

  SDL_LockSurface__deps: ['$plimoSurfaces'],
  SDL_LockSurface: function(surf) {
    plimoSurfaces.adopt(surf).locked++;
    return 0;
  },

  SDL_UnlockSurface__deps: ['$plimoSurfaces'],
  SDL_UnlockSurface: function(surf) {
    var s = plimoSurfaces.adopt(surf);
    if (s.locked > 0) s.locked--;
  },

  // SDL 1.2's blit between two 32-bit surfaces of one format: the source rectangle is
  // clipped to the source, the destination to the destination's bounds, and dstrect
  // receives the rectangle really drawn.
  SDL_UpperBlit__deps: ['$plimoSurfaces'],
  SDL_UpperBlit: function(src, srcrect, dst, dstrect) {
    var from = plimoSurfaces.adopt(src);
    var to = plimoSurfaces.adopt(dst);
    var sr = plimoSurfaces.rect(srcrect, from);
    var dx = 0, dy = 0;
    if (dstrect) {
      var at = SDL.loadRect(dstrect);
      dx = at.x;
      dy = at.y;
    }
    var sx = sr.x, sy = sr.y, w = sr.w, h = sr.h;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    w = Math.min(w, from.width - sx);
    h = Math.min(h, from.height - sy);
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    w = Math.min(w, to.width - dx);
    h = Math.min(h, to.height - dy);
    if (w <= 0 || h <= 0) {
      w = 0;
      h = 0;
    }
    for (var row = 0; row < h; row++) {
      var s = (from.buffer >> 2) + (sy + row) * from.width + sx;
      HEAPU32.copyWithin((to.buffer >> 2) + (dy + row) * to.width + dx, s, s + w);
    }
    if (dstrect) SDL.updateRect(dstrect, { x: dx, y: dy, w: w, h: h });
    return 0;
  },

  // A copy in the one format every surface has here.
  SDL_ConvertSurface__deps: ['$plimoSurfaces'],
  SDL_ConvertSurface: function(surf, format, flags) {
    var from = plimoSurfaces.adopt(surf);
    var copy = SDL.makeSurface(from.width, from.height, 0, false, 'copy:' + from.source);
    var to = plimoSurfaces.adopt(copy, true);
    var count = from.width * from.height;
    HEAPU32.set(HEAPU32.subarray(from.buffer >> 2, (from.buffer >> 2) + count), to.buffer >> 2);
    return copy;
  },

  // Streams are numbered from 1 so that none is mistaken for NULL; emscripten's
  // SDL_FreeRW also drops the reserved slot 0 once every stream is freed, after which the
  // next SDL_RWFromFile would return 0, "cannot open", for a file that is there.
  SDL_FreeRW__deps: ['$SDL'],
  SDL_FreeRW: function(rwopsID) {
    SDL.rwops[rwopsID] = null;
    while (SDL.rwops.length > 1 && SDL.rwops[SDL.rwops.length - 1] === null) {
      SDL.rwops.pop();
    }
  },

  // Emscripten's SDL_SetError forgets its message; the game's start-up line needs it.
  SDL_SetError__deps: ['$SDL', '$formatString', '$plimoSurfaces'],
  SDL_SetError: function(format, varargs) {
    plimoSurfaces.setError(UTF8ArrayToString(formatString(format, varargs), 0));
  },

  // Pictures are decoded by stb_image here; a failure says which way it failed instead
  // of the emulation's "unknown" error, as SDL 1.2's own loader would.
  SDL_LoadBMP_RW__deps: ['$SDL', 'IMG_Load_RW', '$plimoSurfaces', '$PATH_FS', '$FS'],
  SDL_LoadBMP_RW: function(rwops, freesrc) {
    var stream = SDL.rwops[rwops];
    var name = stream && stream.filename;
    var surf = _IMG_Load_RW(rwops, freesrc);
    if (surf) {
      plimoSurfaces.adopt(surf);
    } else {
      if (name !== undefined && !FS.analyzePath(PATH_FS.resolve(name)).exists)
        plimoSurfaces.setError("Couldn't open " + name);
      else
        plimoSurfaces.setError('not a picture that can be read');
    }
    return surf;
  },

  // Shows the screen: its words become the page canvas's RGBA bytes.
  SDL_UpdateRect__deps: ['$plimoSurfaces'],
  SDL_UpdateRect: function(surf, x, y, w, h) {
    var s = plimoSurfaces.adopt(surf);
    if (surf != SDL.screen) return;
    if (x == 0 && y == 0 && w == 0 && h == 0) {
      w = s.width;
      h = s.height;
    }
    x = Math.max(x, 0);
    y = Math.max(y, 0);
    w = Math.min(w, s.width - x);
    h = Math.min(h, s.height - y);
    if (w <= 0 || h <= 0) return;
    if (!s.plimoShown) s.plimoShown = s.ctx.createImageData(s.width, s.height);
    var rgba = new Uint32Array(s.plimoShown.data.buffer);
    var words = HEAPU32.subarray(s.buffer >> 2, (s.buffer >> 2) + s.width * s.height);
    for (var row = y; row < y + h; row++) {
      for (var i = row * s.width + x, end = i + w; i < end; i++) {
        var v = words[i];
        rgba[i] = 0xff000000 | ((v & 0xff) << 16) | (v & 0xff00) | ((v >>> 16) & 0xff);
      }
    }
    // Put as a rectangle of its own: the browser reads (and converts) the whole image
    // given, not only the dirty rectangle asked for, at a cost of the canvas's size.
    var part = s.ctx.createImageData(w, h);
    var partWords = new Uint32Array(part.data.buffer);
    for (var line = 0; line < h; line++) {
      var from = (y + line) * s.width + x;
      partWords.set(rgba.subarray(from, from + w), line * w);
    }
    s.ctx.putImageData(part, x, y);
    plimoSurfaces.shownPixels += w * h;
    if (Module['onFramePresented']) Module['onFramePresented']();
  },

  // Shows the given rectangles of the screen, each as SDL_UpdateRect does.
  SDL_UpdateRects__deps: ['$SDL', 'SDL_UpdateRect'],
  SDL_UpdateRects: function(surf, count, rects) {
    for (var i = 0; i < count; i++) {
      var r = SDL.loadRect(rects + i * {{{ C_STRUCTS.SDL_Rect.__size__ }}});
      if (r.w > 0 && r.h > 0) _SDL_UpdateRect(surf, r.x, r.y, r.w, r.h);
    }
  }
});
