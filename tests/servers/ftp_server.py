#!/usr/bin/python3
"""FTP server for the upload tests: one writable user, loopback only.

Usage: ftp_server.py ADDRESS PORT ROOT USER PASSWORD [CUT_AFTER]
With CUT_AFTER, every upload fails after that many bytes as on a full disk: the server answers
426 and keeps the part it received, as real servers do.
"""
import errno
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, _FileReadWriteError
from pyftpdlib.servers import FTPServer


def cutting_dtp_handler(limit):
    class CuttingDTPHandler(DTPHandler):
        def handle_read(self):
            super().handle_read()
            if self.receive and self.tot_bytes_received > limit:
                self.file_obj.flush()
                raise _FileReadWriteError(OSError(errno.ENOSPC, "No space left on device"))

        handle_read_event = handle_read

    return CuttingDTPHandler


def main():
    address, port, root, user, password = sys.argv[1:6]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.passive_ports = range(60000, 60200)
    if len(sys.argv) > 6:
        handler.dtp_handler = cutting_dtp_handler(int(sys.argv[6]))
    logging.basicConfig(level=logging.INFO, stream=sys.stderr)
    server = FTPServer((address, int(port)), handler)
    server.serve_forever()


if __name__ == "__main__":
    main()
