#!/usr/bin/python3
"""Serves a folder on http://localhost:PORT quietly (no line per request) until Ctrl+C:
Plimo's site, as ./play-web.sh serves it. Each --header line is sent with every answer,
as a school's server may send one (a Content-Security-Policy, say), to try the site
under it.
    web/serve.py <folder> [port, default 8000] [--header "Name: value"]..."""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extra_headers = []

    def log_message(self, format, *args):
        pass

    def end_headers(self):
        for name, value in self.extra_headers:
            self.send_header(name, value)
        super().end_headers()


def main():
    words = sys.argv[1:]
    headers = []
    while "--header" in words:
        at = words.index("--header")
        line = words[at + 1] if at + 1 < len(words) else ""
        name, colon, value = line.partition(":")
        if not colon or not name.strip():
            sys.exit(f'serve.py: --header wants "Name: value", not "{line}"')
        headers.append((name.strip(), value.strip()))
        del words[at:at + 2]
    if not words:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    folder = words[0]
    port = int(words[1]) if len(words) > 1 else 8000
    QuietHandler.extra_headers = headers
    handler = functools.partial(QuietHandler, directory=folder)
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    except OSError as e:
        sys.exit(f"Cannot serve on port {port}: {e.strerror}. Choose another one, e.g. PORT=8080 ./play-web.sh")
    print(f"Plimo is at http://localhost:{port}/ (Ctrl+C stops the server)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        print()


if __name__ == "__main__":
    main()
