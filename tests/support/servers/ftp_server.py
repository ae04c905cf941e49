#!/usr/bin/python3
"""FTP server for the download tests: serves one folder on 127.0.0.1.

Prints the port it listens on as the first line of standard output, then runs
until standard input closes (the test ended or died) or the time limit passes.
"""
import argparse
import logging

from lifetime import announce_port, stop_when_parent_goes
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--throttle", type=int, default=0, help="bytes per second sent, 0 = no limit")
    parser.add_argument("--time-limit", type=float, default=120.0)
    args = parser.parse_args()

    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.permit_foreign_addresses = False
    Handler.auth_failed_timeout = 0.1
    if args.throttle > 0:
        class Throttled(ThrottledDTPHandler):
            write_limit = args.throttle

        Handler.dtp_handler = Throttled

    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 32
    stop_when_parent_goes(args.time_limit)
    announce_port(server.address[1])
    server.serve_forever(timeout=0.2)


if __name__ == "__main__":
    main()
