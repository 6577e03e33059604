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

  // The main loop's waits. The game says after each wake how long until its next work
  // (the desktop's pacing: a frame only when it is due, none while nothing changes), and
  // the page sleeps that long on a timer: no animation frame is asked for while the game
  // waits, so that a still screen costs next to nothing. A key wakes the loop at the next
  // animation frame, as input ends the desktop's wait; so does the page shown again.
  $plimoLoop__deps: ['$callUserCallback', '$runtimeKeepalivePop'],
  $plimoLoop: {
    wake: null, // the game's wake, with 1 for a wake at a key
    timer: 0, // the pending timer's id, or 0
    frame: 0, // the pending animation frame's id, or 0
    input: 0, // a key came since the last wake

    // Whichever comes first, the timer or the animation frame, wakes the game; the other
    // is called off.
    run: function() {
      var l = plimoLoop;
      if (l.timer) clearTimeout(l.timer);
      if (l.frame) cancelAnimationFrame(l.frame);
      var input = l.input;
      l.timer = l.frame = l.input = 0;
      callUserCallback(function() { l.wake(input); });
    },

    onInput: function() {
      var l = plimoLoop;
      l.input = 1;
      if (!l.frame) l.frame = requestAnimationFrame(l.run);
    },

    onVisibility: function() {
      if (document.visibilityState !== 'hidden') plimoLoop.onInput();
    },

    listen: function(on) {
      var change = on ? document.addEventListener : document.removeEventListener;
      change.call(document, 'keydown', plimoLoop.onInput, true);
      change.call(document, 'keyup', plimoLoop.onInput, true);
      change.call(document, 'visibilitychange', plimoLoop.onVisibility);
    }
  },

  plimo_loop_start__deps: ['$plimoLoop'],
  plimo_loop_start: function(wake) {
    plimoLoop.wake = {{{ makeDynCall('vi', 'wake') }}};
    plimoLoop.listen(true);
    plimoLoop.timer = setTimeout(plimoLoop.run, 0);
  },

  // The next wake after ms, or sooner at a key. (A key's animation frame already asked
  // for does not stand in for the timer: a browser may hold animation frames back.)
  plimo_loop_after__deps: ['$plimoLoop'],
  plimo_loop_after: function(ms) {
    var l = plimoLoop;
    if (l.timer) clearTimeout(l.timer);
    l.timer = setTimeout(l.run, ms);
  },

  // The loop ends (the game ends): no more wakes, and the runtime may exit.
  plimo_loop_stop__deps: ['$plimoLoop', '$runtimeKeepalivePop'],
  plimo_loop_stop: function() {
    var l = plimoLoop;
    if (l.timer) clearTimeout(l.timer);
    if (l.frame) cancelAnimationFrame(l.frame);
    l.timer = l.frame = l.input = 0;
    l.listen(false);
    runtimeKeepalivePop();
  },

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
