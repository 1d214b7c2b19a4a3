#!/usr/bin/env python3
"""A print server on 127.0.0.1 that misbehaves as network print servers do.

fake_print_server.py MODE LIFETIME_SECONDS, MODE being one of: Full (its queue
is full, connecting hangs), Silent (takes the request, never answers), Trickle
(starts an answer, then one byte every half second), AsksPassword (answers
every request "401 Unauthorized"), StallsPage (relays to the CUPS server on
localhost:631 until the PDF starts, then swallows the rest, answering nothing).
Three more modes are small IPP printers: Accepts (takes the page as job 1, the
first a new server gives), SwallowsAnswer (takes it, never answers), WrongJob
(answers for job 2) and RefusesJobs (is not accepting jobs).
A third argument names the file where they keep the page they last took.

It says its port first, then "connection" for each one taken, "password" for
each request that carried one, "operation 0x...." for each IPP request, and
"sync" for each line read in, so that the reader knows it has heard all said
before. It ends when its input closes or
its lifetime is over.
"""
import http.client
import os
import select
import socket
import struct
import sys
import threading
import time

MODE, LIFETIME = sys.argv[1], float(sys.argv[2])
DOCUMENT = sys.argv[3] if len(sys.argv) > 3 else os.devnull
ANSWER = b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n\r\n"
REFUSAL = (b"HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"CUPS\"\r\n"
           b"Content-Length: 0\r\n\r\n")
said = threading.Lock()


def say(word):
    with said:
        sys.stdout.write(word + "\n")
        sys.stdout.flush()


def serve(client):
    upstream = socket.create_connection(("127.0.0.1", 631)) if MODE == "StallsPage" else None
    heard, answered, next_byte = b"", 0, float("inf")
    while True:
        ready = select.select([client] + ([upstream] if upstream else []), [], [], 0.1)[0]
        if upstream in ready:
            data = upstream.recv(65536)
            if not data:
                break
            client.sendall(data)
        if MODE == "Trickle" and time.monotonic() >= next_byte and answered < len(ANSWER):
            client.sendall(ANSWER[answered:answered + 1])
            answered, next_byte = answered + 1, next_byte + 0.5
        if client not in ready:
            continue
        data = client.recv(65536)
        if not data:
            break
        next_byte = min(next_byte, time.monotonic())
        if MODE == "AsksPassword" or upstream:
            heard += data
        while MODE == "AsksPassword" and b"\r\n\r\n" in heard:
            request, heard = heard.split(b"\r\n\r\n", 1)
            if b"Authorization:" in request:
                say("password")
            client.sendall(REFUSAL)
        if upstream and b"%PDF" in heard:
            upstream.close()  # the page never reaches CUPS, and no answer comes back
            upstream = None
        elif upstream:
            upstream.sendall(data)
            heard = heard[-3:]  # "%PDF" may start at the end of this piece

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


def serve_ipp(client):
    reader = client.makefile("rb")
    while (message := read_request(client, reader)) is not None:
        operation, request_id = struct.unpack(">HI", message[2:8])
        say(f"operation {operation:#06x}")
        if operation in (0x000B, 0x4001):  # Get-Printer-Attributes, CUPS-Get-Default
            body = answer(request_id, group=printer())
        elif operation == 0x0005 and MODE == "RefusesJobs":  # not accepting jobs
            body = answer(request_id, 0x0506)
        elif operation == 0x0005:  # Create-Job
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
        client.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/ipp\r\n"
                       b"Content-Length: %d\r\n\r\n" % len(body) + body)


def accept(listener):
    while True:
        client, _ = listener.accept()
        say("connection")
        ipp = MODE in ("Accepts", "SwallowsAnswer", "WrongJob", "RefusesJobs")
        threading.Thread(target=serve_ipp if ipp else serve, args=(client,), daemon=True).start()


listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(0 if MODE == "Full" else 8)
if MODE == "Full":  # one waiting connection fills the queue
    queued = socket.create_connection(listener.getsockname())
else:
    threading.Thread(target=accept, args=(listener,), daemon=True).start()
threading.Timer(LIFETIME, os._exit, (0,)).start()
say(str(listener.getsockname()[1]))
for line in sys.stdin:
    say("sync")
os._exit(0)
