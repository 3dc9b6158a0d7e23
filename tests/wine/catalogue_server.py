#!/usr/bin/env python3
"""A catalogue server for the target tests, on 127.0.0.1 only.

usage: catalogue_server.py <port, 0 for any free one> <folder> [port file]

Serves the files of <folder> and a few hostile answers:
  /404, /500   error pages with a body
  /empty       200 with no body
  /big         200 with 2 MiB + 1 bytes, more than the index limit
  /stall       200 with headers and 100 bytes, then silence for a minute
The chosen port is written to the port file once the server listens.
"""
import functools
import http.server
import os
import sys
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def body(self, status, data, length=None):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(data) if length is None else length))
        self.end_headers()
        self.wfile.write(data)
        self.wfile.flush()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        try:
            if path in ("/404", "/500"):
                self.body(int(path[1:]), b"<html>error page</html>")
            elif path == "/empty":
                self.body(200, b"")
            elif path == "/big":
                size = 2 * 1024 * 1024 + 1
                self.body(200, b"", length=size)
                chunk = bytes(range(256)) * 64
                sent = 0
                while sent < size:
                    part = chunk[: size - sent]
                    self.wfile.write(part)
                    sent += len(part)
            elif path == "/stall":
                self.body(200, b"s" * 100, length=100000)
                time.sleep(60)
            else:
                super().do_GET()
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    port, folder = int(sys.argv[1]), sys.argv[2]
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    server.daemon_threads = True
    if len(sys.argv) > 3:
        with open(sys.argv[3] + ".tmp", "w") as f:
            f.write(str(server.server_address[1]))
        # Renamed into place, so that a reader never sees half a number.
        os.replace(sys.argv[3] + ".tmp", sys.argv[3])
    server.serve_forever()


if __name__ == "__main__":
    main()
