#!/usr/bin/env python3
"""A catalogue server for the target tests, on 127.0.0.1 only.

usage: catalogue_server.py <port, 0 for any free one> <folder> [port file] [request log]

Serves the files of <folder> and hostile answers, for a path that is one of
these or whose file name starts with "h" and one of these (/images/h404.jpg,
say):
  404, 500     error pages with a body
  s204, s206, s299
               that status with a picture's body and its length
  redirect     302 to the same path, again and again
  empty        200 with no body
  big          200 with 2 MiB + 1 bytes, more than the index limit
  huge         200 with 5 MiB, more than the preview limit
  stall        200 with headers and 100 bytes, then silence for a minute
  short        Content-Length 100000, 5000 bytes, then the connection closes
  chunkcut     a chunked body whose last chunk never comes: the connection closes
  chunkhuge    a chunk size of ffffffffffffffff, 5000 bytes, then a close
  nolength     a body without Content-Length, ended by a close
  tricklehead  a header line every half second, for six seconds, then a close
  trickle      Content-Length 100000, then a byte every half second
  cookie       200 with a picture's body and a cookie that lasts for years
The chosen port is written to the port file once the server listens; each
request's path is added to the request log as it comes, followed by a line
"cookie: <value>" when the request carried a cookie.
"""
import functools
import http.server
import os
import sys
import time

PICTURE = bytes(range(256)) * 20


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def body(self, status, data, length=None, headers=()):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(data) if length is None else length))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)
        self.wfile.flush()

    def raw(self, data, then_sleep=0.0):
        """Bytes as they stand on the connection, which then closes."""
        self.close_connection = True
        self.wfile.write(data)
        self.wfile.flush()
        time.sleep(then_sleep)

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
                if self.headers.get("Cookie"):
                    log.write("cookie: " + self.headers.get("Cookie") + "\n")
        name = path.rsplit("/", 1)[-1]
        kind = name if path == "/" + name else name[1:].split(".")[0] if name.startswith("h") else ""
        head = b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
        try:
            if kind in ("404", "500"):
                self.body(int(kind), b"<html>error page</html>")
            elif kind in ("s204", "s206", "s299"):
                self.body(int(kind[1:]), PICTURE)
            elif kind == "redirect":
                self.body(302, b"", headers=[("Location", path)])
            elif kind == "empty":
                self.body(200, b"")
            elif kind == "huge":
                self.sized(5 * 1024 * 1024)
            elif kind == "big":
                self.sized(2 * 1024 * 1024 + 1)
            elif kind == "stall":
                self.body(200, b"s" * 100, length=100000)
                time.sleep(60)
            elif kind == "short":
                self.raw(head + b"Content-Length: 100000\r\n\r\n" + PICTURE[:5000], 0.2)
            elif kind == "chunkcut":
                self.raw(head + b"Transfer-Encoding: chunked\r\n\r\n1388\r\n" + PICTURE[:5000] + b"\r\n", 0.2)
            elif kind == "chunkhuge":
                self.raw(head + b"Transfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\n" + PICTURE[:5000], 0.2)
            elif kind == "nolength":
                self.raw(head + b"Connection: close\r\n\r\n" + PICTURE, 0.2)
            elif kind == "tricklehead":
                self.close_connection = True
                self.wfile.write(b"HTTP/1.1 200 OK\r\n")
                for n in range(12):
                    time.sleep(0.5)
                    self.wfile.write(b"X-Slow-%d: 1\r\n" % n)
                    self.wfile.flush()
            elif kind == "trickle":
                self.close_connection = True
                self.wfile.write(head + b"Content-Length: 100000\r\n\r\n")
                for _ in range(120):
                    time.sleep(0.5)
                    self.wfile.write(b"t")
                    self.wfile.flush()
            elif kind == "cookie":
                expires = time.strftime("%a, %d %b %Y %H:%M:%S GMT", time.gmtime(time.time() + 5 * 365 * 86400))
                self.body(200, PICTURE, headers=[("Set-Cookie", "track=42; Expires=%s; Path=/" % expires)])
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
