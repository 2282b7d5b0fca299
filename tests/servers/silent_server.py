#!/usr/bin/python3
"""Accepts connections and never says a word: a server that hangs.

Usage: silent_server.py ADDRESS:PORT [ADDRESS:PORT...]
Connections stay open until the peer closes them or the server is stopped.
"""
import selectors
import socket
import sys


def main():
    selector = selectors.DefaultSelector()
    for endpoint in sys.argv[1:]:
        address, port = endpoint.rsplit(":", 1)
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind((address, int(port)))
        listener.listen(16)
        selector.register(listener, selectors.EVENT_READ, "listener")
    while True:
        for key, _ in selector.select():
            if key.data == "listener":
                connection, _ = key.fileobj.accept()
                selector.register(connection, selectors.EVENT_READ, "connection")
            elif not key.fileobj.recv(4096):  # the peer gave up: forget it
                selector.unregister(key.fileobj)
                key.fileobj.close()


if __name__ == "__main__":
    main()
