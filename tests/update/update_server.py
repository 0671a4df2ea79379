#!/usr/bin/env python3
"""A small HTTP(S) server for the update tests.

Serves the files of --root. The first path segment can change how a file is served:
  /slow/<path>      with Content-Length, one 1024-byte block every --delay seconds
  /nolength/<path>  without Content-Length; the end of the file is the end of the connection
  /redirect/<path>  302 to /<path>
  /status/<code>/<path>  that status code, with a short body
Anything else is /<path>; a missing file is 404. The chosen port is written to --port-file.
"""
import argparse
import http.server
import os
import ssl
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_plain(self, code, body=b""):
        self.send_response(code)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def file_bytes(self, path):
        full = os.path.realpath(os.path.join(self.server.root, path.lstrip("/")))
        if not full.startswith(self.server.root + os.sep) or not os.path.isfile(full):
            return None
        with open(full, "rb") as f:
            return f.read()

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        parts = path.lstrip("/").split("/", 1)
        mode, rest = (parts[0], "/" + parts[1]) if len(parts) == 2 else ("", path)
        if mode == "redirect":
            self.send_response(302)
            self.send_header("Location", rest)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if mode == "status":
            code, _, rest = rest.lstrip("/").partition("/")
            self.send_plain(int(code), b"not for you")
            return
        if mode not in ("slow", "nolength"):
            rest = path
        data = self.file_bytes(rest)
        if data is None:
            self.send_plain(404, b"no such file")
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        if mode == "nolength":
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        try:
            if mode == "slow":
                for start in range(0, len(data), 1024):
                    self.wfile.write(data[start:start + 1024])
                    self.wfile.flush()
                    time.sleep(self.server.delay)
            else:
                self.wfile.write(data)
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--delay", type=float, default=0.05)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    server.daemon_threads = True
    server.root = os.path.realpath(args.root)
    server.delay = args.delay
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(args.port_file + ".tmp", args.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
