"""A TLS server on 127.0.0.1 for the client socket's own tests.

Usage: tls_peer.py CERTIFICATE KEY LOG
Prints the port it listens on, then serves until killed. After the
handshake each connection sends one command line:
  big     answered with "hello\\n" and 5994 bytes of "x", in one record
  silent  answered with nothing
  name    answered with the server name the client asked for, or None
Then the server reads to the end and adds a line to LOG: "clean" when the
client sent close_notify, "cut" when the connection just ended.
"""
import socket
import ssl
import sys
import threading


def serve(conn, context, log):
    try:
        tls = context.wrap_socket(conn, server_side=True, suppress_ragged_eofs=False)
    except (OSError, ssl.SSLError):
        conn.close()
        return
    ending = "cut"
    try:
        command = b""
        while not command.endswith(b"\n"):
            block = tls.recv(1)
            if not block:
                break
            command += block
        if command.strip() == b"big":
            tls.sendall(b"hello\n" + b"x" * 5994)
        elif command.strip() == b"name":
            tls.sendall(("%s\n" % getattr(tls, "asked_name", None)).encode())
        while tls.recv(4096):
            pass
        ending = "clean"
    except (OSError, ssl.SSLError):
        pass
    finally:
        with open(log, "a") as out:
            out.write(ending + "\n")
        conn.close()


def main():
    certificate, key, log = sys.argv[1:4]
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    # Python lets an end without close_notify pass for a clean one.
    context.options &= ~ssl.OP_IGNORE_UNEXPECTED_EOF

    def note_name(tls, name, _):
        tls.asked_name = name

    context.sni_callback = note_name
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    print(server.getsockname()[1], flush=True)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, context, log), daemon=True).start()


if __name__ == "__main__":
    main()
