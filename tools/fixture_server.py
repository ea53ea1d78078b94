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
    type=VALUE         the reply's Content-Type instead of the one the file's extension gives
    omit=NAME          leave out a header of the .headers file (e.g. omit=Set-Cookie)
    fault=reset        reset the connection instead of answering
    fault=reset-body   send the headers and half of the body, then reset
    fault=truncate     announce the whole body length, send half of it, close the connection
    fault=empty        answer 200 with an empty body
    fault=stall        send the headers and part of the body (part=N bytes, half without it),
                       then nothing, holding the connection until the client closes it
    The part "answer faults" of this file adds faults of OPS answers: opsfault=STATUS
    (with code= and message=), total=TEXT, namerange=B-E, giverange=B-E, results=N, repeat=N;
    see there.

The OPS service (EPO Open Patent Services, version 3.2) lives under /ops, imitated as its
reference documents the answers; the code is the part "OPS imitation" of this file.
    POST /ops/3.2/auth/accesstoken   the token endpoint. It wants "Authorization: Basic X"
        with X one of the lines of DATA/ops/credentials (the program's built-in pair and the
        tests' own consumer key pairs), the Content-Type application/x-www-form-urlencoded and
        the body grant_type=client_credentials; then it issues a new token "tok<N>" in a JSON
        reply of the service's shape (key and value in double quotes, blank colon blank
        between them, "expires_in" : "1199"). Wrong credentials (or credentials refused by
        /_keys): 401, a wrong request: 400, error=NAME in the query: 400; all three with the
        error body of the service's gateway, which has no access_token:
        {"ErrorCode" : "invalid_client", "Error" :"ClientId is Invalid"}.
    /ops/3.2/rest-services/...       want "Authorization: Bearer T" with a token that this
        server issued and that has not expired; otherwise 400 with the service's fault
        (<code>CLIENT.InvalidAccessToken</code>). A refused quota (see /_quota) answers 403
        with "X-Rejection-Reason: IndividualQuotaPerHour" and <code>CLIENT.QuotaExceeded</code>.
        Accepted answers carry X-Throttling-Control. Answers are UTF-8 XML in the namespaces
        http://www.epo.org/exchange (default) and http://ops.epo.org (ops:), the service's
        attribute order, text with & < > " written as entities. Under published-data/:
      search?q=CQL[&Range=B-E]  (also search/biblio, and POST with q=... as the body)
            <ops:world-patent-data> <ops:biblio-search total-result-count="N"> with
            <ops:query syntax="CQL">, <ops:range begin end> and <ops:search-result> holding one
            <ops:publication-reference family-id> with a docdb <document-id> (country,
            doc-number, kind) per result; search/biblio holds an <exchange-documents> with the
            bibliography instead. Range defaults to 1-25; more than 100 per request, an end
            beyond 2,000 or a malformed range or query: 400 <code>CLIENT.InvalidQuery</code>.
            N stops at 10,000. No result (or a range that begins after the last one): 404
            <code>SERVER.EntityNotFound</code>. Results come in catalogue order.
            CQL: clauses "index relation value" or a bare value (any text or number field),
            joined by and, or, not, prox (equal rank, bound from the left; prox is taken as
            and) and grouped by parentheses. Indexes: ti (titles, every language), ab
            (abstract), ta (both), txt (titles, abstract, inventors, applicants), in
            (inventors), pa (applicants), ia (both), pn (publication number: CC+NUMBER,
            CC+NUMBER+KIND or NUMBER; CC alone finds every publication of the country), ap (application), pr (priority), num (pn, ap, pr), ct
            (cited), ipc/ic and cpc/cl (by their beginning, blanks ignored), pd (YYYY,
            YYYYMM or YYYYMMDD; =, <, >, <=, >=, within "FROM TO"). Relations on words: = (one
            word, or several as a phrase), all, any. Words match whole words, any case; * is
            any run of characters, ? and # one. At most 20 terms per query and 10 per index;
            another index (claims and descriptions cannot be searched), a term with a slash
            or a diacritic, unbalanced quotes or parentheses: 400 CLIENT.InvalidQuery.
      publication/docdb/CC.NUMBER.KIND/biblio, publication/epodoc/CCNUMBER[KIND]/biblio,
      application/docdb|epodoc/.../biblio
            <exchange-documents> with one <exchange-document system family-id country
            doc-number kind> per matching publication: publication and application
            references, classifications, priority claims, <parties> with every applicant and
            inventor in data-format "epodoc" and then "original", <invention-title lang> per
            language, references cited, <abstract lang="en">. An unknown number: 404
            SERVER.EntityNotFound.
      publication/docdb|epodoc/.../images
            <ops:document-inquiry> with the <ops:document-instance system number-of-pages desc
            link> entries "Drawing" (thumbnail), "FirstPageClipping" (firstpage) and
            "FullDocument" (fullimage), each with <ops:document-format-options>.
      images/CC/NUMBER/KIND/fullimage.tiff?Range=N (and thumbnail.tiff)
            page N as a CCITT G4 TIFF (application/tiff): the files of DATA/ops/pages (drawn
            by tools/make_fixture_pages.sh) in turn, page 1 the first of them. A page
            outside the document: 404 SERVER.EntityNotFound.
    Any other path under /ops (for example version 3.1): 404 SERVER.EntityNotFound.
    The behaviours above apply to OPS requests too; status= and once= give an OPS answer
    another status and keep its body.

    The catalogue (OPS_CATALOGUE below; kinds, publication dates, pages of the full
    document):
        EP1000000 A1 20000517 3p  "Apparatus for testing fetchers"
        EP1000000 B1 20030604 6p  "Apparatus for testing recipes" (de, en, fr)
        EP2345678 B1 20081015 6p  'Method of sorting & ranking <widgets> for "smart" shelves'
                                  (applicant "SORTWELL & RANK LTD [GB]")
        US7123456 B2 20061017 4p  "Widget tray with adjustable dividers"
        US2005123456 A1 20050609 3p "Shelf-mounted sensor for counting widgets" (the US
                                  application 20050123456 as OPS numbers it)
        WO2004012345 A1 20040205 5p "Battery pack with thermal widgets"
        EP1500000 A1 20050119 4p  "Sorting machine for parcels"
        US11230456 B2 20220201 2p "Foldable crate with hinged walls" (a patent of eight digits)
        US6000000 A 19991207 3p   "Widget fastening clip" (cited by EP2345678, US7123456)
        EP3000000 A1 20160302 5p  "Sensor network for retail shelves"
        WO2010054321 A2 20100520 4p "Smart shelf with weight sensors"
        US2012234567 A1 20120913 3p "System and method for ranking search results"
        EP1234567 B1 20050504 5p  "Lithium battery separator"
        JP2005123456 A 20050512 3p "Widget dispenser"
        EP2500000 B1 20120627 2p  "Dispenser for M\u00fcller-Hinton agar plates": letters beyond
                                  ASCII in its titles, inventors and applicant, its epodoc names
                                  too ("M\u00dcLLER J\u00dcRGEN [DE]", "SOCI\u00c9T\u00c9 DES G\u00c9LOSES SA
                                  [FR]"), and one letter outside code page 1252 ("\u0141UKASIEWICZ
                                  PIOTR [PL]")
        DE19512345 A1 19961010 --  "Clamp for widget rails": no page images (its images
                                  inquiry answers 404 SERVER.EntityNotFound)
        US8000001 B2 to US8012000 B2, 2011-2014, 2p each: "Fastening element of series
                                  NNNNN" (with US6000000, 12,001 results for ti=fastening:
                                  the count stops at 10,000)
        EP3100001 B1 to EP3100150 B1, 2017, and US2015100001 A1 to US2015100150 A1, 2015, 2p
                                  each: "Rail coupling of series NNN" (300 results for
                                  ti=coupling, 150 of each country)
    Their inventors, applicants, abstracts and classifications stand in OPS_CATALOGUE.
    Answers recorded from the real service (DATA/ops/realops, served by the part of
    tools/ops_real_answers.py, whose text says more):
        EP2400812 A1 20111228 18p "BLUETOOTH NETWORKING" (de, fr, en): its biblio byte for
                                  byte, its images inquiry built from the recorded summary,
                                  every page the recorded page (A4 at pixels per centimetre)
        EP3900001 A1 to EP3900150 A1, US9500001 B2 to US9500150 B2 alternating with
                                  US2024100001 A1 to US2024100150 A1: the recorded search
                                  results repeated and renumbered (one in three titled only
                                  lang="ol" "ENERGILAGRINGSSYSTEM"), found by txt=siemens or
                                  pa=siemens; a search/biblio page holding any of them comes in
                                  the recorded layout, about 18 KB a result

Control paths (never logged):
    GET /_log       every logged request since the last reset, each as
                    "#SEQ METHOD PATH BODYLENGTH STATUS\\n" (STATUS 0 while it is not answered,
                    or for a connection reset instead of an answer), the header lines as
                    received, an empty line, the body bytes and "\\n"
    GET /_reset     forget the log, the once= counts, the plans, a pending expiry and quota
                    refusals (issued tokens stay)
    GET /_plan?path=P&as=Q[&count=N]
                    the next N (default 1) requests for path P behave as if Q (a query text)
                    were added to their query
    GET /_expire    every OPS token issued so far has expired
    GET /_expire?after=N[&after=M...]
                    after the next N accepted OPS REST requests (answered normally), every
                    token issued until then has expired; then, after M more, again
    GET /_quota?refuse=N[&path=P]
                    the next N OPS REST requests (of path P only, when given) are refused
                    with 403 (quota)
    GET /_keys?refuse=X[&refuse=Y...]
                    the token endpoint refuses the Basic values X, Y (say, the program's
                    built-in pair: a user without keys of his own) as credentials it does not
                    know, until the next /_reset
    GET /_series?count=N
                    the real series holds N results of each kind (EP3900001 on, US9500001
                    on, US2024100001 on) instead of 150, until the next /_reset: with 2000,
                    txt=siemens and pn=EP finds as many results as OPS gives one query
"""

import argparse
import collections
import mimetypes
import os
import re
import select
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

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

    def reset(self):
        with self.lock:
            self.log = []
            self.once_seen = set()
            self.plans = {}

    def record(self, method, target, headers, body):
        """Logs a request; the answer's status is added by answered()."""
        with self.lock:
            self.seq += 1
            entry = [self.seq, method, target, headers, body, 0]
            self.log.append(entry)
            return entry

    def answered(self, entry, status):
        with self.lock:
            entry[5] = status

    def log_text(self):
        with self.lock:
            out = bytearray()
            for seq, method, target, headers, body, status in self.log:
                out += ("#%d %s %s %d %d\n" % (seq, method, target, len(body), status)
                        ).encode("latin-1")
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
        entry = state.record(self.command, self.path, list(self.headers.items()), body)

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

        if path.startswith(OPS_ROOT + "/"):
            # once= and status= still choose the status of an OPS answer.
            ops_status, ctype, content, ops_headers = fault_answer(q, *self.server.ops.answer(
                self, self.command, path, fault_request(q), body))
            status = ops_status if status == 200 else status
            extra += ops_headers
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

        if one("type"):
            ctype = one("type")
        for item in q.get("header", []):
            name, _, value = item.partition(":")
            extra.append((name.strip(), value.strip()))
        if fault == "empty":
            content = b""

        state.answered(entry, status)
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
        if fault == "stall":
            return stall_reply(self, content, one("part"))
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

    # ------------------------------------------------------------------ control
    def control(self, path, q):
        state = self.server.state
        if path == "/_log":
            content = state.log_text()
        elif path == "/_reset":
            state.reset()
            self.server.ops.reset()
            content = b"reset\n"
        elif path == "/_plan":
            target = q.get("path", [""])[0]
            count = int(q.get("count", ["1"])[0])
            with state.lock:
                state.plans.setdefault(target, []).extend([q.get("as", [""])[0]] * count)
            content = b"planned\n"
        else:
            content = self.server.ops.control(path, q)
            if content is None:
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


# ============================================================================ OPS imitation
# Everything of the EPO OPS 3.2 imitation lives in this part of the file: its catalogue, the
# CQL matcher, the answer builders and the service itself (tokens, quota, expiry). The
# request handler above only hands it the requests under /ops and the controls it owns.

from ops_real_answers import SERIES_COUNT, RealAnswers  # noqa: E402  (the recorded answers, in a file of their own)

OPS_ROOT = "/ops"
OPS_VERSION = "/3.2"
TOKEN_PATH = OPS_ROOT + OPS_VERSION + "/auth/accesstoken"
REST_PREFIX = OPS_ROOT + OPS_VERSION + "/rest-services/"
PUBLISHED_PREFIX = REST_PREFIX + "published-data/"

NS_EXCHANGE = "http://www.epo.org/exchange"
NS_OPS = "http://ops.epo.org"
NS_XLINK = "http://www.w3.org/1999/xlink"

MAX_RANGE_END = 2000       # a query's results beyond this are never handed out
MAX_RANGE_SIZE = 100       # results per request
MAX_TOTAL = 10000          # total-result-count stops here
MAX_TERMS = 20
MAX_TERMS_PER_INDEX = 10


def ops_doc(cc, number, kind, pd, titles, abstract, applicants, inventors, pages,
            drawings=1, ipc=(), cpc=(), app=None, priority=(), cited=(), family=None):
    """One publication of the catalogue. Names are (epodoc, original) pairs."""
    return {
        "cc": cc, "number": number, "kind": kind, "pd": pd, "titles": titles,
        "abstract": abstract, "applicants": list(applicants), "inventors": list(inventors),
        "pages": pages, "drawings": drawings, "ipc": list(ipc), "cpc": list(cpc),
        "app": app or (cc, number[-8:], "A", pd), "priority": list(priority),
        "cited": list(cited), "family": family or str(19000000 + int(number[-7:]) % 1000000),
    }


OPS_CATALOGUE = [
    ops_doc("EP", "1000000", "A1", "20000517",
            {"en": "Apparatus for testing fetchers"},
            "An apparatus fetches pages and tells whether each one arrived whole.",
            [("RECIPE WORKS GMBH [DE]", "Recipe Works GmbH")],
            [("MUSTERMANN ERIKA [DE]", "Mustermann, Erika")], pages=3,
            ipc=["G06F 11/30"], cpc=["G06F 11/3006"], app=("EP", "99203729", "A", "19991108"),
            family="19768124"),
    ops_doc("EP", "1000000", "B1", "20030604",
            {"de": "Vorrichtung zum Testen von Rezepten", "en": "Apparatus for testing recipes",
             "fr": "Appareil pour tester des recettes"},
            "An apparatus runs recipes step by step and checks what each step produced.",
            [("RECIPE WORKS GMBH [DE]", "Recipe Works GmbH")],
            [("MUSTERMANN ERIKA [DE]", "Mustermann, Erika"),
             ("SCHMIDT KLAUS [DE]", "Schmidt, Klaus")], pages=6, drawings=2,
            ipc=["G06F 11/30"], cpc=["G06F 11/3006"], app=("EP", "99203729", "A", "19991108"),
            family="19768124"),
    ops_doc("EP", "2345678", "B1", "20081015",
            {"en": 'Method of sorting & ranking <widgets> for "smart" shelves',
             "de": "Verfahren zum Sortieren und Einstufen von Widgets",
             "fr": "Procede de tri et de classement de widgets"},
            "Widgets on a shelf are weighed, sorted & ranked by their sales; a display shows "
            "the ranking.",
            [("SORTWELL & RANK LTD [GB]", "Sortwell & Rank Ltd.")],
            [("OBRIEN SEAN [IE]", "O'Brien, Se\u00e1n"), ("PATEL ASHA [GB]", "Patel, Asha")],
            pages=6, drawings=3, ipc=["G06Q 10/08", "A47F 5/00"], cpc=["G06Q 10/087"],
            app=("EP", "06004567", "A", "20060306"), priority=[("GB", "0504321", "20050303")],
            cited=[("US", "6000000", "A")]),
    ops_doc("US", "7123456", "B2", "20061017",
            {"en": "Widget tray with adjustable dividers"},
            "A tray for widgets has dividers that slide along rails and lock in place.",
            [("ACME SHELVING CORP [US]", "Acme Shelving Corporation")],
            [("SMITH JOHN A [US]", "Smith, John A."), ("LEE MIN-JUN [US]", "Lee, Min-Jun")],
            pages=4, ipc=["A47F 5/00"], cpc=["A47F 5/0043"],
            app=("US", "10987654", "A", "20040312"), cited=[("US", "6000000", "A")]),
    ops_doc("US", "2005123456", "A1", "20050609",
            {"en": "Shelf-mounted sensor for counting widgets"},
            "A sensor under a shelf counts the widgets on it from their weight.",
            [("ACME SHELVING CORP [US]", "Acme Shelving Corporation")],
            [("LEE MIN-JUN [US]", "Lee, Min-Jun")], pages=3,
            ipc=["G01G 19/42"], cpc=["G01G 19/4144"], app=("US", "10912345", "A", "20040805")),
    ops_doc("WO", "2004012345", "A1", "20040205",
            {"en": "Battery pack with thermal widgets", "fr": "Bloc-batterie avec widgets thermiques"},
            "Thermal widgets between the cells of a battery pack carry heat to its casing.",
            [("VOLTWERK AG [DE]", "Voltwerk AG")],
            [("MUELLER HANS [DE]", "M\u00fcller, Hans"), ("DUPONT MARIE [FR]", "Dupont, Marie")],
            pages=5, drawings=2, ipc=["H01M 10/60"], cpc=["H01M 10/613"],
            app=("EP", "2003008123", "W", "20030724"), priority=[("DE", "10234567", "20020726")]),
    ops_doc("EP", "1500000", "A1", "20050119",
            {"en": "Sorting machine for parcels", "de": "Sortiermaschine fuer Pakete"},
            "A sorting machine reads the label of each parcel and sorts it onto one of several "
            "belts.",
            [("PAKETSORT AG [DE]", "Paketsort AG")], [("WEBER ANNA [DE]", "Weber, Anna")],
            pages=4, ipc=["B07C 3/00"], cpc=["B07C 3/008"]),
    ops_doc("US", "11230456", "B2", "20220201",
            {"en": "Foldable crate with hinged walls"},
            "A crate folds flat when its hinged walls are lowered.",
            [("CRATEWORKS LLC [US]", "Crateworks LLC")], [("NGUYEN LINH [US]", "Nguyen, Linh")],
            pages=2, ipc=["B65D 6/18"], cpc=["B65D 11/1833"], app=("US", "16543210", "A", "20190621")),
    ops_doc("US", "6000000", "A", "19991207",
            {"en": "Widget fastening clip"},
            "A clip fastens a widget to a rail without tools.",
            [("CLIPCO INC [US]", "Clipco, Inc.")], [("BROWN ROBERT [US]", "Brown, Robert")],
            pages=3, ipc=["F16B 2/20"], cpc=["F16B 2/20"]),
    ops_doc("EP", "3000000", "A1", "20160302",
            {"en": "Sensor network for retail shelves"},
            "Sensors on retail shelves report stock levels over a wireless network.",
            [("SHELFSENSE BV [NL]", "ShelfSense B.V.")],
            [("DE VRIES PIETER [NL]", "de Vries, Pieter")], pages=5,
            ipc=["G06Q 10/08", "H04W 84/18"], cpc=["G06Q 10/087"]),
    ops_doc("WO", "2010054321", "A2", "20100520",
            {"en": "Smart shelf with weight sensors"},
            "A smart shelf weighs the goods on it and orders more when stock runs low.",
            [("SHELFSENSE BV [NL]", "ShelfSense B.V.")],
            [("DE VRIES PIETER [NL]", "de Vries, Pieter"), ("PATEL ASHA [GB]", "Patel, Asha")],
            pages=4, ipc=["G01G 19/52"], cpc=["G01G 19/52"]),
    ops_doc("US", "2012234567", "A1", "20120913",
            {"en": "System and method for ranking search results"},
            "Search results are ranked by how often users chose them before.",
            [("FINDWELL INC [US]", "Findwell, Inc.")], [("GARCIA LUIS [US]", "Garcia, Luis")],
            pages=3, ipc=["G06F 17/30"], cpc=["G06F 16/24578"]),
    ops_doc("EP", "1234567", "B1", "20050504",
            {"en": "Lithium battery separator", "de": "Separator fuer Lithiumbatterien"},
            "A porous separator keeps the electrodes of a lithium battery apart.",
            [("VOLTWERK AG [DE]", "Voltwerk AG")], [("MUELLER HANS [DE]", "M\u00fcller, Hans")],
            pages=5, ipc=["H01M 2/16"], cpc=["H01M 50/403"]),
    ops_doc("DE", "19512345", "A1", "19961010",
            {"en": "Clamp for widget rails", "de": "Klemme fuer Widgetschienen"},
            "A clamp holds a widget rail on a shelf edge.",
            [("KLEMMWERK GMBH [DE]", "Klemmwerk GmbH")], [("BAUER JONAS [DE]", "Bauer, Jonas")],
            pages=0, drawings=0, ipc=["A47F 5/00"], app=("DE", "19512345", "A", "19950322")),
    ops_doc("JP", "2005123456", "A", "20050512",
            {"en": "Widget dispenser"},
            "A dispenser hands out one widget at a time.",
            [("NAGANO KIKAI KK [JP]", "Nagano Kikai KK")], [("TANAKA HIROSHI [JP]", "Tanaka, Hiroshi")],
            pages=3, ipc=["B65G 59/06"]),
    ops_doc("EP", "2500000", "B1", "20120627",
            {"en": "Dispenser for M\u00fcller-Hinton agar plates",
             "de": "Spender f\u00fcr M\u00fcller-Hinton-Agarplatten",
             "fr": "Distributeur de plaques de g\u00e9lose M\u00fcller-Hinton"},
            "A dispenser pours M\u00fcller-Hinton agar into Petri dishes at a set depth.",
            [("SOCI\u00c9T\u00c9 DES G\u00c9LOSES SA [FR]", "Soci\u00e9t\u00e9 des G\u00e9loses S.A.")],
            [("M\u00dcLLER J\u00dcRGEN [DE]", "M\u00fcller, J\u00fcrgen"),
             ("LEF\u00c8VRE C\u00c9LINE [FR]", "Lef\u00e8vre, C\u00e9line"),
             ("\u0141UKASIEWICZ PIOTR [PL]", "\u0141ukasiewicz, Piotr")],
            pages=2, ipc=["C12M 1/22"], cpc=["C12M 23/10"], app=("EP", "10171234", "A", "20100729"),
            family="19623456"),
]

# A series of generated publications that one word finds more than 10,000 times:
# US8000001 B2 to US8012000 B2, "Fastening element of series NNNNN", published 2011-2014.
BULK_FIRST = 8000001
BULK_COUNT = 12000


def bulk_doc(i):
    number = str(BULK_FIRST + i)
    year = 2011 + i * 4 // BULK_COUNT
    pd = "%d%02d%02d" % (year, 1 + (i // 7) % 12, 1 + i % 28)
    return ops_doc("US", number, "B2", pd, {"en": "Fastening element of series %05d" % (i + 1)},
                   "A fastening element holds two parts together.",
                   [("BULK FASTENERS INC [US]", "Bulk Fasteners, Inc.")],
                   [("BULK BERT [US]", "Bulk, Bert")], pages=2, ipc=["F16B 5/00"])


# Two short series of one title word, "coupling", that a search of the European or of the US
# published applications pages through with a second range: EP B1 patents and US A1
# applications, 150 of each.
COUPLING_COUNT = 150


def coupling_doc(cc, i):
    if cc == "EP":
        number, kind, pd = str(3100001 + i), "B1", "2017%02d%02d" % (1 + i % 12, 1 + i % 28)
        applicant = ("COUPLEX SA [FR]", "Couplex S.A.")
    else:
        number, kind, pd = str(2015100001 + i), "A1", "2015%02d%02d" % (1 + i % 12, 1 + i % 28)
        applicant = ("COUPLEX INC [US]", "Couplex, Inc.")
    return ops_doc(cc, number, kind, pd, {"en": "Rail coupling of series %03d" % (i + 1)},
                   "A coupling joins two rail vehicles.", [applicant],
                   [("DUVAL MARC [FR]", "Duval, Marc")], pages=2, ipc=["B61G 1/00"])


class OpsCatalogue:
    """The catalogue's publications, the generated series made when first asked for, and the
    publications made of the recorded answers (tools/ops_real_answers.py), when given."""

    def __init__(self, real=None):
        self.real = real
        self.docs = list(OPS_CATALOGUE) + (real.documents() if real else [])
        self._bulk = None
        self._found = {}   # CQL text -> the publications it finds (the catalogue never changes)
        self._answers = collections.OrderedDict()   # the last search answers built, see answer()

    def set_series_count(self, count):
        """The real series of that many results of each kind from now on."""
        if self.real and count != self.real.series_count:
            self.real.set_series_count(count)
            self._bulk = None
            self._found = {}
            self._answers.clear()

    def matching(self, query, node):
        """The publications the parsed query finds, in catalogue order; a query asked before
        is answered from memory, so that a page of a long search comes at once."""
        found = self._found.get(query)
        if found is None:
            found = self._found[query] = [d for d in self.all() if cql_match(node, d)]
        return found

    def answer(self, key, build):
        """A search answer (status, type, body): one of the last few asked for again (each
        page of a search is asked twice) from memory, so that it comes at once; else built."""
        found = self._answers.get(key)
        if found is None:
            found = self._answers[key] = build()
            while len(self._answers) > 8:
                self._answers.popitem(last=False)
        return found

    def all(self):
        if self._bulk is None:
            self._bulk = ([bulk_doc(i) for i in range(BULK_COUNT)] +
                          [coupling_doc("EP", i) for i in range(COUPLING_COUNT)] +
                          [coupling_doc("US", i) for i in range(COUPLING_COUNT)] +
                          (self.real.series() if self.real else []))
        return self.docs + self._bulk

    def find(self, cc, number, kind=None):
        """Publications of that country and number (of that kind, when given)."""
        found = [d for d in self.docs if d["cc"] == cc and d["number"] == number
                 and (not kind or d["kind"] == kind)]
        if not found and number.isdigit():
            n = int(number)
            d = None
            if cc == "US" and BULK_FIRST <= n < BULK_FIRST + BULK_COUNT:
                d = bulk_doc(n - BULK_FIRST)
            elif cc == "EP" and 3100001 <= n < 3100001 + COUPLING_COUNT:
                d = coupling_doc("EP", n - 3100001)
            elif cc == "US" and 2015100001 <= n < 2015100001 + COUPLING_COUNT:
                d = coupling_doc("US", n - 2015100001)
            if d and (not kind or d["kind"] == kind):
                found = [d]
        if not found and self.real:
            found = self.real.find(cc, number, kind)
        return found

    def find_application(self, cc, number):
        return [d for d in self.docs if d["app"][0] == cc and d["app"][1] == number]


# ------------------------------------------------------------------ CQL

class CqlError(Exception):
    pass


TEXT_INDEXES = {"ti", "ab", "ta", "txt", "in", "pa", "ia"}
NUMBER_INDEXES = {"pn", "ap", "pr", "num", "ct"}
CLASS_INDEXES = {"ipc", "ic", "cpc", "cl"}
DATE_INDEXES = {"pd"}
RELATIONS = {"=", "==", "all", "any", "within", "<", ">", "<=", ">="}
BOOLEANS = {"and", "or", "not", "prox"}


def cql_tokens(text):
    tokens, i = [], 0
    while i < len(text):
        c = text[i]
        if c.isspace():
            i += 1
        elif c in "()":
            tokens.append(c)
            i += 1
        elif c == '"':
            end = text.find('"', i + 1)
            if end < 0:
                raise CqlError("unbalanced quote")
            tokens.append(("quoted", text[i + 1:end]))
            i = end + 1
        elif c in "=<>":
            j = i + 1
            while j < len(text) and text[j] in "=<>":
                j += 1
            tokens.append(text[i:j])
            i = j
        else:
            j = i
            while j < len(text) and not text[j].isspace() and text[j] not in '()"=<>':
                j += 1
            tokens.append(text[i:j])
            i = j
    return tokens


class CqlParser:
    """CQL as OPS takes it: boolean operators of equal rank, bound from the left; clauses
    "index relation value" or a bare value (searched in every text and number field)."""

    def __init__(self, text):
        self.tokens = cql_tokens(text)
        self.pos = 0
        self.terms = []            # (index, word) of every term

    def peek(self):
        return self.tokens[self.pos] if self.pos < len(self.tokens) else None

    def take(self):
        token = self.peek()
        self.pos += 1
        return token

    def parse(self):
        if not self.tokens:
            raise CqlError("empty query")
        node = self.query()
        if self.peek() is not None:
            raise CqlError("unexpected %r" % (self.peek(),))
        if len(self.terms) > MAX_TERMS:
            raise CqlError("more than %d terms" % MAX_TERMS)
        per_index = {}
        for index, _ in self.terms:
            per_index[index] = per_index.get(index, 0) + 1
            if per_index[index] > MAX_TERMS_PER_INDEX:
                raise CqlError("more than %d terms for %s" % (MAX_TERMS_PER_INDEX, index))
        return node

    def query(self):
        node = self.clause()
        while isinstance(self.peek(), str) and self.boolean(self.peek()):
            op = self.boolean(self.take())
            # "prox/distance<=3": the modifiers are read and not weighed.
            while op == "prox" and self.peek() in ("=", "<", ">", "<=", ">="):
                self.take()
                self.take()
            node = (op, node, self.clause())
        return node

    @staticmethod
    def boolean(token):
        word = token.lower().split("/")[0]
        return word if word in BOOLEANS else None

    def clause(self):
        token = self.take()
        if token is None:
            raise CqlError("a term is missing")
        if token == "(":
            node = self.query()
            if self.take() != ")":
                raise CqlError("unbalanced parenthesis")
            return node
        if token == ")" or (isinstance(token, str) and self.boolean(token)):
            raise CqlError("a term is missing before %r" % token)
        nxt = self.peek()
        if isinstance(token, str) and isinstance(nxt, str) and nxt.lower() in RELATIONS:
            index, relation = token.lower(), self.take().lower()
            value = self.take()
            if value is None or value in ("(", ")"):
                raise CqlError("a value is missing after %s %s" % (index, relation))
            value = value[1] if isinstance(value, tuple) else value
            if index not in TEXT_INDEXES | NUMBER_INDEXES | CLASS_INDEXES | DATE_INDEXES:
                raise CqlError("index %s cannot be searched" % index)
        else:
            index, relation = "any-field", "="
            value = token[1] if isinstance(token, tuple) else token
        words = value.split()
        if not words:
            raise CqlError("an empty term")
        for word in words:
            if "/" in word or "\\" in word or any(ord(ch) > 127 for ch in word):
                raise CqlError("a term holds a slash or a diacritic: %s" % word)
            self.terms.append((index, word))
        if index in DATE_INDEXES:
            return ("date", relation, words)
        if relation == "within":
            raise CqlError("within takes a date index")
        return ("term", index, relation, words)


def word_list(text):
    return re.findall(r"[a-z0-9]+", text.lower())


def word_pattern(word):
    """A term word with its truncation marks (* any run, ? or # one character)."""
    out = ""
    for ch in word.lower():
        out += ".*" if ch == "*" else "." if ch in "?#" else re.escape(ch)
    return re.compile(out + r"\Z")


def number_forms(cc, number, kind=""):
    forms = {cc + number, number}
    if kind:
        forms |= {cc + number + kind, cc + number + "." + kind}
    return {f.lower() for f in forms}


def doc_fields(doc, index):
    """The words (text indexes) or forms (number and class indexes) of a publication."""
    titles = " ".join(doc["titles"].values())
    names = lambda pairs: " ".join(e + " " + o for e, o in pairs)
    if index == "ti":
        return word_list(titles)
    if index == "ab":
        return word_list(doc["abstract"])
    if index == "ta":
        return word_list(titles + " " + doc["abstract"])
    if index == "txt":
        return word_list(titles + " " + doc["abstract"] + " " + names(doc["inventors"]) + " " +
                         names(doc["applicants"]))
    if index == "in":
        return word_list(names(doc["inventors"]))
    if index == "pa":
        return word_list(names(doc["applicants"]))
    if index == "ia":
        return word_list(names(doc["inventors"]) + " " + names(doc["applicants"]))
    if index == "pn":
        # A country code alone finds every publication of that country.
        return number_forms(doc["cc"], doc["number"], doc["kind"]) | {doc["cc"].lower()}
    if index == "ap":
        return number_forms(doc["app"][0], doc["app"][1], doc["app"][2])
    if index == "pr":
        return set().union(*[number_forms(p[0], p[1]) for p in doc["priority"]] or [set()])
    if index == "ct":
        return set().union(*[number_forms(*c) for c in doc["cited"]] or [set()])
    if index == "num":
        return doc_fields(doc, "pn") | doc_fields(doc, "ap") | doc_fields(doc, "pr")
    if index in ("ipc", "ic"):
        return [c.replace(" ", "").lower() for c in doc["ipc"]]
    if index in ("cpc", "cl"):
        return [c.replace(" ", "").lower() for c in doc["cpc"]]
    raise CqlError("index %s cannot be searched" % index)


def date_bounds(text):
    if not re.fullmatch(r"\d{4}(\d{2}(\d{2})?)?", text):
        raise CqlError("not a date: %s" % text)
    low = text + "0101"[len(text) - 4:] if len(text) < 8 else text
    high = text + "1231"[len(text) - 4:] if len(text) < 8 else text
    return low, high


def cql_match(node, doc):
    kind = node[0]
    if kind in BOOLEANS:
        left = cql_match(node[1], doc)
        if kind == "or":
            return left or cql_match(node[2], doc)
        if kind == "not":
            return left and not cql_match(node[2], doc)
        return left and cql_match(node[2], doc)   # and, prox
    if kind == "date":
        _, relation, words = node
        pd = doc["pd"]
        if relation == "within":
            if len(words) != 2:
                raise CqlError("within takes two dates")
            return date_bounds(words[0])[0] <= pd <= date_bounds(words[1])[1]
        if len(words) != 1:
            raise CqlError("one date expected")
        low, high = date_bounds(words[0])
        return {"=": low <= pd <= high, "==": low <= pd <= high, "<": pd < low,
                ">": pd > high, "<=": pd <= high, ">=": pd >= low}.get(relation, False)
    _, index, relation, words = node
    if relation in ("<", ">", "<=", ">="):
        raise CqlError("%s takes a date index" % relation)
    if index == "any-field":
        return any(cql_match(("term", i, relation, words), doc) for i in ("txt", "num"))
    fields = doc_fields(doc, index)
    if index in TEXT_INDEXES:
        patterns = [word_pattern(w) for w in words]
        hit = lambda p: any(p.match(f) for f in fields)
        if relation == "any":
            return any(hit(p) for p in patterns)
        if relation == "all" or len(patterns) == 1:
            return all(hit(p) for p in patterns)
        # "=" with several words: the words as a phrase.
        n = len(patterns)
        return any(all(patterns[k].match(fields[s + k]) for k in range(n))
                   for s in range(len(fields) - n + 1))
    # Numbers and classes: a number in any of its forms, a class by its beginning.
    if index in CLASS_INDEXES:
        hit = lambda w: any(f.startswith(w.lower().rstrip("*")) for f in fields)
    else:
        hit = lambda w: (any(word_pattern(w).match(f) for f in fields))
    return any(hit(w) for w in words) if relation == "any" else all(hit(w) for w in words)


def parse_range(text):
    if not text:
        return 1, 25
    m = re.fullmatch(r"\s*(\d+)\s*(?:-\s*(\d+)\s*)?", text)
    if not m:
        raise CqlError("malformed range %s" % text)
    begin = int(m.group(1))
    end = int(m.group(2)) if m.group(2) else begin
    if begin < 1 or end < begin or end - begin + 1 > MAX_RANGE_SIZE or end > MAX_RANGE_END:
        raise CqlError("range %s is not allowed (at most %d results per request and %d per "
                       "query)" % (text, MAX_RANGE_SIZE, MAX_RANGE_END))
    return begin, end


# ------------------------------------------------------------------ answers

def x(text):
    """Text as the service writes it into XML: & < > and " as entities."""
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;"))


def ops_document(body, stylesheet="exchange"):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<?xml-stylesheet type="text/xsl" href="/3.2/style/%s.xsl"?>\n'
            '<ops:world-patent-data xmlns="%s" xmlns:ops="%s" xmlns:xlink="%s">\n'
            '%s</ops:world-patent-data>\n' % (stylesheet, NS_EXCHANGE, NS_OPS, NS_XLINK, body)
            ).encode("utf-8")


def ops_fault(code, message):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<fault xmlns="%s">\n    <code>%s</code>\n    <message>%s</message>\n</fault>\n'
            % (NS_OPS, code, x(message))).encode("utf-8")


def docdb_id(cc, number, kind, date=None, indent="                "):
    return ('%s<document-id document-id-type="docdb">\n'
            '%s    <country>%s</country>\n%s    <doc-number>%s</doc-number>\n'
            '%s    <kind>%s</kind>\n%s%s</document-id>\n'
            % (indent, indent, cc, indent, number, indent, kind,
               indent + "    <date>%s</date>\n" % date if date else "", indent))


def biblio_xml(doc):
    app = doc["app"]
    parties = []
    for tag, pairs in (("applicant", doc["applicants"]), ("inventor", doc["inventors"])):
        lines = []
        for fmt, which in (("epodoc", 0), ("original", 1)):
            for seq, pair in enumerate(pairs, 1):
                lines.append('                        <%s sequence="%d" data-format="%s">\n'
                             '                            <%s-name>\n'
                             '                                <name>%s</name>\n'
                             '                            </%s-name>\n'
                             '                        </%s>\n'
                             % (tag, seq, fmt, tag, x(pair[which]), tag, tag))
        parties.append("                    <%ss>\n%s                    </%ss>\n"
                       % (tag, "".join(lines), tag))
    ipcr = "".join('                    <classification-ipcr sequence="%d">\n'
                   '                        <text>%-14s A I</text>\n'
                   '                    </classification-ipcr>\n' % (i, c)
                   for i, c in enumerate(doc["ipc"], 1))
    cpc = "".join('                    <patent-classification sequence="%d">\n'
                  '                        <classification-scheme office="EP" scheme="CPCI"/>\n'
                  '                        <classification-symbol>%s</classification-symbol>\n'
                  '                    </patent-classification>\n' % (i, c)
                  for i, c in enumerate(doc["cpc"], 1))
    priorities = "".join(
        '                    <priority-claim sequence="%d" kind="national">\n'
        '                        <document-id document-id-type="epodoc">\n'
        '                            <doc-number>%s%s</doc-number>\n'
        '                            <date>%s</date>\n'
        '                        </document-id>\n'
        '                    </priority-claim>\n' % (i, p[0], p[1], p[2])
        for i, p in enumerate(doc["priority"], 1))
    titles = "".join('                <invention-title lang="%s">%s</invention-title>\n'
                     % (lang, x(text)) for lang, text in doc["titles"].items())
    cited = "".join('                    <citation cited-phase="search" sequence="%d">\n'
                    '                        <patcit num="%d">\n%s'
                    '                        </patcit>\n'
                    '                    </citation>\n'
                    % (i, i, docdb_id(c[0], c[1], c[2], indent=" " * 28))
                    for i, c in enumerate(doc["cited"], 1))
    return (
        '        <exchange-document system="ops.epo.org" family-id="%s" country="%s" '
        'doc-number="%s" kind="%s">\n'
        '            <bibliographic-data>\n'
        '                <publication-reference>\n%s'
        '                    <document-id document-id-type="epodoc">\n'
        '                        <doc-number>%s%s</doc-number>\n'
        '                        <date>%s</date>\n'
        '                    </document-id>\n'
        '                </publication-reference>\n'
        '                <classifications-ipcr>\n%s                </classifications-ipcr>\n'
        '                <patent-classifications>\n%s                </patent-classifications>\n'
        '                <application-reference doc-id="%s">\n%s'
        '                    <document-id document-id-type="epodoc">\n'
        '                        <doc-number>%s%s</doc-number>\n'
        '                        <date>%s</date>\n'
        '                    </document-id>\n'
        '                </application-reference>\n'
        '                <priority-claims>\n%s                </priority-claims>\n'
        '                <parties>\n%s                </parties>\n'
        '%s'
        '                <references-cited>\n%s                </references-cited>\n'
        '            </bibliographic-data>\n'
        '            <abstract lang="en">\n                <p>%s</p>\n            </abstract>\n'
        '        </exchange-document>\n'
        % (doc["family"], doc["cc"], doc["number"], doc["kind"],
           docdb_id(doc["cc"], doc["number"], doc["kind"], doc["pd"], " " * 20),
           doc["cc"], doc["number"], doc["pd"], ipcr, cpc,
           doc["family"][-6:] + doc["number"][-3:],
           docdb_id(app[0], app[1], app[2], indent=" " * 20), app[0], app[1], app[3],
           priorities, "".join(parties), titles, cited, x(doc["abstract"])))


def images_xml(doc):
    link = "published-data/images/%s/%s/%s/" % (doc["cc"], doc["number"], doc["kind"])
    sections = ('                <ops:document-section name="ABSTRACT" start-page="1"/>\n'
                '                <ops:document-section name="DESCRIPTION" start-page="2"/>\n')
    return (
        '    <ops:document-inquiry>\n'
        '        <ops:publication-reference>\n%s        </ops:publication-reference>\n'
        '        <ops:inquiry-result>\n'
        '            <ops:document-instance system="ops.epo.org" number-of-pages="%d" '
        'desc="Drawing" link="%sthumbnail">\n'
        '                <ops:document-format-options>\n'
        '                    <ops:document-format>application/tiff</ops:document-format>\n'
        '                </ops:document-format-options>\n'
        '            </ops:document-instance>\n'
        '            <ops:document-instance system="ops.epo.org" number-of-pages="1" '
        'desc="FirstPageClipping" link="%sfirstpage">\n'
        '                <ops:document-format-options>\n'
        '                    <ops:document-format>image/png</ops:document-format>\n'
        '                </ops:document-format-options>\n'
        '            </ops:document-instance>\n'
        '            <ops:document-instance system="ops.epo.org" number-of-pages="%d" '
        'desc="FullDocument" link="%sfullimage">\n'
        '                <ops:document-format-options>\n'
        '                    <ops:document-format>application/pdf</ops:document-format>\n'
        '                    <ops:document-format>application/tiff</ops:document-format>\n'
        '                </ops:document-format-options>\n%s'
        '            </ops:document-instance>\n'
        '        </ops:inquiry-result>\n'
        '    </ops:document-inquiry>\n'
        % (docdb_id(doc["cc"], doc["number"], doc["kind"], indent=" " * 12),
           doc["drawings"], link, link, doc["pages"], link, sections))


def search_xml(query, total, begin, results, with_biblio):
    if with_biblio:
        items = "".join("            <exchange-documents>\n%s            </exchange-documents>\n"
                        % biblio_xml(d) for d in results)
    else:
        items = "".join('            <ops:publication-reference system="ops.epo.org" '
                        'family-id="%s">\n%s            </ops:publication-reference>\n'
                        % (d["family"], docdb_id(d["cc"], d["number"], d["kind"]))
                        for d in results)
    return ('    <ops:meta name="elapsed-time" value="%d"/>\n'
            '    <ops:biblio-search total-result-count="%d">\n'
            '        <ops:query syntax="CQL">%s</ops:query>\n'
            '        <ops:range begin="%d" end="%d"/>\n'
            '        <ops:search-result>\n%s        </ops:search-result>\n'
            '    </ops:biblio-search>\n'
            % (7 + len(results), total, x(query), begin, begin + len(results) - 1, items))


def parse_publication(form, ident):
    """(country, number, kind or None) of a docdb ("EP.1000000.B1") or epodoc ("EP1000000",
    "EP1000000B1") number; None when it is neither."""
    ident = urllib.parse.unquote(ident).upper()
    if form == "docdb":
        m = re.fullmatch(r"([A-Z]{2})\.([0-9A-Z]+?)(?:\.([A-Z][0-9]?))?", ident)
    else:
        m = re.fullmatch(r"([A-Z]{2})([0-9]+)(?:\.?([A-Z][0-9]?))?", ident)
    return (m.group(1), m.group(2), m.group(3)) if m else None


class OpsService:
    """The imitation of the OPS 3.2 service: token endpoint and published-data REST."""

    THROTTLING = ("idle (images=green:200, inpadoc=green:60, other=green:1000, "
                  "retrieval=green:200, search=green:30)")

    def __init__(self, state):
        self.state = state
        recorded = os.path.join(state.data, "ops", "realops")
        self.real = RealAnswers(recorded) if os.path.isdir(recorded) else None
        self.catalogue = OpsCatalogue(self.real)
        self.tokens = {}          # token -> expired?
        self.token_count = 0
        self.expire_after = []    # accepted REST requests until every token expires, per expiry
        self.quota_refusals = 0   # REST requests still to be refused with 403
        self.quota_path = None    # ... only requests of this path, when set
        self.refused_keys = set()  # Basic values the token endpoint refuses (see /_keys)

    # ---------------------------------------------------------------- controls
    def reset(self):
        with self.state.lock:
            self.expire_after = []
            self.quota_refusals = 0
            self.quota_path = None
            self.refused_keys = set()
            self.catalogue.set_series_count(SERIES_COUNT)

    def control(self, path, q):
        """The answer text of a control path of the imitation; None for other paths."""
        if path == "/_expire":
            after = [int(n) for n in q.get("after", ["0"])]
            with self.state.lock:
                if after[0] > 0:
                    self.expire_after = after
                else:
                    self.expire_all()
            return b"expired\n" if after[0] <= 0 else b"expiring\n"
        if path == "/_quota":
            with self.state.lock:
                self.quota_refusals = int(q.get("refuse", ["1"])[0])
                self.quota_path = q.get("path", [None])[0]
            return b"refusing\n"
        if path == "/_keys":
            with self.state.lock:
                self.refused_keys |= set(q.get("refuse", []))
            return b"refusing keys\n"
        if path == "/_series":
            with self.state.lock:
                self.catalogue.set_series_count(max(1, int(q.get("count", [str(SERIES_COUNT)])[0])))
            return b"series\n"
        return None

    def expire_all(self):
        for token in self.tokens:
            self.tokens[token] = True

    # ---------------------------------------------------------------- requests
    def answer(self, handler, method, path, q, body):
        """(status, content type, body, extra headers) of a request under /ops."""
        if path == TOKEN_PATH:
            return self.token_reply(handler, method, body, q)
        if not path.startswith(REST_PREFIX):
            return 404, "application/xml", ops_fault("SERVER.EntityNotFound",
                                                     "No such resource: %s" % path), []
        with self.state.lock:
            refused = self.quota_refusals > 0 and self.quota_path in (None, path)
            if refused:
                self.quota_refusals -= 1
        if refused:
            return 403, "application/xml", ops_fault(
                "CLIENT.QuotaExceeded",
                "This request has been rejected due to the violation of Fair Use policy"), [
                ("X-Rejection-Reason", "IndividualQuotaPerHour")]
        auth = handler.headers.get("Authorization", "")
        with self.state.lock:
            valid = auth.startswith("Bearer ") and self.tokens.get(auth[7:]) is False
            if valid and self.expire_after:
                self.expire_after[0] -= 1
                if self.expire_after[0] <= 0:
                    self.expire_after.pop(0)
                    self.expire_all()
        if not valid:
            return 400, "application/xml", ops_fault("CLIENT.InvalidAccessToken",
                                                     "invalid_access_token"), []
        extra = [("X-Throttling-Control", self.THROTTLING)]
        status, ctype, content = self.published_data(method, path[len(PUBLISHED_PREFIX):]
                                                     if path.startswith(PUBLISHED_PREFIX)
                                                     else None, q, body)
        return status, ctype, content, extra

    def published_data(self, method, rest, q, body):
        not_found = (404, "application/xml", ops_fault("SERVER.EntityNotFound",
                                                       "No results found"))
        if rest is None:
            return not_found
        if rest in ("search", "search/biblio"):
            if method == "POST" and "q" not in q:
                q = dict(q, **urllib.parse.parse_qs(body.decode("latin-1")))
            return self.search(q, rest == "search/biblio")
        m = re.fullmatch(r"(publication|application)/(docdb|epodoc)/([^/]+)/(biblio|images)",
                         rest)
        if m:
            ident = parse_publication(m.group(2), m.group(3))
            if not ident:
                return 400, "application/xml", ops_fault("CLIENT.InvalidReference",
                                                         "Not a %s number" % m.group(2))
            if m.group(1) == "publication":
                docs = self.catalogue.find(*ident)
            else:
                docs = self.catalogue.find_application(ident[0], ident[1])
            if m.group(4) == "images":
                # The newest publication of the number; none when it has no page images.
                docs = [d for d in docs[-1:] if d["pages"] > 0]
            if not docs:
                return not_found
            if docs[0].get("recorded"):
                return 200, "application/xml", (self.real.biblio_answer(docs[0]) if m.group(4) == "biblio"
                                                else self.real.images_answer(docs[0]) or
                                                ops_document(images_xml(docs[0]), "images"))
            if m.group(4) == "biblio":
                return 200, "application/xml", ops_document(
                    "    <exchange-documents>\n%s    </exchange-documents>\n"
                    % "".join(biblio_xml(d) for d in docs))
            return 200, "application/xml", ops_document(images_xml(docs[0]), "images")
        m = re.fullmatch(r"images/([A-Z]{2})/([0-9A-Z]+)/([A-Z][0-9]?)/"
                         r"(fullimage|thumbnail)(?:\.tiff?)?", rest)
        if m:
            docs = self.catalogue.find(m.group(1), m.group(2), m.group(3))
            try:
                page = int(q.get("Range", q.get("range", ["1"]))[0])
            except ValueError:
                page = 0
            if not docs:
                return not_found
            pages = docs[0]["pages"] if m.group(4) == "fullimage" else docs[0]["drawings"]
            if not 1 <= page <= pages:
                return not_found
            image = self.real.page if docs[0].get("recorded") else self.page_image(page)
            if image is None:
                return 500, "text/plain", b"fixture server: no page images in DATA/ops/pages\n"
            return 200, "application/tiff", image
        return not_found

    def search(self, q, with_biblio):
        query = q.get("q", [""])[0]
        try:
            node = CqlParser(query).parse()
            begin, end = parse_range(q.get("Range", q.get("range", [""]))[0])
            with self.state.lock:
                found = self.catalogue.matching(query, node)
        except CqlError as e:
            return 400, "application/xml", ops_fault("CLIENT.InvalidQuery", str(e))
        if not found or begin > len(found):
            return 404, "application/xml", ops_fault("SERVER.EntityNotFound", "No results found")

        def build():
            results = found[begin - 1:end]
            if with_biblio and any(d.get("recorded") for d in results):
                return 200, "application/xml", self.real.search_page(
                    query, min(len(found), MAX_TOTAL), begin,
                    [self.real.result_block(d, biblio_xml(d)) for d in results])
            return 200, "application/xml", ops_document(
                search_xml(query, min(len(found), MAX_TOTAL), begin, results, with_biblio), "search")
        with self.state.lock:
            return self.catalogue.answer((query, begin, end, with_biblio), build)

    def page_image(self, page):
        folder = os.path.join(self.state.data, "ops", "pages")
        try:
            names = sorted(n for n in os.listdir(folder) if n.endswith(".tif"))
        except OSError:
            return None
        if not names:
            return None
        with open(os.path.join(folder, names[(page - 1) % len(names)]), "rb") as f:
            return f.read()

    # ---------------------------------------------------------------- tokens
    def accepted_credentials(self):
        path = os.path.join(self.state.data, "ops", "credentials")
        if not os.path.isfile(path):
            return set()
        with open(path, encoding="latin-1") as f:
            return {line.strip() for line in f if line.strip() and not line.startswith("#")}

    # The texts of the gateway's error replies by their code.
    TOKEN_ERRORS = {"invalid_client": "ClientId is Invalid",
                    "invalid_request": "Required param : grant_type"}

    def token_reply(self, handler, method, body, q):
        error = q.get("error", [None])[0]
        auth = handler.headers.get("Authorization", "")
        with self.state.lock:
            refused = auth[6:] in self.refused_keys
        if method != "POST" or not auth.startswith("Basic ") or refused or \
                auth[6:] not in self.accepted_credentials():
            error, status = error or "invalid_client", 401
        elif (handler.headers.get("Content-Type") != "application/x-www-form-urlencoded"
              or body != b"grant_type=client_credentials"):
            error, status = error or "invalid_request", 400
        else:
            status = 400 if error else 200
        if error:
            # The layout of the OAuth errors of the service's gateway, its odd blanks included.
            text = '{"ErrorCode" : "%s", "Error" :"%s"}' % (
                error, self.TOKEN_ERRORS.get(error, "The request was refused"))
            return status, "application/json", text.encode("latin-1"), []
        with self.state.lock:
            self.token_count += 1
            token = "tok%d" % self.token_count
            self.tokens[token] = False
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
        return 200, "application/json", text.encode("latin-1"), []

# ============================================================================ answer faults
# The faults of a search service's answers that a search must tell from an answer holding
# nothing: an answer that stalls, refusals in the OPS fault layout, and search answers whose
# count, range or results are wrong. Chosen by query parameters like the behaviours above
# (and so by /_plan for one page of a search); the request handler hands every OPS request
# and every reply body through the two functions here.

# OPS's fault answers by status where the status alone is asked for: code and message.
FAULTS_BY_STATUS = {
    403: ("CLIENT.QuotaExceeded",
          "This request has been rejected due to the violation of Fair Use policy"),
    500: ("SERVER.DomainAccess", "The data source could not be reached"),
}
STALL_LIMIT = 600.0   # seconds a stalled reply holds its connection at most


def fault_request(q):
    """The query an OPS request is answered by: giverange=B-E stands for the asked Range."""
    if "giverange" in q:
        q = dict(q)
        q["Range"] = q["giverange"]
    return q


def fault_answer(q, status, ctype, content, headers):
    """An OPS answer as the fault parameters change it:
    opsfault=STATUS      answer STATUS; with code=C and message=M (or, for 403 and 500 without
                         them, the service's fault of that status) the body is the service's
                         fault document, else a short text
    total=TEXT           a search answer's total-result-count is TEXT
    namerange=B-E        a search answer names the range B-E, whatever it holds
    results=N            a search answer keeps its first N results and its range
    repeat=N             every result of a search answer stands N times
    """
    one = lambda name: q[name][0] if name in q else None
    if one("opsfault"):
        status = int(one("opsfault"))
        code, message = one("code"), one("message")
        if code is None and status in FAULTS_BY_STATUS:
            code, message = FAULTS_BY_STATUS[status]
        if code is not None:
            ctype, content = "application/xml", ops_fault(code, message or "")
        else:
            ctype = "text/plain"
            content = ("%d %s\n" % (status, BaseHTTPRequestHandler.responses.get(
                status, ("",))[0])).encode("latin-1")
        if status == 403:
            headers = headers + [("X-Rejection-Reason", "IndividualQuotaPerHour")]
        return status, ctype, content, headers
    if all(one(name) is None for name in ("total", "namerange", "results", "repeat")):
        return status, ctype, content, headers   # a page of megabytes goes out as it is
    text = content.decode("utf-8") if ctype == "application/xml" else None
    if text is None or "<ops:search-result>" not in text:
        return status, ctype, content, headers
    if one("total") is not None:
        text = re.sub(r'total-result-count="[^"]*"', 'total-result-count="%s"' % one("total"),
                      text, count=1)
    if one("namerange") is not None:
        begin, _, end = one("namerange").partition("-")
        text = re.sub(r'<ops:range begin="[^"]*" end="[^"]*"/>',
                      '<ops:range begin="%s" end="%s"/>' % (begin, end), text, count=1)
    block = re.compile(r"[ \t]*<(exchange-documents|ops:publication-reference)\b.*?</\1>\n",
                       re.S)
    head, _, rest = text.partition("<ops:search-result>")
    results, _, tail = rest.partition("</ops:search-result>")
    found = [m.group(0) for m in block.finditer(results)]
    if one("results") is not None:
        found = found[:int(one("results"))]
    if one("repeat") is not None:
        found = [item for item in found for _ in range(int(one("repeat")))]
    text = head + "<ops:search-result>\n" + "".join(found) + "        </ops:search-result>" + tail
    return status, ctype, text.encode("utf-8"), headers


def stall_reply(handler, content, part):
    """fault=stall: the first PART bytes of the body (part=N, half without it) and then
    nothing; the connection is held until the client closes it."""
    count = len(content) // 2 if part is None else min(int(part), len(content))
    handler.wfile.write(content[:count])
    handler.wfile.flush()
    deadline = time.monotonic() + STALL_LIMIT
    conn = handler.connection
    while time.monotonic() < deadline:
        readable, _, _ = select.select([conn], [], [], 0.5)
        if readable and not conn.recv(4096, socket.MSG_PEEK):
            break
    handler.close_connection = True


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
    server.ops = OpsService(server.state)
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
