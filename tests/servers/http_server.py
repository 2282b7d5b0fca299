#!/usr/bin/python3
"""HTTP server for the update-check tests: fixed version files, loopback only.

Usage: http_server.py ADDRESS PORT
"""
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# A version file read in more than one 2048-byte piece.
FAR_MARKER = b"x" * 3000 + b"Version-1.4\n"
# A marker only past the 64 KiB that a version check reads.
BEYOND_LIMIT = b"x" * (70 * 1024) + b"Version-9\n"

FILES = {
    "/newer.version": (200, b"Vemlix\r\nVersion-1.4\r\nReleased today\r\n"),
    "/major.version": (200, b"Version-2.0"),
    "/older.version": (200, b"Version-1.2\r\n"),
    "/same.version": (200, b"Version-1.3"),
    "/no-marker.version": (200, b"Vemlix 1.4\r\n"),
    "/two-markers.version": (200, b"Version-1.2\r\nVersion-2.0\r\n"),
    "/far-marker.version": (200, FAR_MARKER),
    "/beyond-limit.version": (200, BEYOND_LIMIT),
    "/empty.version": (200, b""),
}
ERROR_PAGE = b"<html><body><h1>404 Not Found</h1></body></html>"


class Handler(BaseHTTPRequestHandler):
    def do_GET(self):
        status, body = FILES.get(self.path, (404, ERROR_PAGE))
        self.send_response(status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), format % args))


def main():
    address, port = sys.argv[1], int(sys.argv[2])
    ThreadingHTTPServer((address, port), Handler).serve_forever()


if __name__ == "__main__":
    main()
