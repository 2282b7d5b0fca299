#!/usr/bin/python3
"""FTP server for the upload tests: one writable user, loopback only.

Usage: ftp_server.py ADDRESS PORT ROOT USER PASSWORD
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    address, port, root, user, password = sys.argv[1:6]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = range(60000, 60200)
    logging.basicConfig(level=logging.INFO, stream=sys.stderr)
    server = FTPServer((address, int(port)), handler)
    server.serve_forever()


if __name__ == "__main__":
    main()
