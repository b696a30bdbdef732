"""A pyftpdlib server on 127.0.0.1 for the FTP client's tests and benchmark.

Usage: ftp_server.py ROOT USER PASSWORD [READ_ONLY_FOLDER]
READ_ONLY_FOLDER, an existing folder under ROOT, takes no uploads (550).
Prints the port it listens on, then serves until killed.
"""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password = sys.argv[1:4]
    read_only = sys.argv[4] if len(sys.argv) > 4 else None
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    if read_only:
        authorizer.override_perm(user, os.path.join(root, read_only), perm="elr", recursive=True)
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.banner = "lumavine test server ready"
    # A refused login is answered at once rather than after pyftpdlib's
    # three seconds, so that clients with short limits hear it.
    handler.auth_failed_timeout = 0.05
    server = FTPServer(("127.0.0.1", 0), handler)
    server.max_cons = 64
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
