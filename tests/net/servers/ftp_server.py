"""A pyftpdlib server on 127.0.0.1 for the FTP client's tests and benchmark.

Usage: ftp_server.py ROOT USER PASSWORD
Prints the port it listens on, then serves until killed.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "lumavine test server ready"
    server = FTPServer(("127.0.0.1", 0), handler)
    server.max_cons = 64
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
