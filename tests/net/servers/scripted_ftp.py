"""An FTP server of our own for replies that real servers do not give.

Usage: scripted_ftp.py SCENARIO [LOG [CERTIFICATE KEY]]
  plain        ordinary answers
  greeting     a greeting of three lines
  silent       greets nobody and answers nothing
  pasv-other   PASV names 10.0.0.5 while listening on 127.0.0.1
  stor-125     STOR is answered with 125, then the upload goes on
  stor-refused STOR is answered with 550
  no-final     STOR gets 150, but no reply follows the upload
  pwd-bare     PWD answers 257 without a quoted path
  stalled      accepts the upload's data connection but never reads from it
  greeting-cut     greets with "220 Ready" but no line end, then stalls
  greeting-closed  greets with "220 Ready" but no line end, then closes
  greeting-endless greets with continuation lines that keep coming, a
                   tenth of a second apart, for STALL_SECONDS
  pass-cut     answers PASS with "230 Logged in" but no line end, then stalls
  stor-cut     answers STOR with "150 Opening" but no line end, then stalls
  final-cut    answers an upload with "226 received N bytes" but no line
               end, then stalls
  drop-once    resets the first upload's data connection after a few
               bytes and answers 426; later uploads go through
  drop-marked  does the same to every upload whose bytes begin with DROP
  no-final-size   as no-final, and SIZE tells the size received
  no-final-short  as no-final, and SIZE tells one byte less than received
  slow         takes each upload's data a block at a time, a twentieth of
               a second apart (about 1.3 MB/s)
  auth-stalled answers AUTH TLS with 234, then never takes part in the
               TLS handshake
  tls-plain-data  turns the control connection to TLS with the CERTIFICATE
               and KEY on AUTH TLS, but answers on data connections in plain
               text
Prints the port it listens on, then serves until killed. Uploads are
answered "226 received N bytes", or "426 aborted after N bytes" when the
client resets the data connection; with a LOG file, each upload also adds
a line "STOR NAME N end" or "STOR NAME N reset" to it. A stall lasts STALL_SECONDS, long
against the clients' limits, then the server closes the connection; so a
client that waits for the line end sees the cut line as whole, late.
"""
import socket
import struct
import ssl
import sys
import threading
import time

STALL_SECONDS = 6

# Shared by every session: what each name received, and whether the one
# dropped upload has happened.
received_sizes = {}
state = {"dropped": False}
state_lock = threading.Lock()


def reply(conn, text):
    conn.sendall((text + "\r\n").encode("latin-1"))


def stall(conn, text):
    """Sends the text without a line end, then neither answers nor closes."""
    conn.sendall(text.encode("latin-1"))
    conn.settimeout(STALL_SECONDS)
    try:
        while conn.recv(4096):
            pass
    except socket.timeout:
        pass


def log_upload(name, received, aborted):
    if len(sys.argv) > 2:
        with open(sys.argv[2], "a") as log:
            log.write("STOR %s %d %s\n" % (name, received, "reset" if aborted else "end"))


def session(conn, scenario):
    reader = conn.makefile("rb")
    if scenario == "silent":
        while reader.readline():
            pass
        return
    if scenario == "greeting":
        conn.sendall(b"220-Welcome to the scripted server\r\n220-Second line\r\n220 Ready\r\n")
    elif scenario == "greeting-cut":
        stall(conn, "220 Ready")
        return
    elif scenario == "greeting-closed":
        conn.sendall(b"220 Ready")
        return
    elif scenario == "greeting-endless":
        end = time.monotonic() + STALL_SECONDS
        while time.monotonic() < end:
            conn.sendall(b"220-Still greeting\r\n")
            time.sleep(0.1)
        reply(conn, "220 Ready")
    else:
        reply(conn, "220 Ready")
    listener = None
    while True:
        raw = reader.readline()
        if not raw:
            break
        line = raw.decode("latin-1").rstrip("\r\n")
        command, _, argument = line.partition(" ")
        command = command.upper()
        if command == "AUTH" and scenario == "auth-stalled":
            reply(conn, "234 Proceed with negotiation")
            stall(conn, "")
            return
        if command == "AUTH" and scenario == "tls-plain-data":
            reply(conn, "234 Proceed with negotiation")
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(sys.argv[3], sys.argv[4])
            conn = context.wrap_socket(conn, server_side=True)
            reader = conn.makefile("rb")
            continue
        if command in ("PBSZ", "PROT"):
            reply(conn, "200 Okay")
            continue
        if command == "USER":
            reply(conn, "331 Password required")
        elif command == "PASS":
            if scenario == "pass-cut":
                stall(conn, "230 Logged in")
                return
            reply(conn, "230 Logged in")
        elif command == "PWD":
            if scenario == "pwd-bare":
                reply(conn, "257 current directory is slash")
            else:
                reply(conn, '257 "/upload" is the current directory')
        elif command == "CWD":
            reply(conn, "250 Okay")
        elif command == "TYPE":
            reply(conn, "200 Type set")
        elif command == "MKD":
            reply(conn, '257 "%s" created' % argument)
        elif command == "PASV":
            if listener:
                listener.close()
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            if scenario == "stalled":
                # A small window fills at once, so the client's sends block.
                listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            listener.bind(("127.0.0.1", 0))
            listener.listen(1)
            port = listener.getsockname()[1]
            address = "10,0,0,5" if scenario == "pasv-other" else "127,0,0,1"
            reply(conn, "227 Entering Passive Mode (%s,%d,%d)." % (address, port // 256, port % 256))
        elif command == "STOR":
            if scenario == "stor-refused":
                reply(conn, "550 Not allowed")
                continue
            if not listener:
                reply(conn, "425 Use PASV first")
                continue
            if scenario == "stor-125":
                reply(conn, "125 Data connection already open")
            elif scenario == "stor-cut":
                stall(conn, "150 Opening data connection")
                return
            else:
                reply(conn, "150 Opening data connection")
            listener.settimeout(10)
            data, _ = listener.accept()
            if scenario == "stalled":
                # Holds the connection open unread until the client gives up.
                while conn.recv(4096):
                    pass
                data.close()
                break
            if scenario == "tls-plain-data":
                data.sendall(b"plain text, not a TLS handshake\r\n")
            received = 0
            aborted = False
            drop = False
            first = b""
            if scenario == "drop-once":
                with state_lock:
                    drop = not state["dropped"]
                    state["dropped"] = True
                if drop:
                    first = data.recv(1000)
            elif scenario == "drop-marked":
                first = data.recv(1000)
                drop = first.startswith(b"DROP")
            received = len(first)
            if drop:
                # A reset rather than an end: the client must see the cut.
                data.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                data.close()
                listener.close()
                listener = None
                log_upload(argument, received, True)
                reply(conn, "426 Connection closed; transfer aborted")
                continue
            while True:
                try:
                    block = data.recv(65536)
                except ConnectionResetError:
                    aborted = True
                    break
                if not block:
                    break
                received += len(block)
                if scenario == "slow":
                    time.sleep(0.05)
            data.close()
            listener.close()
            listener = None
            log_upload(argument, received, aborted)
            with state_lock:
                received_sizes[argument] = received
            if aborted:
                reply(conn, "426 aborted after %d bytes" % received)
            elif scenario == "final-cut":
                stall(conn, "226 received %d bytes" % received)
                return
            elif not scenario.startswith("no-final"):
                reply(conn, "226 received %d bytes" % received)
        elif command == "SIZE" and scenario in ("no-final-size", "no-final-short"):
            with state_lock:
                size = received_sizes.get(argument)
            if size is None:
                reply(conn, "550 No such file")
            else:
                reply(conn, "213 %d" % (size if scenario == "no-final-size" else size - 1))
        elif command == "QUIT":
            reply(conn, "221 Bye")
            break
        else:
            reply(conn, "502 Not implemented")


def serve(conn, scenario):
    try:
        session(conn, scenario)
    except OSError:
        pass
    finally:
        conn.close()


def main():
    scenario = sys.argv[1]
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 0))
    server.listen(8)
    print(server.getsockname()[1], flush=True)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, scenario), daemon=True).start()


if __name__ == "__main__":
    main()
