// Sound for the browser build: the audio device opens at the player's first key or click.
//
// Browsers refuse to start sound before a gesture on the page. The page opens an audio
// context at the tap or key that starts the game (Module.plimoAudioContext), which
// Mix_OpenAudio takes over. Without one, Mix_OpenAudio only notes that sound is wanted;
// the first key, click or touch opens emscripten's audio context,
// decodes the effects and tracks loaded so far and starts the music the game has asked
// for meanwhile (it starts from its beginning then). Playing and volumes stay emscripten's
// (Web Audio). A file that is missing makes Mix_LoadWAV_RW fail as SDL_mixer does; one
// that cannot be decoded stays silent. (mergeInto: Debian's emscripten has no addToLibrary.)
mergeInto(LibraryManager.library, {
  $plimoAudio__deps: ['$SDL'],
  $plimoAudio: {
    wanted: false,
    pending: [], // { bytes, webAudio } waiting for the audio context

    decode: function(bytes, webAudio) {
      SDL.audioContext['decodeAudioData'](bytes, function(buffer) {
        webAudio.decodedBuffer = buffer;
        webAudio.onDecodeComplete.forEach(function(play) { play(); });
        webAudio.onDecodeComplete = undefined;
      }, function() {
        // Not a sound the browser can decode: it stays silent, as a missing one does.
      });
    },

    // Runs on every gesture until the context plays: the first opens it (a context made
    // during a gesture may play), later ones resume it if the browser held it back.
    gesture: function() {
      if (!plimoAudio.wanted) return;
      if (!SDL.audioContext) {
        SDL.openAudioContext();
        if (!SDL.audioContext) return; // no Web Audio: the game stays silent
        plimoAudio.pending.forEach(function(p) { plimoAudio.decode(p.bytes, p.webAudio); });
        plimoAudio.pending = [];
        var music = SDL.music.audio;
        if (music && music.resource && !music.paused && !music.webAudioNode) SDL.playWebAudio(music);
      }
      if (SDL.audioContext.state === 'suspended') SDL.audioContext.resume();
      if (SDL.audioContext.state === 'running') {
        ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
          document.removeEventListener(type, plimoAudio.gesture, true);
        });
      }
    }
  },

  Mix_OpenAudio__deps: ['$SDL', '$plimoAudio'],
  Mix_OpenAudio: function(frequency, format, channels, chunksize) {
    SDL.allocateChannels(32);
    SDL.mixerFrequency = frequency;
    SDL.mixerFormat = format;
    SDL.mixerNumChannels = channels;
    SDL.mixerChunkSize = chunksize;
    if (!SDL.audioContext && Module['plimoAudioContext']) SDL.audioContext = Module['plimoAudioContext'];
    if (!plimoAudio.wanted) {
      plimoAudio.wanted = true;
      ['keydown', 'mousedown', 'touchstart'].forEach(function(type) {
        document.addEventListener(type, plimoAudio.gesture, true);
      });
    }
    return 0;
  },

  // A sound or track from a file (or memory), decoded now or once the context is open.
  Mix_LoadWAV_RW__deps: ['$SDL', '$plimoAudio', '$FS', '$PATH_FS', '$plimoSurfaces', 'SDL_FreeRW'],
  Mix_LoadWAV_RW: function(rwopsID, freesrc) {
    var rwops = SDL.rwops[rwopsID];
    if (!rwops) return 0;
    var bytes;
    if (rwops.filename !== undefined) {
      try {
        bytes = FS.readFile(PATH_FS.resolve(rwops.filename)).buffer;
      } catch (e) {
        plimoSurfaces.setError("Couldn't open " + rwops.filename);
        return 0;
      }
    } else if (rwops.bytes !== undefined) {
      bytes = HEAPU8.buffer.slice(rwops.bytes, rwops.bytes + rwops.count);
    } else {
      return 0;
    }
    if (freesrc) _SDL_FreeRW(rwopsID);
    var webAudio = { onDecodeComplete: [] };
    if (SDL.audioContext) plimoAudio.decode(bytes, webAudio);
    else plimoAudio.pending.push({ bytes: bytes, webAudio: webAudio });
    var id = SDL.audios.length;
    SDL.audios.push({ source: rwops.filename || '', audio: undefined, webAudio: webAudio });
    return id;
  }
});
