#!/usr/bin/env python3
"""A TCP relay in front of a test server, for the tests of a server that goes away or cuts off.

Usage: tcp_relay.py LISTEN_HOST LISTEN_PORT TARGET_HOST TARGET_PORT
                    [--down-while FILE] [--cut-while FILE] [--cut-after BYTES]

While the --down-while file exists, connections are closed as soon as they are accepted (a
server that is not there). While the --cut-while file exists, each connection is cut off once
BYTES (default 1000) of the client's data have passed, as a network that drops mid-upload.
TLS passes through untouched: the relay never reads what it carries.
"""
import argparse
import asyncio
import os


async def pump(reader, writer, budget=None):
    try:
        while True:
            data = await reader.read(65536)
            if not data:
                break
            if budget is not None:
                if budget[0] <= 0:
                    break
                data = data[: budget[0]]
                budget[0] -= len(data)
            writer.write(data)
            await writer.drain()
            if budget is not None and budget[0] <= 0:
                break
    except (ConnectionError, asyncio.CancelledError):
        pass
    finally:
        writer.close()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("host")
    parser.add_argument("port", type=int)
    parser.add_argument("target_host")
    parser.add_argument("target_port", type=int)
    parser.add_argument("--down-while")
    parser.add_argument("--cut-while")
    parser.add_argument("--cut-after", type=int, default=1000)
    args = parser.parse_args()

    async def serve(client_reader, client_writer):
        if args.down_while and os.path.exists(args.down_while):
            client_writer.transport.abort()
            return
        try:
            server_reader, server_writer = await asyncio.open_connection(
                args.target_host, args.target_port)
        except OSError:
            client_writer.transport.abort()
            return
        cutting = args.cut_while and os.path.exists(args.cut_while)
        budget = [args.cut_after] if cutting else None
        upstream = asyncio.ensure_future(pump(client_reader, server_writer, budget))
        downstream = asyncio.ensure_future(pump(server_reader, client_writer))
        await asyncio.wait([upstream, downstream], return_when=asyncio.FIRST_COMPLETED)
        if cutting:
            client_writer.transport.abort()
            server_writer.transport.abort()
        await asyncio.gather(upstream, downstream, return_exceptions=True)

    server = await asyncio.start_server(serve, args.host, args.port)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
