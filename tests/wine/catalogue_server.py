#!/usr/bin/env python3
"""A catalogue server for the target tests, on 127.0.0.1 only.

usage: catalogue_server.py <port, 0 for any free one> <folder> [port file] [request log]

Serves the files of <folder> and a few hostile answers, for a path that is
one of these or whose file name starts with "h" and one of these
(/images/h404.jpg, say):
  404, 500   error pages with a body
  empty      200 with no body
  big        200 with 2 MiB + 1 bytes, more than the index limit
  huge       200 with 5 MiB, more than the preview limit
  stall      200 with headers and 100 bytes, then silence for a minute
The chosen port is written to the port file once the server listens; each
request's path is added to the request log as it comes.
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

    def sized(self, size):
        self.body(200, b"", length=size)
        chunk = bytes(range(256)) * 64
        sent = 0
        while sent < size:
            part = chunk[: size - sent]
            self.wfile.write(part)
            sent += len(part)

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        if REQUEST_LOG:
            with open(REQUEST_LOG, "a") as log:
                log.write(path + "\n")
        name = path.rsplit("/", 1)[-1]
        kind = name if path == "/" + name else name[1:].split(".")[0] if name.startswith("h") else ""
        try:
            if kind in ("404", "500"):
                self.body(int(kind), b"<html>error page</html>")
            elif kind == "empty":
                self.body(200, b"")
            elif kind == "huge":
                self.sized(5 * 1024 * 1024)
            elif kind == "big":
                self.sized(2 * 1024 * 1024 + 1)
            elif kind == "stall":
                self.body(200, b"s" * 100, length=100000)
                time.sleep(60)
            else:
                super().do_GET()
        except (BrokenPipeError, ConnectionResetError):
            pass


REQUEST_LOG = None


def main():
    global REQUEST_LOG
    port, folder = int(sys.argv[1]), sys.argv[2]
    REQUEST_LOG = sys.argv[4] if len(sys.argv) > 4 else None
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
