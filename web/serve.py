#!/usr/bin/python3
"""Serves a folder on http://HOST:PORT/ with the types the page needs.

Usage: web/serve.py FOLDER [PORT [HOST]]

HOST is 127.0.0.1 unless given: only this computer reaches the game. Give the
address of a network interface (or 0.0.0.0 for all of them) to try the game
on a phone on the same network.
"""
import contextlib
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'  # keep connections open: the page asks for twenty-odd files
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        '.html': 'text/html; charset=utf-8',
        '.js': 'text/javascript; charset=utf-8',
        '.txt': 'text/plain; charset=utf-8',
        '.wasm': 'application/wasm',
        '.woff2': 'font/woff2',
        '.png': 'image/png',
        '.svg': 'image/svg+xml',
        '.webmanifest': 'application/manifest+json',
    }

    def end_headers(self):
        # A rebuilt game is picked up at once.
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()


def main():
    if len(sys.argv) not in (2, 3, 4):
        sys.exit(__doc__.strip())
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) >= 3 else 8000
    host = sys.argv[3] if len(sys.argv) == 4 else '127.0.0.1'
    try:
        server = http.server.ThreadingHTTPServer((host, port), functools.partial(Handler, directory=folder))
    except OSError as e:
        sys.exit(f'web/serve.py: cannot serve on {host}:{port}: {e.strerror}')
    with server, contextlib.suppress(KeyboardInterrupt):
        server.serve_forever()


if __name__ == '__main__':
    main()
