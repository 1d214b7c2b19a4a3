#!/usr/bin/env python3
"""A print server on 127.0.0.1 that misbehaves as network print servers do.

fake_print_server.py MODE LIFETIME_SECONDS, MODE being one of: Full (its queue
is full, connecting hangs), Silent (takes the request, never answers), Trickle
(starts an answer, then one byte every half second), AsksPassword (answers
every request "401 Unauthorized"), StallsPage (relays to the CUPS server on
localhost:631 until the PDF starts, then swallows the rest, answering nothing).

It says its port first, then "connection" for each one taken, "password" for
each request that carried one, and "sync" for each line read in, so that the
reader knows it has heard all said before. It ends when its input closes or
its lifetime is over.
"""
import os
import select
import socket
import sys
import threading
import time

MODE, LIFETIME = sys.argv[1], float(sys.argv[2])
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


def accept(listener):
    while True:
        client, _ = listener.accept()
        say("connection")
        threading.Thread(target=serve, args=(client,), daemon=True).start()


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
