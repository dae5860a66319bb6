#!/usr/bin/python3
"""Serves a folder on http://127.0.0.1:PORT/ with the types the page needs.

Usage: web/serve.py FOLDER [PORT]
"""
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'  # keep connections open: the page asks for twenty-odd files
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        '.html': 'text/html; charset=utf-8',
        '.js': 'text/javascript; charset=utf-8',
        '.css': 'text/css; charset=utf-8',
        '.txt': 'text/plain; charset=utf-8',
        '.wasm': 'application/wasm',
        '.woff2': 'font/woff2',
        '.woff': 'font/woff',
        '.png': 'image/png',
    }

    def end_headers(self):
        # A rebuilt game is picked up at once.
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.strip())
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), functools.partial(Handler, directory=folder))
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == '__main__':
    main()
