#!/usr/bin/env python3
"""Writes plimo.html, the whole game in one page that plays from a file (a double-click, a
USB stick, a shared folder) with no server: the current build of a site (current.json,
b/<hash>/) with its game (plimo.wasm), its data (plimo.data) and its icons inside as
base64, its styles, the game's script and the page's scripts inside as text. The page's
modules become one script (each module a function of its own, its exports handed to the
modules that import them). Fails, naming the culprit, on a site it cannot read, a module
form it does not know, or a page larger than the limit.
  web/single_page.py <site folder> <index.html template> <output> [max bytes]
"""
import base64
import json
import os
import re
import sys

MAX_BYTES_DEFAULT = 6 * 1000 * 1000


class Refused(Exception):
    pass


def read(path, mode="r"):
    try:
        with open(path, mode) as f:
            return f.read()
    except OSError as e:
        raise Refused(f"{path}: cannot read: {e.strerror}")


def script_text(text):
    # Text inside <script> ends at the first "</script": the scripts' own are escaped.
    return re.sub(r"</(script)", r"<\\/\1", text, flags=re.IGNORECASE)


IMPORT = re.compile(r"^import\s*\{([^}]*)\}\s*from\s*'\./([A-Za-z0-9_.-]+)';[ \t]*$", re.MULTILINE)
EXPORT = re.compile(r"^export\s+((?:async\s+)?function\*?|const|let|var|class)\s+([A-Za-z_$][A-Za-z0-9_$]*)", re.MULTILINE)


def module_parts(name, text):
    """The module's imports [(names text, module)], its exports and its body as a script."""
    imports = [(m.group(1), m.group(2)) for m in IMPORT.finditer(text)]
    body = IMPORT.sub("", text)
    exports = [m.group(2) for m in EXPORT.finditer(body)]
    body = EXPORT.sub(lambda m: f"{m.group(1)} {m.group(2)}", body)
    for number, line in enumerate(body.split("\n"), 1):
        if re.match(r"\s*(import|export)\b", line) or "import.meta" in line or re.search(r"\bimport\(", line):
            raise Refused(f"{name}:{number}: a module form the single page cannot carry: {line.strip()}")
    return imports, exports, body


def bundle(folder, scripts):
    """One script for the page's modules, run in the order their imports need."""
    modules = {}
    for name in scripts:
        modules[name] = module_parts(name, read(os.path.join(folder, name)))
    done, order = set(), []

    def visit(name, path):
        if name in done:
            return
        if name in path:
            raise Refused(f"{name}: modules that import each other in a circle")
        if name not in modules:
            raise Refused(f"{path[-1]}: imports {name}, which is not among the build's scripts")
        for _, needed in modules[name][0]:
            visit(needed, path + [name])
        done.add(name)
        order.append(name)

    for name in scripts:
        visit(name, [])
    parts = ["const plimoModules = {};"]
    for name in order:
        imports, exports, body = modules[name]
        head = "".join(f"const {{{names.replace(' as ', ': ')}}} = plimoModules['{source}'];\n"
                       for names, source in imports)
        parts.append(f"// ---- {name}\nplimoModules['{name}'] = (function () {{\n{head}{body}\n"
                     f"return {{ {', '.join(exports)} }};\n}})();")
    return "\n".join(parts)


def data_url(path, kind):
    return f"data:{kind};base64," + base64.b64encode(read(path, "rb")).decode("ascii")


# What the page's scripts get from the boot of a served site (web/boot.js), for a page that
# carries its files: no server to ask, no other build to fall back on, no newer one.
BOOT = r"""'use strict';
(function () {
  var embedded = %(embedded)s;
  var files = %(files)s;
  var bytes = {};
  Object.keys(embedded).forEach(function (name) {
    var text = atob(embedded[name]);
    var b = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) b[i] = text.charCodeAt(i);
    bytes[name] = b;
    delete embedded[name];
  });
  // The page's downloads are answered from the bytes inside; anything else goes on as asked.
  var fetchOnline = window.fetch;
  window.fetch = function (what, options) {
    if (typeof what === 'string' && Object.prototype.hasOwnProperty.call(bytes, what)) {
      return Promise.resolve(new Response(bytes[what], { status: 200, headers: { 'Content-Length': String(bytes[what].length) } }));
    }
    return fetchOnline.apply(window, arguments);
  };
  var hashing = window.crypto && crypto.subtle;
  window.plimoBoot = {
    embedded: true,
    folder: '',
    build: %(build)s,
    // Where the browser offers no hashing (some give a file's page none), the bytes inside
    // are taken as they are.
    files: hashing ? files : Object.keys(files).reduce(function (all, name) { all[name] = 'unchecked'; return all; }, {}),
    options: %(options)s,
    copy: location.pathname.slice(0, location.pathname.lastIndexOf('/') + 1),
    serverNote: '',
    sha256: function (b) {
      if (!hashing) return Promise.resolve('unchecked');
      return crypto.subtle.digest('SHA-256', b).then(function (sum) {
        return Array.prototype.map.call(new Uint8Array(sum), function (v) { return (v + 256).toString(16).slice(1); }).join('');
      });
    },
    damaged: function (name, why) {
      console.error('Plimo: this page is damaged: ' + name + ' ' + why);
      return false;
    },
    played: function () {},
    newerBuild: function () { return Promise.resolve(false); }
  };
  // A browser that keeps nothing for a page opened from a file: said on the start screen.
  var keeps = true;
  try {
    localStorage.setItem('plimo-file-probe', '1');
    localStorage.removeItem('plimo-file-probe');
  } catch (e) {
    keeps = false;
  }
  document.addEventListener('DOMContentLoaded', function () {
    var note = document.getElementById('file-note');
    if (note && !keeps) note.hidden = false;
  });
})();
"""

FILE_NOTE = ('<p id="file-note" hidden>This browser keeps nothing for a page opened from a file: the practice '
             'settings and the progress record last only while this page is open.</p>')


def replace_once(text, pattern, replacement, what):
    result, count = re.subn(pattern, lambda m: replacement, text, count=1, flags=re.DOTALL)
    if count != 1:
        raise Refused(f"index.html: {what} not found, which the single page replaces")
    return result


def single_page(site, template_path, max_bytes):
    current = read(os.path.join(site, "current.json"))
    try:
        build = json.loads(current)["current"]
    except (ValueError, KeyError, TypeError):
        raise Refused(f"{site}/current.json: names no current build")
    folder = os.path.join(site, "b", build)
    try:
        manifest = json.loads(read(os.path.join(folder, "build.json")))
        page, files, options = manifest["page"], manifest["files"], manifest["options"]
    except (ValueError, KeyError, TypeError):
        raise Refused(f"{folder}/build.json: not a build's list of files")
    for name in ("plimo.js", "plimo.wasm", "plimo.data"):
        if name not in files:
            raise Refused(f"{folder}/build.json: lists no {name}")

    styles = "\n".join(f"<style>\n/* {n} */\n{read(os.path.join(folder, n))}</style>"
                       for n in page if n.endswith(".css"))
    embedded = {n: base64.b64encode(read(os.path.join(folder, n), "rb")).decode("ascii")
                for n in ("plimo.wasm", "plimo.data")}
    boot = BOOT % {"embedded": json.dumps(embedded), "files": json.dumps(files), "build": json.dumps(build),
                   "options": json.dumps(options)}
    scripts = (f"<script>\n{script_text(boot)}</script>\n"
               f"<script>\n{script_text(read(os.path.join(folder, 'plimo.js')))}\n</script>")
    modules = f'<script type="module">\n{script_text(bundle(folder, [n for n in page if n.endswith(".js")]))}\n</script>'

    html = read(template_path)
    icons = os.path.join(site, "icons")
    html = replace_once(html, r'<meta http-equiv="Content-Security-Policy"[^>]*>\s*',
                        "<!-- One file with everything inside: its scripts are its own. -->\n", "the policy line")
    html = replace_once(html, r'<link rel="manifest"[^>]*>\s*', "", "the manifest link")
    html = replace_once(html, r'href="icons/plimo-32.png"', f'href="{data_url(os.path.join(icons, "plimo-32.png"), "image/png")}"',
                        "the page's icon")
    html = replace_once(html, r'<link rel="apple-touch-icon"[^>]*>\s*', "", "the touch icon")
    html = replace_once(html, r'src="icons/plimo-128.png"', f'src="{data_url(os.path.join(icons, "plimo-128.png"), "image/png")}"',
                        "the start screen's icon")
    html = replace_once(html, r'<script src="boot.js"[^>]*></script>', f"{styles}\n{scripts}", "the boot script")
    html = html.replace("</body>", f"{modules}\n</body>", 1)
    # The note on keeping, under the start screen's status line.
    html, count = re.subn(r'<p id="start-status">.*?</p>', lambda m: m.group(0) + "\n  " + FILE_NOTE, html, count=1,
                          flags=re.DOTALL)
    if count != 1:
        raise Refused("index.html: the start screen's status line not found, under which the single page says what it keeps")
    data = html.encode("utf-8")
    if len(data) > max_bytes:
        raise Refused(f"plimo.html would be {len(data)} bytes, more than the {max_bytes} a single page may have")
    return data


def main(argv):
    if len(argv) not in (4, 5):
        print("usage: single_page.py <site folder> <index.html template> <output> [max bytes]", file=sys.stderr)
        return 2
    site, template, out = argv[1:4]
    max_bytes = int(argv[4]) if len(argv) == 5 else MAX_BYTES_DEFAULT
    try:
        data = single_page(site, template, max_bytes)
    except Refused as e:
        print(f"single_page.py: {e}", file=sys.stderr)
        return 1
    part = out + ".part"
    with open(part, "wb") as f:
        f.write(data)
    os.replace(part, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
