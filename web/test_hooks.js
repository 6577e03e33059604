// The key events the game takes from SDL's queue, kept for the browser test, which
// checks that an on-screen key gives exactly the press and release a real key does:
// Module.plimoKeyEvents holds the last 64 as [type, sym] (type 'down' or 'up'), and
// Module.plimoKeyEventCount counts them all.
mergeInto(LibraryManager.library, {
  SDL_PollEvent__deps: ['$SDL'],
  SDL_PollEvent: function(ptr) {
    var got = SDL.pollEvent(ptr);
    if (got && ptr) {
      var type = {{{ makeGetValue('ptr', C_STRUCTS.SDL_KeyboardEvent.type, 'i32') }}};
      if (type == 0x300 || type == 0x301) {
        var log = Module['plimoKeyEvents'] = Module['plimoKeyEvents'] || [];
        log.push([type == 0x300 ? 'down' : 'up',
                  {{{ makeGetValue('ptr', C_STRUCTS.SDL_KeyboardEvent.keysym + C_STRUCTS.SDL_Keysym.sym, 'i32') }}}]);
        if (log.length > 64) log.shift();
        Module['plimoKeyEventCount'] = (Module['plimoKeyEventCount'] || 0) + 1;
      }
    }
    return got;
  }
});
