#!/usr/bin/python3
"""Serves a folder on http://localhost:PORT quietly (no line per request) until Ctrl+C:
Plimo's site, as ./play-web.sh serves it.
    web/serve.py <folder> [port, default 8000]"""
import functools
import http.server
import sys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        pass


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8000
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
