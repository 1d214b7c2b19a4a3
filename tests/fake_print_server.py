#!/usr/bin/env python3
"""A print server on 127.0.0.1 that misbehaves as network print servers do.

fake_print_server.py MODE LIFETIME_SECONDS FOLDER, MODE being one of: Full
(its queue is full, connecting hangs), Silent (takes the request, never
answers), AsksPassword (answers every request "401 Unauthorized"). The other
modes are small IPP servers: Accepts (takes the page as job 1, the first a new
server gives), SlowJob (as Accepts, but answers the job's creation a second
late), LateJob (as Accepts, but answers it six seconds late), SwallowsAnswer (takes it, never answers), WrongJob (answers for
job 2), RefusesJobs (is not accepting jobs), NoPrinter (has no default
printer), Busy (answers every query about the printer "server-error-busy"),
Trickle (starts each answer, then sends one byte every 50 ms, never ending)
and ClosesThenFull (answers the first request with "Connection: close", then
takes no connection: its listen queue is full). They keep the page they last
took in FOLDER/page.pdf.

It notes in FOLDER/told, a line each, what the client did: "connection" for
each connection taken, "closed" for each the client closed, "password" for
each request that carried one, "operation 0x...." for each IPP request,
always before answering it.

It says its port on its output, and ends when its input closes or its
lifetime is over.
"""
import contextlib
import http.client
import os
import socket
import struct
import sys
import threading
import time

MODE, LIFETIME = sys.argv[1], float(sys.argv[2])
IPP_MODES = ("Accepts", "SlowJob", "LateJob", "SwallowsAnswer", "WrongJob", "RefusesJobs", "NoPrinter",
             "Busy", "Trickle", "ClosesThenFull")
if MODE not in ("Full", "Silent", "AsksPassword") + IPP_MODES:
    sys.exit(f"unknown mode {MODE}")
FOLDER = sys.argv[3]
DOCUMENT = os.path.join(FOLDER, "page.pdf")
REFUSAL = (b"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n"
           b"Content-Length: 0\r\n\r\n")
# The status a mode answers an operation with: Get-Printer-Attributes busy,
# CUPS-Get-Default not found, Create-Job not accepting jobs.
REFUSED = {("Busy", 0x000B): 0x0507, ("NoPrinter", 0x4001): 0x0406, ("RefusesJobs", 0x0005): 0x0506}
noted = threading.Lock()


def note(word):
    with noted, open(os.path.join(FOLDER, "told"), "a") as log:
        log.write(word + "\n")


def serve(client):
    heard = b""
    while data := client.recv(65536):
        heard += data if MODE == "AsksPassword" else b""
        while b"\r\n\r\n" in heard:
            request, heard = heard.split(b"\r\n\r\n", 1)
            if b"Authorization:" in request:
                note("password")
            client.sendall(REFUSAL)

# The well-behaved printers speak IPP (RFC 8010) over HTTP. A message is the
# version, an operation or status code, a request-id, then groups of
# attributes (0x01 operation, 0x02 job, 0x04 printer), each a group tag and its
# (value tag, name, value) entries, up to the end tag 0x03 and the document.
# Value tags: 0x21 integer, 0x22 boolean, 0x23 enum, 0x42 name, 0x44 keyword,
# 0x45 uri, 0x47 charset, 0x48 language, 0x49 MIME type; a collection (0x34)
# lists each member's name (0x4a) and value, up to its end (0x37).
def attribute(tag, name, value):
    data = value.encode() if isinstance(value, str) else value.to_bytes(
        1 if tag == 0x22 else 4, "big")
    return struct.pack(">BH", tag, len(name)) + name.encode() + struct.pack(">H", len(data)) + data


def collection(name, *members):
    return (attribute(0x34, name, "") + b"".join(attribute(0x4A, "", member) + value
                                                 for member, value in members)
            + attribute(0x37, "", ""))


def answer(request_id, status=0, group=b""):
    return (struct.pack(">BBHI", 2, 0, status, request_id) + b"\x01"
            + attribute(0x47, "attributes-charset", "utf-8")
            + attribute(0x48, "attributes-natural-language", "en") + group + b"\x03")


def printer():
    """A printer of A4 sheets with margins of 4.23 mm left and right, 6.35 mm
    top and bottom (in hundredths of a millimetre) that takes PDF."""
    port = listener.getsockname()[1]
    size = collection("", ("x-dimension", attribute(0x21, "", 21000)),
                      ("y-dimension", attribute(0x21, "", 29700)))
    margins = [(f"media-{side}-margin", attribute(0x21, "", hundredths_mm)) for side, hundredths_mm
               in {"left": 423, "right": 423, "top": 635, "bottom": 635}.items()]
    return (b"\x04"
            + attribute(0x45, "printer-uri-supported", f"ipp://127.0.0.1:{port}/printers/Fake")
            + attribute(0x42, "printer-name", "Fake") + attribute(0x23, "printer-state", 3)  # idle
            + attribute(0x22, "printer-is-accepting-jobs", 1)
            + attribute(0x49, "document-format-supported", "application/pdf")
            + collection("media-col-database", ("media-size", size), *margins))


def read_request(client, reader):
    """One HTTP request's IPP message, read whole; None once the client is gone."""
    if not reader.readline():
        return None
    headers = http.client.parse_headers(reader)
    if headers.get("Expect", "").lower() == "100-continue":
        client.sendall(b"HTTP/1.1 100 Continue\r\n\r\n")
    if headers.get("Transfer-Encoding", "").lower() != "chunked":
        return reader.read(int(headers.get("Content-Length", 0)))
    message = b""
    while size := int(reader.readline().split(b";")[0], 16):
        message += reader.read(size)
        reader.readline()
    reader.readline()  # the empty trailer
    return message


def document(message):
    """What follows the attributes of an IPP message."""
    at = 8
    while message[at] != 0x03:
        if message[at] < 0x10:  # a group begins
            at += 1
        else:  # value tag, name length and name, value length and value
            at += 3 + int.from_bytes(message[at + 1:at + 3], "big")
            at += 2 + int.from_bytes(message[at:at + 2], "big")
    return message[at + 1:]


def trickle(client, request_id):
    """An answer that never ends: its headers and the start of an attribute
    whose value is 28 kB long, one byte every 50 ms, the whole answer at this
    pace taking longer than anyone waits."""
    body = (struct.pack(">BBHI", 2, 0, 0, request_id) + b"\x01"
            + attribute(0x47, "attributes-charset", "u" * 0x7000))
    head = b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\nContent-Length: %d\r\n\r\n"
    for byte in head % len(body) + body:
        client.sendall(bytes([byte]))
        time.sleep(0.05)


def stop_accepting():
    """Takes no more connections: one waiting connection fills the queue."""
    listener.listen(0)
    stop_accepting.queued = socket.create_connection(listener.getsockname())


def serve_ipp(client):
    reader = client.makefile("rb")
    while (message := read_request(client, reader)) is not None:
        operation, request_id = struct.unpack(">HI", message[2:8])
        note(f"operation {operation:#06x}")
        if MODE == "Trickle":
            return trickle(client, request_id)
        if (MODE, operation) in REFUSED:
            body = answer(request_id, REFUSED[MODE, operation])
        elif operation in (0x000B, 0x4001):  # Get-Printer-Attributes, CUPS-Get-Default
            body = answer(request_id, group=printer())
        elif operation == 0x0005:  # Create-Job
            time.sleep({"SlowJob": 1, "LateJob": 6}.get(MODE, 0))
            body = answer(request_id, group=b"\x02" + attribute(0x21, "job-id", 1))
        elif operation == 0x0006:  # Send-Document
            with open(DOCUMENT, "wb") as page:
                page.write(document(message))
            if MODE == "SwallowsAnswer":
                continue
            job_id = 2 if MODE == "WrongJob" else 1
            body = answer(request_id, group=b"\x02" + attribute(0x21, "job-id", job_id))
        else:  # Cancel-Job succeeds, anything else is not supported
            body = answer(request_id, 0 if operation == 0x0008 else 0x0501)
        closing = b"Connection: close\r\n" if MODE == "ClosesThenFull" else b""
        if closing:
            stop_accepting()  # before the client can come back
        client.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n" + closing
                       + b"Content-Length: %d\r\n\r\n" % len(body) + body)
        if closing:
            client.close()
            return


def serve_client(client):
    with contextlib.suppress(OSError):  # the client went away in the middle of an answer
        (serve_ipp if MODE in IPP_MODES else serve)(client)
    note("closed")


def accept(listener):
    while True:
        client, _ = listener.accept()
        note("connection")
        threading.Thread(target=serve_client, args=(client,), daemon=True).start()
        if MODE == "ClosesThenFull":
            return


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
if MODE == "Full":
    stop_accepting()
else:
    threading.Thread(target=accept, args=(listener,), daemon=True).start()
threading.Timer(LIFETIME, os._exit, (0,)).start()
print(listener.getsockname()[1], flush=True)
sys.stdin.read()
os._exit(0)
