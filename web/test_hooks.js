// The browser test's view into the game, in the test's own build only (site-test): the
// game's instance as window.Module (its exported plimo* views, see test_hooks.cpp),
// emscripten's SDL as window.SDL and the page's surfaces as window.plimoSurfaces; a
// function window.plimoBeforeMain(FS), when the test gives one, called with the game's
// files unpacked, before the game starts, to change them; and the
// key events the game takes from SDL's queue, which the test checks an on-screen key
// against (one press and one release, as a real key gives): Module.plimoKeyEvents holds
// the last 64 as [type, sym] (type 'down' or 'up'), Module.plimoKeyEventCount counts them.
mergeInto(LibraryManager.library, {
  $plimoTestWindow__deps: ['$SDL', '$plimoSurfaces', '$FS'],
  $plimoTestWindow: {},
  $plimoTestWindow__postset: 'window.Module = Module; window.SDL = SDL; window.plimoSurfaces = plimoSurfaces; ' +
    'addOnPreMain(function() { if (typeof window.plimoBeforeMain === "function") window.plimoBeforeMain(FS); });',

  SDL_PollEvent__deps: ['$SDL', '$plimoTestWindow'],
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
