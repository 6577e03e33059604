// The page around Plimo's canvas. It downloads the game (plimo.js, plimo.wasm and
// plimo.data, the data folder as a gzip-compressed tar archive) while the start screen
// asks for a tap or a key, counting the bytes as they arrive; unpacks the data into the
// game's working directory; and starts the game at that first tap or key, which also
// unlocks the sound, so the splash music starts from its beginning. A download that fails
// is one red line naming the file and what to do. After the game has loaded once, a
// service worker (sw.js) keeps the site for offline play.
//
// Other page scripts use window.plimoPage: `arguments`, the game's command line, may be
// added to until the game starts; buttons of their own go into the bar's #tools.
'use strict';
(function () {
  var canvas = document.getElementById('screen');
  var status = document.getElementById('status');
  var startScreen = document.getElementById('start');
  var startPrompt = document.getElementById('start-prompt');
  var startStatus = document.getElementById('start-status');
  // No byte for this long (a server gone without closing the connection): the download
  // is said to have stopped, until bytes come again.
  var StallMs = 6000;

  var page = window.plimoPage = {
    // Any argument gives the game a 640x480 screen rather than the full screen; the
    // page's button makes the page full screen instead.
    arguments: ['window'],
    started: false,
    failed: false,
    readyAt: 0, // when the game had loaded (ms since the page's start)
    startedAt: 0, // when it started, at the first tap or key once loaded
    firstFrameAt: 0,
    audioContext: null,
    touchKeysShown: false, // set by controls.js
    onKeyboard: null, // called at every key of a real keyboard (controls.js)
    hint: hint
  };
  var runtimeReady = false;
  var startWanted = false;
  var lastError = '';

  // One line of status, in the bar and on the start screen; a failure stays.
  function say(text, isFailure) {
    if (page.failed) return;
    page.failed = !!isFailure;
    [status, startStatus].forEach(function (line) {
      line.textContent = text;
      line.classList.toggle('failed', !!isFailure);
    });
    if (isFailure) startPrompt.hidden = true;
  }

  // What the player can do, once the game shows; it follows the on-screen keys.
  function hint() {
    if (page.failed || !page.firstFrameAt) return;
    say(page.touchKeysShown ? 'Tap ▲ ▼ and OK to choose, digits to answer.'
                            : 'Arrows and Return choose, digits answer, Escape goes back.');
  }

  // ---- downloads, counted in bytes as they arrive

  var downloads = {}; // file name -> { received, total (0: not known), done }
  var lastByteAt = performance.now(); // when any download last made progress

  function megabytes(bytes) { return (bytes / 1e6).toFixed(1); }

  function showProgress() {
    if (page.started) return;
    var received = 0;
    var total = 0;
    var stalled = '';
    var slow = performance.now() - lastByteAt > StallMs;
    for (var name in downloads) {
      var d = downloads[name];
      received += d.received;
      total = total >= 0 && d.total ? total + Math.max(d.total, d.received) : -1;
      if (!d.done && slow) stalled = stalled || name;
    }
    if (stalled) {
      // Not final: the line goes back to the count if bytes come again.
      [status, startStatus].forEach(function (line) {
        line.textContent = 'The download of ' + stalled + ' has stopped. Check the network connection and reload the page.';
        line.classList.add('failed');
      });
      return;
    }
    say(runtimeReady ? 'Plimo has loaded.'
                     : 'Loading Plimo… ' + megabytes(received) + (total > 0 ? ' of ' + megabytes(total) : '') + ' MB');
  }
  var watchdog = setInterval(function () { if (!page.failed) showProgress(); }, 1000);

  function unreachable(name) {
    return 'Could not reach the server for ' + name + '. Check the network connection and reload the page.';
  }
  function brokeOff(name) {
    return 'The download of ' + name + ' broke off. Check the network connection and reload the page.';
  }
  function damaged(name) {
    return name + ' arrived damaged. Reload the page; if this happens again, tell whoever runs this site.';
  }
  function fail(text) {
    say(text, true);
    clearInterval(watchdog);
  }

  // The whole file as bytes, its progress counted as it arrives; with unzip, a gzip file
  // is decompressed on the way (unless a server has already undone the gzip). A failure
  // is reported and leaves the promise unresolved.
  function download(name, unzip) {
    var entry = downloads[name] = { received: 0, total: 0, done: false };
    return new Promise(function (resolve) {
      fetch(name).then(function (response) {
        if (!response.ok) {
          fail('Could not load ' + name + ': the server answered ' + response.status +
               (response.statusText ? ' ' + response.statusText : '') +
               '. Reload the page; if this happens again, tell whoever runs this site.');
          return;
        }
        entry.total = Number(response.headers.get('Content-Length')) || 0;
        var reader = response.body.getReader();
        var chunks = [];
        var writer = null;
        var unzipped = null;
        var pump = function () {
          return reader.read().then(function (part) {
            if (part.done) return;
            var chunk = part.value;
            if (unzip && entry.received === 0 && chunk[0] === 0x1f && chunk[1] === 0x8b) {
              var gunzip = new DecompressionStream('gzip');
              writer = gunzip.writable.getWriter();
              unzipped = new Response(gunzip.readable).arrayBuffer();
              unzipped.catch(function () {}); // judged at the end
            }
            if (writer) writer.write(chunk).catch(function () {});
            else chunks.push(chunk);
            entry.received += chunk.length;
            lastByteAt = performance.now();
            showProgress();
            return pump();
          });
        };
        pump().then(function () {
          entry.done = true;
          showProgress();
          // A body shorter than announced was cut, whether or not the browser noticed.
          if (entry.total && entry.received < entry.total &&
              !response.headers.get('Content-Encoding')) return fail(brokeOff(name));
          if (writer) {
            writer.close().catch(function () {});
            unzipped.then(function (buffer) { resolve(new Uint8Array(buffer)); },
                          function () { fail(damaged(name)); });
            return;
          }
          var bytes = new Uint8Array(entry.received);
          for (var i = 0, at = 0; i < chunks.length; at += chunks[i].length, i++) bytes.set(chunks[i], at);
          resolve(bytes);
        }, function () { fail(brokeOff(name)); });
      }, function () { fail(unreachable(name)); });
    });
  }

  // The files of a ustar archive: [{ path, bytes }].
  function untar(tar) {
    var files = [];
    var field = function (header, from, length) {
      var end = from;
      while (end < from + length && header[end] !== 0) end++;
      return String.fromCharCode.apply(null, header.subarray(from, end));
    };
    for (var at = 0; at + 512 <= tar.length && tar[at] !== 0; ) {
      var header = tar.subarray(at, at + 512);
      var size = parseInt(field(header, 124, 12), 8);
      if (!(size >= 0) || at + 512 + size > tar.length) throw new Error('cut archive');
      var prefix = field(header, 345, 155);
      var type = header[156];
      if (type === 0x30 || type === 0) {
        files.push({ path: (prefix ? prefix + '/' : '') + field(header, 0, 100),
                     bytes: tar.subarray(at + 512, at + 512 + size) });
      }
      at += 512 + Math.ceil(size / 512) * 512;
    }
    if (files.length === 0) throw new Error('empty archive');
    return files;
  }

  // ---- the game

  var plimo = window.Module = {
    canvas: canvas,
    noInitialRun: true, // main runs at the player's first tap or key
    print: function (text) { console.log(text); },
    // The game writes to standard error only the line that ends a failed start-up and
    // notes about missing sounds; the last line is shown if the game stops.
    printErr: function (text) {
      console.warn(text);
      lastError = text;
    },
    setStatus: function () {}, // the page counts the bytes itself
    // The wasm file is fetched by the page (its bytes counted, its failure named),
    // whatever type the server gives it.
    instantiateWasm: function (imports, receiveInstance) {
      wasm.then(function (bytes) {
        return WebAssembly.instantiate(bytes, imports).then(function (result) {
          receiveInstance(result.instance, result.module);
        }, function () { fail(damaged('plimo.wasm')); });
      });
      return {};
    },
    // The data is unpacked into the working directory ("/") before the runtime starts.
    preRun: [function () {
      plimo.addRunDependency('plimo.data');
      data.then(function (files) {
        files.forEach(function (file) {
          var slash = file.path.lastIndexOf('/');
          var folder = '/' + file.path.slice(0, slash + 1);
          if (slash > 0) plimo.FS_createPath('/', file.path.slice(0, slash), true, true);
          plimo.FS_createDataFile(folder, file.path.slice(slash + 1), file.bytes, true, true, true);
        });
        plimo.removeRunDependency('plimo.data');
      });
    }],
    onRuntimeInitialized: function () {
      // A test may change the unpacked files before the game starts.
      if (typeof window.plimoBeforeMain === 'function') window.plimoBeforeMain(FS);
      runtimeReady = true;
      page.readyAt = performance.now();
      clearInterval(watchdog);
      showProgress();
      keepForOffline();
      startWhenWanted();
    },
    onFramePresented: function () {
      if (page.firstFrameAt) return;
      page.firstFrameAt = performance.now();
      hint();
    },
    onExit: function (code) {
      if (code !== 0) say(lastError || 'Plimo stopped (status ' + code + '). Reload the page to try again.', true);
      else say('Plimo has ended. Reload the page to play again.');
    },
    onAbort: function (what) {
      say('Plimo stopped: ' + (lastError || what) + '. Reload the page to try again.', true);
    }
  };

  var tooOld = typeof WebAssembly !== 'object' || typeof DecompressionStream !== 'function' ||
               typeof ReadableStream !== 'function';
  var wasm = new Promise(function () {});
  var data = wasm;
  if (tooOld) {
    fail('This browser is too old for Plimo. Open the page in a current Chrome, Edge, Firefox or Safari.');
  } else if (location.protocol === 'file:') {
    fail('Plimo cannot start from a file: put its folder on a web server (./play-web.sh serves it) and open that address.');
  } else {
    wasm = download('plimo.wasm');
    data = download('plimo.data', true).then(untar).catch(function () {
      fail(damaged('plimo.data'));
      return new Promise(function () {});
    });
    var script = document.createElement('script');
    script.src = 'plimo.js';
    script.onerror = function () { fail('Could not load plimo.js. Check the network connection and reload the page.'); };
    // Its bytes are known once it is there.
    downloads['plimo.js'] = { received: 0, total: 0, done: false };
    script.onload = function () {
      var timing = performance.getEntriesByName(script.src)[0];
      var size = (timing && timing.encodedBodySize) || 0;
      downloads['plimo.js'] = { received: size, total: size, done: true };
      lastByteAt = performance.now();
    };
    document.body.appendChild(script);
  }
  // A damaged plimo.js stops with a syntax error before it can report anything itself.
  window.addEventListener('error', function (event) {
    if (!runtimeReady && /\/plimo\.js(\?|$)/.test(event.filename || '')) fail(damaged('plimo.js'));
  });

  // ---- starting: the first tap, click or key

  // Sound may start only from a gesture, and some browsers unlock it only for a context
  // made and played in one: the game's audio (sdl_audio.js) takes this context over.
  function unlockAudio() {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context || page.audioContext) return;
    var context = page.audioContext = plimo.plimoAudioContext = new Context();
    if (context.state === 'suspended') context.resume();
    var silence = context.createBufferSource();
    silence.buffer = context.createBuffer(1, 1, 22050);
    silence.connect(context.destination);
    silence.start(0);
  }

  function wantStart() {
    if (page.started || page.failed) return;
    unlockAudio();
    startWanted = true;
    startPrompt.textContent = 'Plimo starts as soon as it has loaded…';
    startWhenWanted();
  }

  function startWhenWanted() {
    if (!startWanted || !runtimeReady || page.started || page.failed) return;
    page.started = true;
    page.startedAt = performance.now();
    startScreen.hidden = true;
    say('Starting Plimo…');
    focusGame();
    plimo.callMain(page.arguments.slice());
  }

  startScreen.addEventListener('click', wantStart);

  // Keys reach the game from anywhere on the page; the canvas takes the focus at the
  // first click or key, so that it keeps it when the page is embedded.
  function focusGame() {
    if (document.activeElement !== canvas) canvas.focus();
  }
  canvas.addEventListener('mousedown', focusGame);
  var startKeys = {}; // keys that started the game, held: their release is not the game's
  window.addEventListener('keydown', function (event) {
    if (event.isTrusted && page.onKeyboard) page.onKeyboard();
    if (!page.started) {
      event.stopImmediatePropagation();
      var modifier = /^(Shift|Control|Alt|Meta|AltGraph|CapsLock|Tab)$/.test(event.key);
      if (!event.repeat && !modifier && !event.ctrlKey && !event.metaKey && !event.altKey) {
        startKeys[event.code || event.key] = true;
        wantStart();
      }
      return;
    }
    // The desktop game never has key repeat on: a held key is one press, not many.
    if (event.repeat) {
      event.preventDefault();
      event.stopImmediatePropagation();
      return;
    }
    if (event.isTrusted) focusGame();
  }, true);
  window.addEventListener('keyup', function (event) {
    var code = event.code || event.key;
    if (startKeys[code]) {
      delete startKeys[code];
      event.stopImmediatePropagation();
    }
  }, true);

  // ---- full screen, where the browser has it

  var fullscreen = document.getElementById('fullscreen');
  var root = document.documentElement;
  var enter = root.requestFullscreen || root.webkitRequestFullscreen;
  if (!enter) fullscreen.hidden = true;
  fullscreen.addEventListener('click', function () {
    if (document.fullscreenElement || document.webkitFullscreenElement) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else {
      enter.call(root);
    }
    focusGame();
  });

  // ---- offline: the service worker keeps the site once the game has loaded (not before,
  // so that its copies are revalidated from the browser's cache, not downloaded again)

  function keepForOffline() {
    if ('serviceWorker' in navigator && window.isSecureContext) {
      navigator.serviceWorker.register('sw.js').catch(function (e) {
        console.warn('Plimo will not work offline here: ' + e.message);
      });
    }
  }
})();
