// Picks the build of Plimo this page plays and adds that build's styles and scripts. The
// same for every build, beside index.html at the top of the site.
//
// Each build lives in a folder of its own, b/<hash>/, named by the start of the SHA-256
// of its build.json, which lists every file of the build with its SHA-256; current.json
// names the current build and the one before it. A build is played only when its
// build.json matches its folder's name and, later, each file its hash (page.js checks the
// game's files, the browser the styles and scripts): one whose files do not match (an
// update being copied, or a damaged upload) is passed over for the one before it, or for
// the last one this browser played here, and whoever runs the site is told, on the
// console and in the practice settings panel. Where the browser offers no hashing (plain
// HTTP on a host name) the hashes are worked out here (sha256 below).
//
// What it hands to the build's scripts, window.plimoBoot:
//   folder          the build's folder, "b/<hash>/"
//   build           its hash
//   files           { name: SHA-256 in hexadecimal } of its files
//   options         the practice options the page offers: [word, value, label]
//   copy            the folder of this copy's index.html ("/maths/plimo/"): what the
//                   page's stored values are kept under
//   serverNote      '' or what is wrong with the copy on the server
//   sha256(bytes)   a promise of the SHA-256 of bytes in hexadecimal
//   damaged(name, why)  a file of the build does not match: another build is tried (the
//                   page loads again), or, with none left, false is returned and the page
//                   says so itself
//   played()        the build has loaded in full: it is the one to fall back on here
//   newerBuild()    a promise of whether the server now names another current build,
//                   which the page may load again for
'use strict';
(function () {
  var status = document.getElementById('status');
  var startStatus = document.getElementById('start-status');
  var startPrompt = document.getElementById('start-prompt');

  // A line that stops the page: in the bar and on the start screen.
  function stop(text, link) {
    [status, startStatus].forEach(function (line) {
      line.textContent = text;
      line.className = 'failed';
      if (link) {
        var open = document.createElement('a');
        open.textContent = link;
        open.href = location.href;
        open.target = '_blank';
        line.appendChild(open);
      }
    });
    startPrompt.hidden = true;
    console.error('Plimo: ' + text);
  }

  // ---- SHA-256, for browsers that give a page no hashing outside HTTPS

  var K = [];
  (function () {
    var found = 0;
    for (var n = 2; found < 64; n++) {
      var prime = true;
      for (var d = 2; d * d <= n; d++) if (n % d === 0) prime = false;
      if (prime) K[found++] = (Math.pow(n, 1 / 3) % 1) * 4294967296 | 0;
    }
  })();
  function sha256Here(bytes) {
    var h = [0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19];
    var length = bytes.length;
    var blocks = ((length + 9 + 63) >> 6) << 6;
    var padded = new Uint8Array(blocks);
    padded.set(bytes);
    padded[length] = 0x80;
    var view = new DataView(padded.buffer);
    view.setUint32(blocks - 8, Math.floor(length / 0x20000000));
    view.setUint32(blocks - 4, (length << 3) >>> 0);
    var w = new Int32Array(64);
    for (var at = 0; at < blocks; at += 64) {
      for (var i = 0; i < 16; i++) w[i] = view.getInt32(at + 4 * i);
      for (i = 16; i < 64; i++) {
        var x = w[i - 15], y = w[i - 2];
        var s0 = ((x >>> 7) | (x << 25)) ^ ((x >>> 18) | (x << 14)) ^ (x >>> 3);
        var s1 = ((y >>> 17) | (y << 15)) ^ ((y >>> 19) | (y << 13)) ^ (y >>> 10);
        w[i] = (w[i - 16] + s0 + w[i - 7] + s1) | 0;
      }
      var a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], k = h[7];
      for (i = 0; i < 64; i++) {
        var t1 = (k + (((e >>> 6) | (e << 26)) ^ ((e >>> 11) | (e << 21)) ^ ((e >>> 25) | (e << 7))) +
                  ((e & f) ^ (~e & g)) + K[i] + w[i]) | 0;
        var t2 = ((((a >>> 2) | (a << 30)) ^ ((a >>> 13) | (a << 19)) ^ ((a >>> 22) | (a << 10))) +
                  ((a & b) ^ (a & c) ^ (b & c))) | 0;
        k = g; g = f; f = e; e = (d + t1) | 0; d = c; c = b; b = a; a = (t1 + t2) | 0;
      }
      h[0] += a; h[1] += b; h[2] += c; h[3] += d; h[4] += e; h[5] += f; h[6] += g; h[7] += k;
    }
    return h.map(function (v) { return ('0000000' + (v >>> 0).toString(16)).slice(-8); }).join('');
  }
  function sha256(bytes) {
    if (window.crypto && crypto.subtle) {
      return crypto.subtle.digest('SHA-256', bytes).then(function (sum) {
        return Array.prototype.map.call(new Uint8Array(sum), function (v) { return (v + 256).toString(16).slice(1); }).join('');
      });
    }
    return Promise.resolve(sha256Here(bytes));
  }
  function base64(hex) {
    var text = '';
    for (var i = 0; i < hex.length; i += 2) text += String.fromCharCode(parseInt(hex.substr(i, 2), 16));
    return btoa(text);
  }

  // ---- what stops the page before any build is looked for

  // A frame sandboxed without allow-same-origin refuses every download of the page.
  if (self.origin === 'null') {
    stop('Plimo cannot load in this frame: the frame must allow same-origin (sandbox="allow-scripts allow-same-origin"). ',
         'Open Plimo in its own tab');
    return;
  }
  // A server whose Content-Security-Policy header does not allow WebAssembly: the smallest
  // module there is fails to compile only then.
  if (typeof WebAssembly === 'object') {
    try {
      new WebAssembly.Module(new Uint8Array([0, 0x61, 0x73, 0x6d, 1, 0, 0, 0]));
    } catch (e) {
      stop('Plimo cannot run here: this server\'s Content-Security-Policy header does not allow WebAssembly. ' +
           'Whoever runs the site must let it send script-src \'self\' \'wasm-unsafe-eval\' for Plimo\'s folder.');
      return;
    }
  }

  // ---- the build

  var copy = location.pathname.slice(0, location.pathname.lastIndexOf('/') + 1);
  // The last build played here in full; and, for this tab, the builds found damaged and
  // the file that was, which is looked at again before the build is passed over again.
  var PlayedKey = 'plimo-build ' + copy;
  var DamagedKey = 'plimo-damaged-builds ' + copy;
  var Hash = /^[0-9a-f]{16}$/;
  function kept(storage, key) {
    try {
      return storage.getItem(key);
    } catch (e) {
      return null;
    }
  }
  function keep(storage, key, value) {
    try {
      if (value === null) storage.removeItem(key);
      else storage.setItem(key, value);
    } catch (e) {
      // a browser that keeps nothing: the page loads again with what it finds
    }
  }
  var damagedBuilds = {};
  try {
    damagedBuilds = JSON.parse(kept(sessionStorage, DamagedKey) || '{}') || {};
  } catch (e) {
    damagedBuilds = {};
  }

  function bytesOf(url, cacheMode) {
    return fetch(url, { cache: cacheMode }).then(function (response) {
      if (!response.ok) throw new Error('the server answered ' + response.status);
      return response.arrayBuffer();
    }).then(function (buffer) { return new Uint8Array(buffer); });
  }
  // Bytes whose hash is sum: fetched as the browser likes, then once more from the server
  // itself when they do not match (a browser may keep a half-copied file by its date).
  function checkedBytes(url, sum, match) {
    var tries = ['default', 'reload'];
    function next(why) {
      var mode = tries.shift();
      if (!mode) return Promise.reject(new Error(why));
      return bytesOf(url, mode).then(function (bytes) {
        return sha256(bytes).then(function (got) { return match(got, sum) ? bytes : next('does not match its hash'); });
      }, function (e) { return next(e.message); });
    }
    return next('');
  }

  function buildOf(hash) {
    var folder = 'b/' + hash + '/';
    return checkedBytes(folder + 'build.json', hash, function (got) { return got.slice(0, 16) === hash; })
      .then(function (bytes) {
        var build = JSON.parse(new TextDecoder().decode(bytes));
        if (!build || !Array.isArray(build.page) || typeof build.files !== 'object' || !Array.isArray(build.options))
          throw new Error('is no list of a build\'s files');
        var damage = damagedBuilds[hash];
        if (!damage) return build;
        // Passed over before in this tab: the file that was damaged is looked at again.
        return checkedBytes(folder + damage.file, build.files[damage.file], function (got, sum) { return got === sum; })
          .then(function () {
            delete damagedBuilds[hash];
            keep(sessionStorage, DamagedKey, JSON.stringify(damagedBuilds));
            return build;
          }, function (e) { throw new Error(damage.file + ': ' + e.message); });
      }, function (e) { throw new Error('build.json: ' + e.message); })
      .then(function (build) {
        build.hash = hash;
        return build;
      }, function (e) { throw new Error(folder + e.message); });
  }

  var current = { current: '', previous: '' };
  var notes = [];
  var candidates = [];

  function tryNext() {
    var hash = candidates.shift();
    if (hash === undefined) {
      stop('Plimo cannot start: the copy of Plimo on this server is damaged or not completely copied (' + notes.join('; ') +
           '). Reload the page in a minute; if this stays, tell whoever runs this site to copy the whole folder again.');
      return;
    }
    buildOf(hash).then(start, function (e) {
      notes.push(e.message);
      tryNext();
    });
  }

  function start(build) {
    var folder = 'b/' + build.hash + '/';
    var serverNote = '';
    if (build.hash !== current.current) {
      serverNote = 'The copy of Plimo on this server is damaged or not completely copied (' + notes.join('; ') +
                   '): this browser plays the build before it. If this stays, copy the whole folder onto the server again.';
      console.error('Plimo: ' + serverNote);
    }
    window.plimoBoot = {
      folder: folder,
      build: build.hash,
      files: build.files,
      options: build.options,
      copy: copy,
      serverNote: serverNote,
      sha256: sha256,
      damaged: function (name, why) {
        var text = 'the copy on the server is damaged: ' + folder + name + ' ' + why;
        console.error('Plimo: ' + text);
        if (!candidates.length) return false;
        damagedBuilds[build.hash] = { file: name };
        keep(sessionStorage, DamagedKey, JSON.stringify(damagedBuilds));
        location.reload();
        return true;
      },
      played: function () { keep(localStorage, PlayedKey, build.hash); },
      newerBuild: function () {
        return fetch('current.json', { cache: 'no-store' }).then(function (r) { return r.json(); }).then(function (named) {
          // Not the build this page passed over as damaged or incomplete when it loaded.
          return !!named && Hash.test(named.current) && named.current !== build.hash && named.current !== current.current;
        }, function () { return false; });
      }
    };
    // The game's downloads start at once; page.js takes them over.
    ['plimo.data', 'plimo.wasm'].forEach(function (name) {
      var early = document.createElement('link');
      early.rel = 'preload';
      early.as = 'fetch';
      early.crossOrigin = 'anonymous';
      early.href = folder + name;
      document.head.appendChild(early);
    });
    build.page.forEach(function (name) {
      var sum = build.files[name];
      var element;
      if (/\.css$/.test(name)) {
        element = document.createElement('link');
        element.rel = 'stylesheet';
        element.href = folder + name;
      } else {
        element = document.createElement('script');
        element.type = 'module';
        element.src = folder + name;
      }
      element.integrity = 'sha256-' + base64(sum);
      // Missing, or not this build's: another build is tried.
      element.onerror = function () {
        if (!window.plimoBoot.damaged(name, 'is missing or does not match its hash')) {
          stop('Plimo cannot start: the copy of Plimo on this server is damaged or not completely copied (' + folder + name +
               ' is missing or does not match its hash). Reload the page in a minute; if this stays, tell whoever runs this site.');
        }
      };
      document.head.appendChild(element);
    });
  }

  fetch('current.json', { cache: 'no-store' }).then(function (r) { return r.json(); }).then(function (named) {
    if (named && Hash.test(named.current)) current.current = named.current;
    if (named && Hash.test(named.previous)) current.previous = named.previous;
  }, function () {
    notes.push('current.json cannot be read');
  }).then(function () {
    var played = kept(localStorage, PlayedKey);
    [current.current, current.previous, Hash.test(played || '') ? played : ''].forEach(function (hash) {
      if (hash && candidates.indexOf(hash) < 0) candidates.push(hash);
    });
    tryNext();
  });
})();
