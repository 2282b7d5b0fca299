#!/usr/bin/python3
"""SFTP server for the upload tests: one account with a password, loopback only.

Usage: sftp_server.py ADDRESS PORT ROOT USER PASSWORD HOST_KEY
The account sees ROOT as "/". HOST_KEY is the server's private key file (OpenSSH format).
"""
import argparse
import asyncio
import logging
import sys

import asyncssh


def server_class(user, password):
    class PasswordServer(asyncssh.SSHServer):
        def begin_auth(self, username):
            return True

        def password_auth_supported(self):
            return True

        def validate_password(self, username, given):
            return username == user and given == password

    return PasswordServer


async def serve(args):
    root = args.root
    await asyncssh.listen(
        args.address, int(args.port), server_host_keys=[args.host_key],
        server_factory=server_class(args.user, args.password),
        sftp_factory=lambda chan: asyncssh.SFTPServer(chan, chroot=root),
        allow_scp=False)
    await asyncio.Event().wait()


def main():
    parser = argparse.ArgumentParser()
    for name in ("address", "port", "root", "user", "password", "host_key"):
        parser.add_argument(name)
    args = parser.parse_args()
    logging.basicConfig(level=logging.INFO, stream=sys.stderr)
    asyncio.run(serve(args))


if __name__ == "__main__":
    main()
