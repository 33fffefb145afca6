#!/usr/bin/env python3
# A receipt printer's far end that answers late, written apart from Quillet's own code: it
# listens on ADDRESS:9100 and answers each three-byte question it knows (DLE EOT n, GS I n)
# with its reply DELAY seconds after the question came. Prints "ready" once it listens.
#   late_responder.py ADDRESS DELAY QUESTION=REPLY ...   (hex, such as 100401=1a)
import socket
import sys
import threading

address, delay = sys.argv[1], float(sys.argv[2])
replies = {}
for pair in sys.argv[3:]:
    question, reply = pair.split("=")
    replies[bytes.fromhex(question)] = bytes.fromhex(reply)

server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind((address, 9100))
server.listen(8)
print("ready", flush=True)


def answer(connection, reply):
    try:
        connection.sendall(reply)
    except OSError:
        pass


def serve(connection):
    pending = b""
    while True:
        data = connection.recv(4096)
        if not data:
            return
        pending += data
        while len(pending) >= 3:
            question, pending = pending[:3], pending[3:]
            if question in replies:
                threading.Timer(delay, answer, (connection, replies[question])).start()


while True:
    client, _ = server.accept()
    threading.Thread(target=serve, args=(client,), daemon=True).start()
