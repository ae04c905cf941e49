#!/usr/bin/python3
"""HTTP server for the download tests: serves one folder on 127.0.0.1.

With --user/--password every request needs Basic authentication. Paths below
/slow/ send a large body a few bytes at a time (for cancel tests); /drip/N/name
sends a body of 2 MB at N bytes a second; /status/CODE answers with that code;
/redirect/N/name redirects N times, then serves name; /loop/name redirects to
itself for ever.
Prints the port it listens on as the first line of standard output, then runs
until standard input closes (the test ended or died) or the time limit passes.
"""
import argparse
import base64
import functools
import http.server
import os
import time

from lifetime import announce_port, stop_when_parent_goes


class Handler(http.server.SimpleHTTPRequestHandler):
    credentials = None

    def log_message(self, format, *args):
        pass

    def authorized(self):
        if self.credentials is None:
            return True
        expected = "Basic " + base64.b64encode(self.credentials.encode()).decode()
        if self.headers.get("Authorization") == expected:
            return True
        self.send_response(401)
        self.send_header("WWW-Authenticate", 'Basic realm="logs"')
        self.send_header("Content-Length", "0")
        self.end_headers()
        return False

    def do_GET(self):
        if not self.authorized():
            return
        if self.path.startswith("/slow/"):
            self.send_slowly()
            return
        parts = self.path.split("/")
        if self.path.startswith("/drip/") and len(parts) >= 4:
            self.drip(int(parts[2]))
            return
        if self.path.startswith("/status/") and len(parts) >= 3:
            self.send_error(int(parts[2]))
            return
        if self.path.startswith("/redirect/") and len(parts) >= 4:
            left = int(parts[2])
            rest = "/".join(parts[3:])
            self.redirect("/redirect/%d/%s" % (left - 1, rest) if left > 1 else "/" + rest)
            return
        if self.path.startswith("/loop/"):
            self.redirect(self.path)
            return
        super().do_GET()

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def drip(self, rate):
        total = 2 * 1024 * 1024
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(total))
        self.end_headers()
        line = b'127.0.0.1 - - [01/Jan/2024:00:00:00 +0000] "GET / HTTP/1.0" 200 1\n'
        chunk = max(1, rate // 10)
        sent = 0
        try:
            while sent < total:
                piece = (line * (chunk // len(line) + 1))[:min(chunk, total - sent)]
                self.wfile.write(piece)
                self.wfile.flush()
                sent += len(piece)
                time.sleep(0.1)
        except OSError:
            pass

    def send_slowly(self):
        total = 10 * 1024 * 1024
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(total))
        self.end_headers()
        try:
            for _ in range(600):
                self.wfile.write(b"x" * 64)
                self.wfile.flush()
                time.sleep(0.05)
        except OSError:
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--time-limit", type=float, default=120.0)
    args = parser.parse_args()

    if args.user is not None or args.password is not None:
        Handler.credentials = "%s:%s" % (args.user or "", args.password or "")
    handler = functools.partial(Handler, directory=os.path.abspath(args.root))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    stop_when_parent_goes(args.time_limit)
    announce_port(server.server_address[1])
    server.serve_forever(poll_interval=0.2)


if __name__ == "__main__":
    main()
