#!/usr/bin/env python3
"""Fixture HTTP server that imitates the outside web services for the tests.

It listens on 127.0.0.1 at a free port, writes that port to the file named by --port-file
once it accepts connections, and serves until it is stopped (SIGTERM or SIGINT), until the
process given by --owner-pid has gone, or until --lifetime seconds have passed. Python 3
standard library only. tools/fixture-server.sh starts and stops it for the tests.

    fixture_server.py --data DIR --port-file FILE [--pid-file FILE] [--owner-pid PID]
                      [--lifetime SECONDS]

Files
    Every request path is looked up as a file under the data folder (URL-decoded, no "..").
    A file FILE.headers beside it holds extra reply header lines ("Name: value"), for example
    the Set-Cookie of the portal start page. Content-Type follows the file extension
    (text/html for files without one). A path with no file answers 404.

Behaviours, chosen by query parameters of any request (they combine):
    status=CODE        answer CODE (with the file's body, or a short text)
    once=CODE          the first request with this exact path and query answers CODE (401,
                       403, 400, ...); later ones are answered normally
    redirect=CODE      answer CODE (301, 302, 303) with "Location: <to>" (no Location line
                       without to=URL); lower=1 writes the header name as "location";
                       decoy=1 puts a "Content-Location: /decoy" line before it
    delay=MS           wait before the reply
    slow=MS, chunk=N   send the body N bytes (default 100) at a time, MS apart
    size=N             a generated body of N printable bytes instead of a file
    chunked=1          send the body with Transfer-Encoding: chunked
    header=NAME:VALUE  an extra reply header (repeatable)
    omit=NAME          leave out a header of the .headers file (e.g. omit=Set-Cookie)
    fault=reset        reset the connection instead of answering
    fault=reset-body   send the headers and half of the body, then reset
    fault=truncate     announce the whole body length, send half of it, close the connection
    fault=empty        answer 200 with an empty body

The OPS service lives under /ops:
    POST /ops/3.1/auth/accesstoken   the token endpoint. It wants "Authorization: Basic X"
        with X the text of DATA/ops/credentials, the Content-Type
        application/x-www-form-urlencoded and the body grant_type=client_credentials; then it
        issues a new token "tok<N>" in a JSON reply of the service's shape (key and value in
        double quotes, blank colon blank between them). Wrong credentials: 401, a wrong
        request: 400, error=NAME in the query: 400; all three with an error JSON body that
        has no access_token.
    /ops/3.1/rest-services/...       want "Authorization: Bearer T" with a token that this
        server issued and that has not expired; otherwise 400 with the service's fault XML.
        Then the path is served like any other.

Control paths (never logged):
    GET /_log       every logged request since the last reset, each as
                    "#SEQ METHOD PATH BODYLENGTH\\n", the header lines as received, an empty
                    line, the body bytes and "\\n"
    GET /_reset     forget the log, the once= counts and the plans (issued tokens stay)
    GET /_plan?path=P&as=Q[&count=N]
                    the next N (default 1) requests for path P behave as if Q (a query text)
                    were added to their query
    GET /_expire    every token issued so far has expired
"""

import argparse
import mimetypes
import os
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

OPS_ROOT = "/ops"
TOKEN_PATH = OPS_ROOT + "/3.1/auth/accesstoken"
REST_PREFIX = OPS_ROOT + "/3.1/rest-services/"

REASONS = {200: "OK", 301: "Moved Permanently", 302: "Found", 303: "See Other",
           400: "Bad Request", 401: "Unauthorized", 403: "Forbidden", 404: "Not Found",
           500: "Internal Server Error"}


class State:
    """What the server remembers between requests; one lock guards all of it."""

    def __init__(self, data):
        self.data = os.path.abspath(data)
        self.lock = threading.Lock()
        self.log = []
        self.seq = 0
        self.once_seen = set()
        self.plans = {}          # path -> list of query texts, one per planned request
        self.tokens = {}         # token -> expired?
        self.token_count = 0

    def reset(self):
        with self.lock:
            self.log = []
            self.once_seen = set()
            self.plans = {}

    def record(self, method, target, headers, body):
        with self.lock:
            self.seq += 1
            self.log.append((self.seq, method, target, headers, body))

    def log_text(self):
        with self.lock:
            out = bytearray()
            for seq, method, target, headers, body in self.log:
                out += ("#%d %s %s %d\n" % (seq, method, target, len(body))).encode("latin-1")
                for name, value in headers:
                    out += ("%s: %s\n" % (name, value)).encode("latin-1")
                out += b"\n" + body + b"\n"
            return bytes(out)

    def take_plan(self, path):
        with self.lock:
            queue = self.plans.get(path)
            if not queue:
                return ""
            return queue.pop(0)

    def first_time(self, key):
        with self.lock:
            if key in self.once_seen:
                return False
            self.once_seen.add(key)
            return True

    def issue_token(self):
        with self.lock:
            self.token_count += 1
            token = "tok%d" % self.token_count
            self.tokens[token] = False
            return token

    def token_valid(self, token):
        with self.lock:
            return self.tokens.get(token) is False


def generated_body(size):
    pattern = b"abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"
    return (pattern * (size // len(pattern) + 1))[:size]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "FixtureServer/1.0"

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (time.strftime("%H:%M:%S"), fmt % args))

    # ------------------------------------------------------------------ dispatch
    def do_GET(self):
        self.handle_request()

    def do_POST(self):
        self.handle_request()

    def do_HEAD(self):
        self.handle_request()

    def handle_request(self):
        state = self.server.state
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length > 0 else b""
        url = urllib.parse.urlsplit(self.path)
        path = url.path
        if path.startswith("/_"):
            return self.control(path, urllib.parse.parse_qs(url.query))
        state.record(self.command, self.path, list(self.headers.items()), body)

        query = url.query
        plan = state.take_plan(path)
        if plan:
            query = query + "&" + plan if query else plan
        q = urllib.parse.parse_qs(query, keep_blank_values=True)
        one = lambda name, default=None: q[name][0] if name in q else default

        if one("delay"):
            time.sleep(int(one("delay")) / 1000.0)
        fault = one("fault")
        if fault == "reset":
            return self.reset_connection()

        extra = []
        status = 200
        if one("once") and state.first_time(self.command + " " + self.path):
            status = int(one("once"))
        elif one("status"):
            status = int(one("status"))

        if path == TOKEN_PATH:
            status, content, ctype = self.token_reply(body, one("error"))
        elif path.startswith(REST_PREFIX) and not self.bearer_ok():
            status, ctype = 400, "application/xml"
            content = (b'<?xml version="1.0" encoding="UTF-8"?>\n'
                       b'<fault xmlns="http://ops.epo.org">\n'
                       b'    <code>CLIENT.InvalidAccessToken</code>\n'
                       b'    <message>invalid_access_token</message>\n'
                       b'</fault>\n')
        elif one("redirect"):
            status, ctype = int(one("redirect")), "text/html"
            content = b"<html><body>Moved</body></html>\n"
            if one("decoy"):
                extra.append(("Content-Location", "/decoy"))
            if one("to") is not None:
                extra.append(("location" if one("lower") else "Location", one("to")))
        elif one("size"):
            content, ctype = generated_body(int(one("size"))), "text/plain"
        else:
            content, ctype, file_headers = self.file_reply(path)
            if content is None:
                status = 404 if status == 200 else status
                content = ("Not Found: %s\n" % path).encode("latin-1")
            omit = [name.lower() for name in q.get("omit", [])]
            extra += [h for h in file_headers if h[0].lower() not in omit]

        for item in q.get("header", []):
            name, _, value = item.partition(":")
            extra.append((name.strip(), value.strip()))
        if fault == "empty":
            content = b""

        self.send_response(status, REASONS.get(status))
        self.send_header("Content-Type", ctype)
        for name, value in extra:
            self.send_header(name, value)
        chunked = bool(one("chunked"))
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        else:
            self.send_header("Content-Length", str(len(content)))
        if fault in ("truncate", "reset-body"):
            self.send_header("Connection", "close")
        self.end_headers()
        if self.command == "HEAD":
            return
        if fault in ("truncate", "reset-body"):
            self.wfile.write(content[: len(content) // 2])
            self.wfile.flush()
            if fault == "reset-body":
                return self.reset_connection()
            self.close_connection = True
            return
        self.send_body(content, chunked, int(one("slow", 0)), int(one("chunk", 100)))

    def send_body(self, content, chunked, pause_ms, piece):
        if not pause_ms:
            piece = max(len(content), 1)
        for start in range(0, len(content), piece):
            part = content[start:start + piece]
            if chunked:
                self.wfile.write(b"%x\r\n" % len(part) + part + b"\r\n")
            else:
                self.wfile.write(part)
            self.wfile.flush()
            if pause_ms:
                time.sleep(pause_ms / 1000.0)
        if chunked:
            self.wfile.write(b"0\r\n\r\n")

    def reset_connection(self):
        # A zero linger time makes close() send RST instead of FIN.
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
        self.connection.close()

    # ------------------------------------------------------------------ replies
    def file_reply(self, path):
        root = self.server.state.data
        local = os.path.normpath(os.path.join(root, urllib.parse.unquote(path).lstrip("/")))
        if not local.startswith(root + os.sep) or not os.path.isfile(local):
            return None, "text/html", []
        with open(local, "rb") as f:
            content = f.read()
        headers = []
        if os.path.isfile(local + ".headers"):
            with open(local + ".headers", encoding="latin-1") as f:
                for line in f:
                    name, sep, value = line.rstrip("\r\n").partition(":")
                    if sep:
                        headers.append((name.strip(), value.strip()))
        ctype = mimetypes.guess_type(local)[0] or "text/html"
        return content, ctype, headers

    def token_reply(self, body, error):
        state = self.server.state
        expected = ""
        cred_file = os.path.join(state.data, "ops", "credentials")
        if os.path.isfile(cred_file):
            with open(cred_file, encoding="latin-1") as f:
                expected = f.read().strip()
        auth = self.headers.get("Authorization", "")
        if self.command != "POST" or auth != "Basic " + expected:
            error, status = error or "invalid_client", 401
        elif (self.headers.get("Content-Type") != "application/x-www-form-urlencoded"
              or body != b"grant_type=client_credentials"):
            error, status = error or "invalid_request", 400
        else:
            status = 400 if error else 200
        if error:
            text = ('{\n  "error_description" : "The request was refused.",\n'
                    '  "error" : "%s"\n}\n' % error)
            return status, text.encode("latin-1"), "application/json"
        token = state.issue_token()
        text = ('{\n'
                '  "refresh_token_expires_in" : "0",\n'
                '  "api_product_list" : "[ops-prod]",\n'
                '  "organization_name" : "fixture",\n'
                '  "token_type" : "BearerToken",\n'
                '  "issued_at" : "%d",\n'
                '  "client_id" : "fixture-client",\n'
                '  "access_token" : "%s",\n'
                '  "application_name" : "fixture-app",\n'
                '  "scope" : "core",\n'
                '  "expires_in" : "1199",\n'
                '  "refresh_count" : "0",\n'
                '  "status" : "approved"\n'
                '}\n' % (int(time.time() * 1000), token))
        return 200, text.encode("latin-1"), "application/json"

    def bearer_ok(self):
        auth = self.headers.get("Authorization", "")
        return auth.startswith("Bearer ") and self.server.state.token_valid(auth[7:])

    # ------------------------------------------------------------------ control
    def control(self, path, q):
        state = self.server.state
        if path == "/_log":
            content = state.log_text()
        elif path == "/_reset":
            state.reset()
            content = b"reset\n"
        elif path == "/_plan":
            target = q.get("path", [""])[0]
            count = int(q.get("count", ["1"])[0])
            with state.lock:
                state.plans.setdefault(target, []).extend([q.get("as", [""])[0]] * count)
            content = b"planned\n"
        elif path == "/_expire":
            with state.lock:
                for token in state.tokens:
                    state.tokens[token] = True
            content = b"expired\n"
        else:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(content)))
        self.end_headers()
        self.wfile.write(content)

    def handle(self):
        # A client that goes away in the middle of a reply is part of the game here.
        try:
            super().handle()
        except (ConnectionError, BrokenPipeError, OSError, ValueError):
            pass


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        if not isinstance(sys.exc_info()[1], (ConnectionError, OSError, ValueError)):
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--pid-file")
    parser.add_argument("--owner-pid", type=int, default=0)
    parser.add_argument("--lifetime", type=float, default=3600.0)
    args = parser.parse_args()

    server = Server(("127.0.0.1", 0), Handler)
    server.state = State(args.data)
    stop = threading.Event()

    def shutdown(*_):
        if not stop.is_set():
            stop.set()
            threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, shutdown)
    signal.signal(signal.SIGINT, shutdown)

    def watchdog():
        deadline = time.monotonic() + args.lifetime
        while not stop.wait(0.5):
            gone = False
            if args.owner_pid:
                try:
                    os.kill(args.owner_pid, 0)
                except ProcessLookupError:
                    gone = True
                except PermissionError:
                    pass
            if gone or time.monotonic() > deadline:
                sys.stderr.write("fixture server: %s, stopping\n" %
                                 ("owner gone" if gone else "lifetime over"))
                shutdown()

    threading.Thread(target=watchdog, daemon=True).start()

    def write_atomically(path, text):
        with open(path + ".tmp", "w") as f:
            f.write(text)
        os.replace(path + ".tmp", path)

    port = server.server_address[1]
    if args.pid_file:
        write_atomically(args.pid_file, "%d\n" % os.getpid())
    write_atomically(args.port_file, "%d\n" % port)
    sys.stderr.write("fixture server: 127.0.0.1:%d, data %s, pid %d\n" %
                     (port, args.data, os.getpid()))
    server.serve_forever(poll_interval=0.2)
    server.server_close()
    sys.stderr.write("fixture server: stopped\n")


if __name__ == "__main__":
    main()
