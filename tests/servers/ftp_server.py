#!/usr/bin/python3
"""FTP server for the upload tests: one writable user, loopback only.

Usage: ftp_server.py ADDRESS PORT ROOT USER PASSWORD [--cut-after BYTES] [--throttle BYTES]
                     [--no-rename] [--down-while FILE] [--cut-while FILE]
                     [--commands FILE] [--tls CERT_AND_KEY [--implicit]]
--cut-after: every upload fails after that many bytes as on a full disk: the server answers 426
  and keeps the part it received, as real servers do.
--throttle: uploads arrive at that many bytes a second, slow enough to be cut off midway.
--no-rename: the account may store and delete but not rename, like some upload-only accounts.
--down-while: while FILE exists every connection gets "421 Service not available" and is
  closed, as from a server that is restarting; once it is gone the server works again.
--cut-while: --cut-after only while FILE exists, as from a network that drops now and then.
--commands: every command the server gets is added to FILE as a line, the password as "***".
--tls: FTPS on the certificate and key in that PEM file: AUTH TLS on the plain port, and the
  login and the data only under TLS. With --implicit, TLS from the first byte, as on port 990.
"""
import argparse
import errno
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import (DTPHandler, FTPHandler, ThrottledDTPHandler, TLS_DTPHandler,
                                TLS_FTPHandler, _FileReadWriteError)
from pyftpdlib.servers import FTPServer


def cutting_dtp_handler(limit, only_while=None):
    class CuttingDTPHandler(DTPHandler):
        def handle_read(self):
            super().handle_read()
            cutting = only_while is None or os.path.exists(only_while)
            if cutting and self.receive and self.tot_bytes_received > limit:
                self.file_obj.flush()
                raise _FileReadWriteError(OSError(errno.ENOSPC, "No space left on device"))

        handle_read_event = handle_read

    return CuttingDTPHandler


def down_while_handler(marker):
    class DownWhileHandler(FTPHandler):
        def handle(self):
            if os.path.exists(marker):
                self.respond("421 Service not available.")
                self.close_when_done()
                return
            super().handle()

    return DownWhileHandler


def recording_handler(base, path):
    class RecordingHandler(base):
        def pre_process_command(self, line, cmd, arg):
            with open(path, "a", encoding="utf-8") as log:
                log.write(f"{cmd} ***\n" if cmd == "PASS" else f"{line}\n")
            super().pre_process_command(line, cmd, arg)

    return RecordingHandler


class EarlyHandshakeDTPHandler(TLS_DTPHandler):
    """Lets the client shake hands on a data connection before it names the transfer, as curl
    does: pyftpdlib takes any early bytes there for a hang-up."""

    def readable(self):
        if self._ssl_accepting or self._ssl_want_read:
            return True
        if not self.receive and not self._initialized:
            return False
        return super().readable()


def tls_handler(pem, implicit):
    class TlsHandler(TLS_FTPHandler):
        certfile = pem
        dtp_handler = EarlyHandshakeDTPHandler
        tls_control_required = True
        tls_data_required = True

        def handle(self):
            if not implicit:
                super().handle()
                return
            # The greeting waits for the handshake: the client speaks TLS first.
            self.secure_connection(self.ssl_context)

        def handle_ssl_established(self):
            if implicit and not getattr(self, "_greeted", False):
                self._greeted = True
                super().handle()

    return TlsHandler


def main():
    parser = argparse.ArgumentParser()
    for name in ("address", "port", "root", "user", "password"):
        parser.add_argument(name)
    parser.add_argument("--cut-after", type=int)
    parser.add_argument("--throttle", type=int)
    parser.add_argument("--no-rename", action="store_true")
    parser.add_argument("--down-while")
    parser.add_argument("--cut-while")
    parser.add_argument("--commands")
    parser.add_argument("--tls")
    parser.add_argument("--implicit", action="store_true")
    args = parser.parse_args()
    authorizer = DummyAuthorizer()
    perm = "elradwMT" if args.no_rename else "elradfmwMT"
    authorizer.add_user(args.user, args.password, args.root, perm=perm)
    handler = down_while_handler(args.down_while) if args.down_while else FTPHandler
    if args.tls:
        handler = tls_handler(args.tls, args.implicit)
    if args.commands:
        handler = recording_handler(handler, args.commands)
    handler.authorizer = authorizer
    handler.passive_ports = range(60000, 60200)
    if args.cut_after is not None:
        handler.dtp_handler = cutting_dtp_handler(args.cut_after, args.cut_while)
    if args.throttle is not None:
        handler.dtp_handler = type("SlowDTPHandler", (ThrottledDTPHandler,),
                                   {"read_limit": args.throttle})
    logging.basicConfig(level=logging.INFO, stream=sys.stderr)
    server = FTPServer((args.address, int(args.port)), handler)
    server.serve_forever()

if __name__ == "__main__":
    main()
