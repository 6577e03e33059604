// The game's time and its end in the page, for the browser build.
//
// Hidden means paused: SDL_GetTicks counts the time the page has been shown since the game
// started, and stands still while the page is hidden (another tab, a locked phone, a
// minimised window: the page's visibility, and its lifecycle's freeze and pagehide). The
// game then runs no logic step for the hidden time and has none to catch up on when it
// shows again: it goes on where it was. The sound is suspended meanwhile, so the music
// goes on from where it was too.
//
// A game that ends leaves nothing behind: SDL_Quit, the game's last SDL call, takes away
// every listener emscripten's SDL and this clock put on the page, so that a new instance
// of the game (page.js starts one when the player wants to play again) is the only one
// that hears the keys. (mergeInto: Debian's emscripten has no addToLibrary.)
mergeInto(LibraryManager.library, {
  $plimoClock__deps: ['$SDL'],
  $plimoClock: {
    shownMs: 0, // shown time up to shownSince
    shownSince: -1, // performance.now() when the page was last shown; -1 while hidden
    audioSuspended: false, // the sound was suspended here, and is resumed here

    now: function() {
      var c = plimoClock;
      if (c.shownSince < 0) return c.shownMs;
      return c.shownMs + (performance.now() - c.shownSince);
    },

    hide: function() {
      var c = plimoClock;
      if (c.shownSince < 0) return;
      c.shownMs = c.now();
      c.shownSince = -1;
      var context = SDL.audioContext;
      if (context && context.state === 'running') {
        context.suspend();
        c.audioSuspended = true;
      }
    },

    show: function() {
      var c = plimoClock;
      if (c.shownSince >= 0) return;
      c.shownSince = performance.now();
      if (c.audioSuspended && SDL.audioContext) SDL.audioContext.resume();
      c.audioSuspended = false;
    },

    onVisibility: function() {
      if (document.visibilityState === 'hidden') plimoClock.hide();
      else plimoClock.show();
    },

    // The page's events that hide or show it, and the listener of each.
    events: [['visibilitychange', 'onVisibility'], ['freeze', 'hide'], ['resume', 'onVisibility'],
             ['pagehide', 'hide'], ['pageshow', 'onVisibility']],

    listen: function(on) {
      plimoClock.events.forEach(function(e) {
        (on ? document.addEventListener : document.removeEventListener).call(document, e[0], plimoClock[e[1]]);
      });
    }
  },
  $plimoClock__postset: 'plimoClock.listen(true); plimoClock.onVisibility();',

  // Milliseconds of shown time since the game's instance started, wrapping as SDL's count.
  SDL_GetTicks__deps: ['$plimoClock'],
  SDL_GetTicks: function() {
    return Math.floor(plimoClock.now()) >>> 0;
  },

  // Emscripten's SDL_Quit only stops the sound; its listeners stay on the page for good.
  SDL_Quit__deps: ['$SDL', '$plimoClock', 'SDL_AudioQuit'],
  SDL_Quit: function() {
    _SDL_AudioQuit(); // stops the effects and the music
    plimoClock.listen(false);
    var keys = Module['keyboardListeningElement'] || document;
    ['keydown', 'keyup', 'keypress'].forEach(function(type) { keys.removeEventListener(type, SDL.receiveEvent); });
    window.removeEventListener('focus', SDL.receiveEvent);
    window.removeEventListener('blur', SDL.receiveEvent);
    document.removeEventListener('visibilitychange', SDL.receiveEvent);
    window.removeEventListener('unload', SDL.receiveEvent);
    ['touchstart', 'touchend', 'touchmove', 'mousedown', 'mouseup', 'mousemove', 'DOMMouseScroll', 'mousewheel', 'wheel',
     'mouseout'].forEach(function(type) { Module['canvas'].removeEventListener(type, SDL.receiveEvent, true); });
  }
});
