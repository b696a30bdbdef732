"""A pyftpdlib server on 127.0.0.1 that speaks explicit TLS only.

Usage: ftps_server.py ROOT USER PASSWORD CERTIFICATE KEY
The control connection must turn to TLS (AUTH TLS) before the login, and
every data connection must be protected (PROT P). Prints the port it
listens on, then serves until killed.
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    root, user, password, certificate, key = sys.argv[1:6]
    logging.basicConfig(level=logging.ERROR)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    handler = TLS_FTPHandler
    handler.certfile = certificate
    handler.keyfile = key
    handler.tls_control_required = True
    handler.tls_data_required = True
    handler.authorizer = authorizer
    handler.banner = "lumavine TLS test server ready"
    server = FTPServer(("127.0.0.1", 0), handler)
    server.max_cons = 64
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
