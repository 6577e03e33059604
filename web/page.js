// The page around Plimo's canvas, and the one module the page's other scripts import. It
// downloads the game (plimo.js, plimo.wasm and plimo.data, the data folder as a
// gzip-compressed tar archive) from the build's folder that boot.js picked, while the
// start screen asks for a tap or a key, counting the bytes as they arrive and checking
// each file against the build's hash; unpacks the data; and starts the game at that first
// tap or key, which also unlocks the sound, so the splash music starts from its
// beginning. A download that fails is one red line naming the file and what to do; a file
// that is not the build's (an update being copied) has boot.js try the build before it.
// When the game ends (its quit entry, Back on the language screen) the start screen shows
// again, and a tap starts a new game from the bytes already here, or loads the page again
// when the server has a newer build. After the game has loaded once, a service worker
// (sw.js) keeps the build for offline play.
//
// What other scripts use (imported, never through a shared object):
//   setGameArguments(owner, words)  words added to the game's command line at its next start
//   gameRunning()                   whether a game runs now
//   currentScreen()                 the game's screen in force (a ScreenId), 0 with no game
//   setTouchKeysShown(on)           the on-screen keys shown or not: the hint follows them
//   focusGame()                     gives the keys back to the game
//   gameFiles()                     the running (or just ended) game's file system
//   askGame(name, text)             what the loaded game's export name answers for text
//   askGameNumber(name)             what the loaded game's export name answers, a number
//   storageKey(name)                the name a stored value has for this copy of the game
//   storedItems()                   every stored value's name of this copy (storageKey's)
//   serverNote()                    '' or what is wrong with the copy on the server
//   pageFacts()                     the game's facts the page needs (plimoPageFacts in
//                                   web/page_exports.cpp), null until a game has loaded
//   currentPlayer(), setCurrentPlayer(name)
//                                   the child of the class playing (null none), set before
//                                   a game starts and kept until the next one starts
//   holdStart(on), startNow()       a tap or key on the start screen starts no game while
//                                   held (a class list asks who plays); startNow starts it
//   delayStart(promise)             the game starts only once promise has settled (the
//                                   words it gets are still being read)
// and on document the events 'plimo-held-key' (a key on the start screen while the start
// is held), 'plimo-ready' (a game's instance has loaded), 'plimo-started'
// (detail.arguments: the game's words), 'plimo-running' (the game has read its words),
// 'plimo-ended' and 'plimo-keyboard' (a key
// of a real keyboard aimed at the game). The moments of the start are marked for
// measuring (performance marks plimo-page once this script runs, plimo-ready,
// plimo-started with the arguments, plimo-first-frame, plimo-kept once the service worker
// has kept the build for offline play, and after a game has ended plimo-newer-build when
// the page loads again for a newer build, plimo-no-newer-build when it does not).
performance.mark('plimo-page');
const canvas = document.getElementById('screen');
const status = document.getElementById('status');
const startScreen = document.getElementById('start');
const startPrompt = document.getElementById('start-prompt');
const startStatus = document.getElementById('start-status');
// Tab skips the game's screen while the start screen covers it (any key there starts the
// game anyway); the page's buttons stay over the start screen.
canvas.tabIndex = -1;
// No byte for this long (a server gone without closing the connection): the download is
// said to have stopped, until bytes come again.
const StallMs = 6000;
const boot = window.plimoBoot; // what boot.js hands over (see there)

const argumentsByOwner = new Map([['page', ['window']]]); // any argument: a 640x480 screen, scaled by the page
let game = null; // the instance of the game made for the next or the current run
let running = false; // a game has started and not ended
let failed = false;
let touchKeysShown = false;
let firstFrameShown = false;
let audioContext = null;
let wasmModule = null; // compiled once, instantiated for every game
let startWanted = false;
let lastError = '';
let facts = null; // the game's facts for the page, once a game has loaded
let player = null; // the child of the class playing: { name, key } (class.js), null none
let startHeld = false;
let endedOnce = false; // a game has ended: the next instance is made at once
const startDelays = new Set(); // promises the start waits for

export function setGameArguments(owner, words) { argumentsByOwner.set(owner, words.slice()); }
export function gameRunning() { return running; }
export function currentScreen() { return running && game && game._plimoScreen ? game._plimoScreen() : 0; }
export function setTouchKeysShown(on) {
  touchKeysShown = on;
  hint();
}
// The files of the game being run, or of the one that has just ended (emscripten's FS of
// its instance), null between games: the progress record is kept through them.
export function gameFiles() { return game && game.FS ? game.FS : null; }
// What the loaded game's exported function name (web/page_exports.cpp) answers for text,
// as text; null while no game is loaded.
export function askGame(name, text) {
  try {
    return game && runtimeReady && game.ccall ? game.ccall(name, 'string', ['string'], [text]) : null;
  } catch (e) {
    return null; // an instance still starting, or one that has ended
  }
}
// What the loaded game's exported function name answers (a number), null while no game
// is loaded.
export function askGameNumber(name) {
  try {
    return game && runtimeReady && game.ccall ? game.ccall(name, 'number', [], []) : null;
  } catch (e) {
    return null;
  }
}
export function serverNote() { return boot.serverNote; }
export function pageFacts() { return facts; }
export function currentPlayer() { return player; }
export function setCurrentPlayer(name) { player = name; }
export function holdStart(on) { startHeld = on; }
export function startNow() { wantStart(true); }
export function delayStart(promise) {
  const settled = promise.then(() => {}, () => {});
  startDelays.add(settled);
  settled.then(() => {
    startDelays.delete(settled);
    startWhenWanted();
  });
}

// ---- stored values: each copy of the game on a site (its index.html's folder) keeps its
// own, so that two classes' copies at two paths never see each other's settings or
// records. Values kept under the names before copies had their own ("plimo-practice",
// "plimo-progress", ...) are taken over by the first copy that starts, once.
const KeySuffix = ' ' + boot.copy;
export function storageKey(name) { return name + KeySuffix; }
export function storedItems() {
  const names = [];
  try {
    for (let i = 0; i < localStorage.length; i++) {
      const key = localStorage.key(i);
      if (key.startsWith('plimo-') && key.endsWith(KeySuffix) && !key.slice(0, -KeySuffix.length).includes(' ')) names.push(key);
    }
  } catch (e) {
    // storage refused: nothing kept
  }
  return names;
}
function adoptUnkeyed() {
  try {
    const old = [];
    for (let i = 0; i < localStorage.length; i++) {
      const key = localStorage.key(i);
      if (/^plimo-(practice|progress)(-damaged-[0-9-]+)?$/.test(key)) old.push(key);
    }
    for (const key of old) {
      if (localStorage.getItem(storageKey(key)) === null) localStorage.setItem(storageKey(key), localStorage.getItem(key));
      localStorage.removeItem(key);
    }
  } catch (e) {
    // storage refused or full: the old values stay where they are
  }
}
adoptUnkeyed();

export function focusGame() {
  if (document.activeElement !== canvas) canvas.focus();
}
function tell(name, detail) { document.dispatchEvent(new CustomEvent(name, { detail })); }

// One line of status, in the bar and on the start screen; a failure stays.
function say(text, isFailure) {
  if (failed) return;
  failed = !!isFailure;
  [status, startStatus].forEach((line) => {
    line.textContent = text;
    line.classList.toggle('failed', !!isFailure);
  });
  if (isFailure) startPrompt.hidden = true;
}

// What the player can do, once the game shows; it follows the on-screen keys.
function hint() {
  if (failed || !firstFrameShown || !running) return;
  say(touchKeysShown ? 'Tap ▲ ▼ and OK to choose, digits to answer.'
                     : 'Arrows and Return choose, digits answer, Escape goes back.');
}

function fail(text) {
  say(text, true);
  clearInterval(watchdog);
}

// ---- downloads, counted in bytes as they arrive, checked against this build's hashes

const downloads = {}; // file name -> { received, total (0: not known), done }
let lastByteAt = performance.now(); // when any download last made progress
let runtimeReady = false;

function megabytes(bytes) { return (bytes / 1e6).toFixed(1); }

function showProgress() {
  if (running || failed) return;
  let received = 0;
  let total = 0;
  let stalled = '';
  const slow = performance.now() - lastByteAt > StallMs;
  for (const name in downloads) {
    const d = downloads[name];
    received += d.received;
    total = total >= 0 && d.total ? total + Math.max(d.total, d.received) : -1;
    if (!d.done && slow) stalled = stalled || name;
  }
  if (stalled) {
    // Not final: the line goes back to the count if bytes come again.
    [status, startStatus].forEach((line) => {
      line.textContent = 'The download of ' + stalled + ' has stopped. Check the network connection and reload the page.';
      line.classList.add('failed');
    });
    return;
  }
  say(runtimeReady ? 'Plimo has loaded.'
                   : 'Loading Plimo… ' + megabytes(received) + (total > 0 ? ' of ' + megabytes(total) : '') + ' MB');
}
const watchdog = setInterval(showProgress, 1000);

const unreachable = (name) => 'Could not reach the server for ' + name + '. Check the network connection and reload the page.';
const brokeOff = (name) => 'The download of ' + name + ' broke off. Check the network connection and reload the page.';
const damaged = (name) => name + ' arrived damaged. Reload the page; if this happens again, tell whoever runs this site.';
const damagedOnServer = (name, why) => 'Plimo cannot start: the copy of Plimo on this server is damaged or not completely copied (' +
  boot.folder + name + ' ' + why + '). Reload the page in a minute; if this stays, tell whoever runs this site.';
const refusedByPolicy = 'Plimo cannot run here: this server\'s Content-Security-Policy header does not allow WebAssembly. ' +
  'Whoever runs the site must let it send script-src \'self\' \'wasm-unsafe-eval\' for Plimo\'s folder.';

// A file of the build that is not there or not the build's: the build before it is tried
// (the page loads again), or, with none left, the page says the copy is damaged.
function notTheBuilds(name, why) {
  if (!boot.damaged(name, why)) fail(damagedOnServer(name, why));
}

// Whether bytes are the build's file name.
async function isTheBuilds(name, bytes) {
  return (await boot.sha256(bytes)) === boot.files[name];
}

// The whole file as bytes, its progress counted as it arrives; with unzip, a gzip file
// is decompressed on the way (unless a server has already undone the gzip), and the hash
// is checked on the file as sent. A failure is reported and leaves the promise unresolved.
function download(name, unzip, fresh = false) {
  const entry = downloads[name] = { received: 0, total: 0, done: false };
  return new Promise((resolve) => {
    // Once more from the server itself when the bytes did not match: a browser may keep a
    // half-copied file by its date.
    fetch(boot.folder + name, { cache: fresh ? 'reload' : 'default' }).then((response) => {
      if (response.status === 404) return notTheBuilds(name, 'is missing');
      if (!response.ok) {
        fail('Could not load ' + name + ': the server answered ' + response.status +
             (response.statusText ? ' ' + response.statusText : '') +
             '. Reload the page; if this happens again, tell whoever runs this site.');
        return;
      }
      entry.total = Number(response.headers.get('Content-Length')) || 0;
      const reader = response.body.getReader();
      const chunks = [];
      const pump = () => reader.read().then((part) => {
        if (part.done) return;
        chunks.push(part.value);
        entry.received += part.value.length;
        lastByteAt = performance.now();
        showProgress();
        return pump();
      });
      pump().then(async () => {
        entry.done = true;
        showProgress();
        // A body shorter than announced was cut, whether or not the browser noticed.
        if (entry.total && entry.received < entry.total && !response.headers.get('Content-Encoding')) return fail(brokeOff(name));
        let bytes = new Uint8Array(entry.received);
        for (let i = 0, at = 0; i < chunks.length; at += chunks[i].length, i++) bytes.set(chunks[i], at);
        // A server that undid the gzip on the way sent other bytes than the build's.
        const gzip = bytes[0] === 0x1f && bytes[1] === 0x8b;
        if ((gzip || !unzip) && !(await isTheBuilds(name, bytes))) {
          if (!fresh) return resolve(download(name, unzip, true));
          return notTheBuilds(name, 'does not match its hash');
        }
        if (unzip && gzip) {
          try {
            bytes = new Uint8Array(await new Response(new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'))).arrayBuffer());
          } catch (e) {
            return fail(damaged(name));
          }
        }
        resolve(bytes);
      }, () => fail(brokeOff(name)));
    }, () => fail(unreachable(name)));
  });
}

// The files of a ustar archive: [{ path, bytes }].
function untar(tar) {
  const files = [];
  const field = (header, from, length) => {
    let end = from;
    while (end < from + length && header[end] !== 0) end++;
    return String.fromCharCode.apply(null, header.subarray(from, end));
  };
  for (let at = 0; at + 512 <= tar.length && tar[at] !== 0; ) {
    const header = tar.subarray(at, at + 512);
    const size = parseInt(field(header, 124, 12), 8);
    if (!(size >= 0) || at + 512 + size > tar.length) throw new Error('cut archive');
    const prefix = field(header, 345, 155);
    const type = header[156];
    if (type === 0x30 || type === 0) {
      files.push({ path: (prefix ? prefix + '/' : '') + field(header, 0, 100),
                   bytes: tar.subarray(at + 512, at + 512 + size) });
    }
    at += 512 + Math.ceil(size / 512) * 512;
  }
  if (files.length === 0) throw new Error('empty archive');
  return files;
}

// ---- the game: one instance per run, made from the bytes downloaded once

// A fresh instance of the game, its data unpacked, ready to start (runtimeReady).
function makeGame() {
  runtimeReady = false;
  const instance = {
    canvas,
    noInitialRun: true, // main runs at the player's tap or key
    plimoAudioContext: audioContext,
    print: (text) => console.log(text),
    // The game writes to standard error only the line that ends a failed start-up and
    // notes about missing sounds; the last line is shown if the game stops.
    printErr: (text) => {
      console.warn(text);
      lastError = text;
    },
    setStatus: () => {}, // the page counts the bytes itself
    // The wasm file is fetched by the page (its bytes counted, its failure named),
    // whatever type the server gives it, and compiled once.
    instantiateWasm: (imports, receiveInstance) => {
      wasm.then((bytes) => {
        wasmModule = wasmModule || WebAssembly.compile(bytes);
        // Bytes that matched their hash fail to compile only when the server's policy forbids it.
        const refused = (e) => fail(/Content.Security.Policy|unsafe-eval/i.test(String(e && e.message)) ? refusedByPolicy : damaged('plimo.wasm'));
        return wasmModule.then((module) => WebAssembly.instantiate(module, imports)
          .then((instance) => receiveInstance(instance, module), refused), refused);
      });
      return {};
    },
    // The data is unpacked into the working directory ("/") before the runtime starts.
    preRun: [() => {
      instance.addRunDependency('plimo.data');
      data.then((files) => {
        files.forEach((file) => {
          const slash = file.path.lastIndexOf('/');
          if (slash > 0) instance.FS_createPath('/', file.path.slice(0, slash), true, true);
          instance.FS_createDataFile('/' + file.path.slice(0, slash + 1), file.path.slice(slash + 1), file.bytes, true, true, true);
        });
        instance.removeRunDependency('plimo.data');
      });
    }],
    onRuntimeInitialized: () => {
      runtimeReady = true;
      if (!facts) {
        try {
          facts = JSON.parse(askGame('plimoPageFacts', ''));
        } catch (e) {
          facts = null;
        }
      }
      if (!performance.getEntriesByName('plimo-ready').length) performance.mark('plimo-ready');
      clearInterval(watchdog);
      // The instance made after a game has ended leaves "Plimo has ended." standing.
      if (!endedOnce) showProgress();
      boot.played();
      keepForOffline();
      tell('plimo-ready');
      startWhenWanted();
    },
    onFramePresented: () => {
      if (firstFrameShown) return;
      firstFrameShown = true;
      performance.mark('plimo-first-frame');
      hint();
    },
    onExit: (code) => {
      running = false;
      if (code !== 0) return say(lastError || 'Plimo stopped (status ' + code + '). Reload the page to try again.', true);
      // Ended by the player: the start screen again, from which a new game starts.
      endedOnce = true;
      tell('plimo-ended');
      say('Plimo has ended.');
      startPrompt.textContent = 'Tap or press a key to play';
      startScreen.hidden = false;
      canvas.tabIndex = -1;
      game = null; // a new one at the player's tap
      lookForNewerBuild();
    },
    onAbort: (what) => {
      running = false;
      say('Plimo stopped: ' + (lastError || what) + '. Reload the page to try again.', true);
    }
  };
  game = instance;
  window.createPlimo(instance);
}

// A fresh instance as soon as the game's script is there.
let scriptLoaded = false;
function makeGameWhenLoaded() {
  if (scriptLoaded && !game && !failed && !reloading) makeGame();
}

const tooOld = typeof WebAssembly !== 'object' || typeof DecompressionStream !== 'function' ||
               typeof ReadableStream !== 'function';
let wasm = new Promise(() => {});
let data = wasm;
if (self.origin === 'null' && !boot.embedded) {
  // A frame sandboxed without allow-same-origin, where every download is refused: the
  // page's inline check says so (index.html).
  failed = true;
} else if (tooOld) {
  fail('This browser is too old for Plimo. Open the page in a current Chrome, Edge, Firefox or Safari.');
} else if (location.protocol === 'file:' && !boot.embedded) {
  fail('Plimo cannot start from a file: put its folder on a web server (./play-web.sh serves it) and open that address.');
} else {
  wasm = download('plimo.wasm');
  data = download('plimo.data', true).then(untar).catch(() => {
    fail(damaged('plimo.data'));
    return new Promise(() => {});
  });
  const script = document.createElement('script');
  script.src = boot.folder + 'plimo.js';
  script.integrity = 'sha256-' + btoa(boot.files['plimo.js'].replace(/../g, (h) => String.fromCharCode(parseInt(h, 16))));
  script.onerror = () => {
    // Missing, cut, or not the build's: which one, a look at it says.
    fetch(script.src, { cache: 'reload' }).then((r) => (r.status === 404 ? notTheBuilds('plimo.js', 'is missing') :
                                                         r.ok ? notTheBuilds('plimo.js', 'does not match its hash') : fail(unreachable('plimo.js'))),
                                                 () => fail('Could not load plimo.js. Check the network connection and reload the page.'));
  };
  // Its bytes are known once it is there.
  downloads['plimo.js'] = { received: 0, total: 0, done: false };
  script.onload = () => {
    const timing = performance.getEntriesByName(script.src)[0];
    const size = (timing && timing.encodedBodySize) || 0;
    downloads['plimo.js'] = { received: size, total: size, done: true };
    lastByteAt = performance.now();
    scriptLoaded = true;
    if (typeof window.createPlimo !== 'function') return fail(damaged('plimo.js'));
    makeGameWhenLoaded();
  };
  // The single-file page (plimo.html, whose files boot.embedded says are inside) holds
  // the game's script already (taken once this script has run).
  if (boot.embedded) queueMicrotask(script.onload);
  else document.head.appendChild(script);
}
// A damaged plimo.js stops with a syntax error before it can report anything itself.
window.addEventListener('error', (event) => {
  if (!runtimeReady && /\/plimo\.js(\?|$)/.test(event.filename || '')) fail(damaged('plimo.js'));
});

// ---- starting: a tap, click or key on the start screen

// Sound may start only from a gesture, and some browsers unlock it only for a context
// made and played in one: the game's audio (sdl_audio.js) takes this context over.
function unlockAudio() {
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return;
  if (!audioContext || audioContext.state === 'closed') audioContext = new Context();
  if (game) game.plimoAudioContext = audioContext;
  if (audioContext.state === 'suspended') audioContext.resume();
  const silence = audioContext.createBufferSource();
  silence.buffer = audioContext.createBuffer(1, 1, 22050);
  silence.connect(audioContext.destination);
  silence.start(0);
}

// When a game has ended, the page loads again if the server has a newer build by then, so
// that the next start plays it; a tap while the server is asked waits for the answer.
let checking = false;
let startAfterCheck = false;
let reloading = false;
function lookForNewerBuild() {
  checking = true;
  boot.newerBuild().then((newer) => {
    if (newer) {
      reloading = true;
      performance.mark('plimo-newer-build');
      say('A new version of Plimo is here; loading it…');
      location.reload();
      return;
    }
    checking = false;
    performance.mark('plimo-no-newer-build');
    // The next game's instance at once, from the bytes here: the panel can ask it (the
    // class's view, a record's grids) between games, and the next start is quicker.
    makeGameWhenLoaded();
    if (startAfterCheck) wantStart(true); // held back only before it was wanted
  });
}

function wantStart(chosen = false) {
  if (running || failed || reloading || (startHeld && !chosen)) return;
  if (checking) {
    startAfterCheck = true;
    startPrompt.textContent = 'Plimo starts as soon as it has loaded…';
    return;
  }
  startAfterCheck = false;
  unlockAudio();
  makeGameWhenLoaded();
  startWanted = true;
  startPrompt.textContent = 'Plimo starts as soon as it has loaded…';
  startWhenWanted();
}

function startWhenWanted() {
  if (!startWanted || !runtimeReady || running || failed || !game || startDelays.size) return;
  startWanted = false;
  running = true;
  firstFrameShown = false;
  startScreen.hidden = true;
  canvas.tabIndex = 0;
  const words = [...argumentsByOwner.values()].flat();
  performance.mark('plimo-started', { detail: { arguments: words } });
  say('Starting Plimo…');
  focusGame();
  tell('plimo-started', { arguments: words });
  game.callMain(words);
  if (running) tell('plimo-running');
}

startScreen.addEventListener('click', (event) => {
  if (!pageControl(event.target)) wantStart();
});

// ---- the keys: to the game, unless they are aimed at one of the page's own controls

// A page control that has the key: its own keys are its own (Enter or Space presses a
// button, Escape closes the settings panel), and Tab moves between controls.
function pageControl(target) {
  return target instanceof Element && target !== canvas && target.closest('button, input, select, a, #practice-panel');
}

const startKeys = new Set(); // keys that started the game, held: their release is not the game's
window.addEventListener('keydown', (event) => {
  if (!running) {
    if (pageControl(event.target)) return;
    // Held: the key is the page's (class.js gives the names the focus).
    if (startHeld) return tell('plimo-held-key');
    event.stopImmediatePropagation();
    const modifier = /^(Shift|Control|Alt|Meta|AltGraph|CapsLock|Tab)$/.test(event.key);
    if (!event.repeat && !modifier && !event.ctrlKey && !event.metaKey && !event.altKey) {
      startKeys.add(event.code || event.key);
      wantStart();
    }
    return;
  }
  // A held key's repeated presses reach the game, which takes one stroke per key on every
  // platform (its key filter drops a press of a key already down).
  if (!event.isTrusted || pageControl(event.target) || event.key === 'Tab') return;
  tell('plimo-keyboard');
  if (event.target === document.body || event.target === document.documentElement) focusGame();
}, true);
window.addEventListener('keyup', (event) => {
  const code = event.code || event.key;
  if (startKeys.has(code)) {
    startKeys.delete(code);
    event.stopImmediatePropagation();
  }
}, true);
// The game hears the keys on the document: a key a page control has, and Tab, which moves
// the focus between the game and the page's buttons, stop before they reach it.
for (const type of ['keydown', 'keyup', 'keypress']) {
  document.body.addEventListener(type, (event) => {
    if (pageControl(event.target) || event.key === 'Tab') event.stopPropagation();
  });
}
canvas.addEventListener('mousedown', focusGame);
window.addEventListener('keydown', (event) => { if (event.key === 'Tab') document.body.classList.add('tabbing'); }, true);
window.addEventListener('pointerdown', () => document.body.classList.remove('tabbing'), true);

// ---- full screen, where the browser has it

const fullscreen = document.getElementById('fullscreen');
const root = document.documentElement;
const enter = root.requestFullscreen || root.webkitRequestFullscreen;
if (!enter) fullscreen.hidden = true;
fullscreen.addEventListener('click', (event) => {
  if (document.fullscreenElement || document.webkitFullscreenElement) {
    (document.exitFullscreen || document.webkitExitFullscreen).call(document);
  } else {
    enter.call(root);
  }
  // A click gives the keys back to the game; a key on the focused button keeps the focus there.
  if (event.detail > 0 && running) focusGame();
});

// ---- offline: the service worker keeps the build once the game has loaded (not before,
// so that its copies come from the browser's cache, not downloaded again).

let registered = false;
function keepForOffline() {
  if (registered || !('serviceWorker' in navigator) || !window.isSecureContext) return;
  registered = true;
  navigator.serviceWorker.register('sw.js').then(() => navigator.serviceWorker.ready).then((registration) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = (event) => {
      if (event.data.kept) performance.mark('plimo-kept');
      else console.warn('Plimo is not kept for offline play yet: ' + event.data.failed);
    };
    registration.active.postMessage({ keep: boot.build }, [channel.port2]);
  }, (e) => {
    console.warn('Plimo will not work offline here: ' + e.message);
  });
}
