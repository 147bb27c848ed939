"""A small HTTPS server for the tests, on 127.0.0.1 only.

usage: https_server.py CERT KEY ROOT

Prints the port it listens on, then serves:
  /short     announces 1000 bytes and sends 10
  /stall     sends the header and part of the body, then waits for the client to hang up
  /flood     sends data without end
  /headerflood  sends header lines without end
  /trickle   sends the header, then one byte every 0.2 s for up to 30 s
  /redirect  a redirect to /files/Results.txt
  /nowhere   a redirect without a Location
  /plain     a redirect to an http:// address
  anything else: the file of that name under ROOT (404 when there is none)
It stops by itself after 60 seconds, whatever the tests do.
"""

import http.server
import os
import select
import ssl
import sys
import threading
import time


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        try:
            self.answer()
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass

    def answer(self):
        if self.path == "/short":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            self.close_connection = True
            return
        if self.path == "/stall":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            self.wfile.write(b"some")
            self.wfile.flush()
            # Nothing more until the client hangs up (half a minute at most), so only the
            # client's own time-out or cancel can end its wait.
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                ready, _, _ = select.select([self.connection], [], [], 0.05)
                if ready:
                    try:
                        if not self.connection.recv(1):
                            return
                    except (OSError, ssl.SSLError):
                        return
            return
        if self.path == "/trickle":
            self.send_response(200)
            self.send_header("Content-Length", "1000")
            self.end_headers()
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                self.wfile.write(b"1")
                self.wfile.flush()
                time.sleep(0.2)
            return
        if self.path == "/nowhere":
            self.send_response(302)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if self.path == "/flood":
            self.send_response(200)
            self.end_headers()
            block = b"x" * 65536
            deadline = time.monotonic() + 30
            while time.monotonic() < deadline:
                self.wfile.write(block)
            return
        if self.path == "/headerflood":
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline:
                self.wfile.write(b"X-Filler: " + b"y" * 1000 + b"\r\n")
            return
        if self.path in ("/redirect", "/plain"):
            self.send_response(302)
            target = "/files/Results.txt" if self.path == "/redirect" else \
                "http://127.0.0.1:1/files/Results.txt"
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        path = os.path.join(ROOT, self.path.lstrip("/"))
        if ".." in self.path or not os.path.isfile(path):
            self.send_response(404)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(path, "rb") as f:
            data = f.read()
        self.send_response(200)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # a client that refuses the certificate ends its handshake; that is expected


if __name__ == "__main__":
    cert, key, ROOT = sys.argv[1], sys.argv[2], sys.argv[3]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server = Server(("127.0.0.1", 0), Handler)
    server.socket = context.wrap_socket(server.socket, server_side=True,
                                        do_handshake_on_connect=False)
    threading.Timer(60, lambda: os._exit(0)).start()
    print(server.server_address[1], flush=True)
    server.serve_forever()
