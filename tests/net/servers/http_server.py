"""An HTTP (or, with --tls CERT KEY, HTTPS) server for the fetch tests.

Prints the port it listens on, then serves until killed. Paths:
  /hello               200 with a Content-Length
  /missing             404
  /redirect            302 to the relative location "/hello"
  /see-other           303 to an absolute location of /hello
  /temporary           307 to "hello" relative to the directory
  /dir/sub/up          302 to "../target"
  /target              200 "resolved"
  /chunked             a chunked body
  /close               a body that runs to the end of the connection
  /loop                302 to itself
  /chain/N             302 to /chain/N-1; /chain/0 answers 200
  /big/N               N bytes with a Content-Length
  /bigchunked/N        N bytes in chunks
  /silent              never answers
  /short               promises more bytes than it sends
  /page.html           an HTML page with unclosed list items
  /lines               a body with every kind of line end, the last line
                       without one
Misbehaving answers; a stall lasts STALL_SECONDS, long against the clients'
limits, then the server closes the connection:
  /stall-status        "HTTP/1.0 20", then a stall
  /stall-header        a status line and "Content-Type: te", then a stall
  /stall-body          "HTTP/1.0 200 OK", a blank line and "<p>partial", then
                       a stall
  /cut-header          a status line and "Content-Type: te", then the close
  /continue-forever    "100 Continue" again and again, for STALL_SECONDS
  /headers-forever     a status line, then header lines a twentieth of a
                       second apart, for STALL_SECONDS
  /trickle-body        a body without a length, a byte a twentieth of a
                       second, for STALL_SECONDS
Bodies in codings (the client asks for none); ZIPPED is what they decode to:
  /gzip                Content-Encoding: gzip
  /x-gzip              Content-Encoding: x-gzip in two gzip members
  /gzip-chunked        Transfer-Encoding: gzip, chunked
  /deflate             Content-Encoding: deflate (the zlib format)
  /deflate-raw         Content-Encoding: deflate (raw, as some servers send)
  /brotli              Content-Encoding: br
  /gzip-corrupt        Content-Encoding: gzip over bytes that are not gzip
  /gzip-cut            Content-Encoding: gzip, its last bytes missing
  /gzip-page.html      /page.html in gzip
  /gzip-picture.png    PICTURE in gzip
"""
import gzip
import socket
import ssl
import sys
import time
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

STALL_SECONDS = 6
ZIPPED = b"compressed text " * 1000
PICTURE = bytes(range(256)) * 40


def deflate_raw(data):
    compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
    return compressor.compress(data) + compressor.flush()

PAGE = (
    "<html>\r\n<head><title>Served page</title></head>\r\n<body>\r\n"
    "<ul>\r\n<li>first\r\n<li>second\r\n<li>third\r\n</ul>\r\n</body>\r\n</html>\r\n"
)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def raw(self, data):
        self.wfile.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        self.wfile.flush()
        self.close_connection = True

    def stall(self, data):
        """Sends the bytes, then neither sends more nor closes for a while."""
        self.wfile.write(data.encode("latin-1"))
        self.wfile.flush()
        time.sleep(STALL_SECONDS)
        self.close_connection = True

    def trickle(self, head, piece, interval):
        """Sends the head, then the piece again and again for a while."""
        self.wfile.write(head.encode("latin-1"))
        end = time.monotonic() + STALL_SECONDS
        while time.monotonic() < end:
            self.wfile.write(piece.encode("latin-1"))
            self.wfile.flush()
            time.sleep(interval)
        self.close_connection = True

    def answer(self, status, reason, body=b"", headers=()):
        head = "HTTP/1.1 %d %s\r\nContent-Length: %d\r\nConnection: close\r\n" % (status, reason, len(body))
        for name, value in headers:
            head += "%s: %s\r\n" % (name, value)
        self.raw(head.encode("latin-1") + b"\r\n" + body)

    def base(self):
        scheme = "https" if self.server.tls else "http"
        return "%s://127.0.0.1:%d" % (scheme, self.server.server_address[1])

    def do_GET(self):
        path = self.path
        if path == "/hello":
            self.answer(200, "OK", b"hello world", [("Content-Type", "text/plain")])
        elif path == "/missing":
            self.answer(404, "Not Found", b"nothing here")
        elif path == "/redirect":
            self.answer(302, "Found", b"", [("Location", "/hello")])
        elif path == "/see-other":
            self.answer(303, "See Other", b"", [("Location", self.base() + "/hello")])
        elif path == "/temporary":
            self.answer(307, "Temporary Redirect", b"", [("Location", "hello")])
        elif path == "/dir/sub/up":
            self.answer(302, "Found", b"", [("Location", "../target")])
        elif path == "/dir/target":
            self.answer(200, "OK", b"resolved")
        elif path == "/chunked":
            self.raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                     "5\r\nhello\r\n1;ext=1\r\n \r\nA\r\nchunked wo\r\n3\r\nrld\r\n0\r\nTrailer: x\r\n\r\n")
        elif path == "/close":
            self.raw("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nuntil the end")
        elif path == "/loop":
            self.answer(302, "Found", b"", [("Location", "/loop")])
        elif path.startswith("/chain/"):
            n = int(path[7:])
            if n == 0:
                self.answer(200, "OK", b"chain end")
            else:
                self.answer(302, "Found", b"", [("Location", "/chain/%d" % (n - 1))])
        elif path.startswith("/big/"):
            self.answer(200, "OK", b"x" * int(path[5:]))
        elif path.startswith("/bigchunked/"):
            n = int(path[12:])
            self.raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n")
            while n > 0:
                size = min(n, 100000)
                self.wfile.write(b"%x\r\n" % size + b"y" * size + b"\r\n")
                n -= size
            self.raw(b"0\r\n\r\n")
        elif path == "/silent":
            time.sleep(60)
        elif path == "/short":
            self.raw("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly this")
        elif path == "/page.html":
            self.answer(200, "OK", PAGE.encode("latin-1"), [("Content-Type", "text/html")])
        elif path == "/lines":
            self.raw("HTTP/1.0 200 OK\r\n\r\none\r\n\r\ntwo\nthree\r\rfour")
        elif path == "/stall-status":
            self.stall("HTTP/1.0 20")
        elif path == "/stall-header":
            self.stall("HTTP/1.0 200 OK\r\nContent-Type: te")
        elif path == "/stall-body":
            self.stall("HTTP/1.0 200 OK\r\n\r\n<p>partial")
        elif path == "/cut-header":
            self.raw("HTTP/1.0 200 OK\r\nContent-Type: te")
        elif path == "/continue-forever":
            self.trickle("", "HTTP/1.1 100 Continue\r\n\r\n", 0.01)
        elif path == "/headers-forever":
            self.trickle("HTTP/1.1 200 OK\r\n", "X-Pad: more\r\n", 0.05)
        elif path == "/trickle-body":
            self.trickle("HTTP/1.0 200 OK\r\n\r\n", "x", 0.05)
        elif path == "/gzip":
            self.answer(200, "OK", gzip.compress(ZIPPED), [("Content-Encoding", "gzip")])
        elif path == "/x-gzip":
            half = len(ZIPPED) // 2
            body = gzip.compress(ZIPPED[:half]) + gzip.compress(ZIPPED[half:])
            self.answer(200, "OK", body, [("Content-Encoding", "x-gzip")])
        elif path == "/gzip-chunked":
            body = gzip.compress(ZIPPED)
            half = len(body) // 2
            self.raw(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, chunked\r\nConnection: close\r\n\r\n"
                     + b"%x\r\n" % half + body[:half] + b"\r\n"
                     + b"%x\r\n" % (len(body) - half) + body[half:] + b"\r\n0\r\n\r\n")
        elif path == "/deflate":
            self.answer(200, "OK", zlib.compress(ZIPPED), [("Content-Encoding", "deflate")])
        elif path == "/deflate-raw":
            self.answer(200, "OK", deflate_raw(ZIPPED), [("Content-Encoding", "deflate")])
        elif path == "/brotli":
            self.answer(200, "OK", b"\x1b\x0f\x00\xf8not really brotli", [("Content-Encoding", "br")])
        elif path == "/gzip-corrupt":
            self.answer(200, "OK", b"plain text, not gzip", [("Content-Encoding", "gzip")])
        elif path == "/gzip-cut":
            self.answer(200, "OK", gzip.compress(ZIPPED)[:-12], [("Content-Encoding", "gzip")])
        elif path == "/gzip-page.html":
            self.answer(200, "OK", gzip.compress(PAGE.encode("latin-1")),
                        [("Content-Type", "text/html"), ("Content-Encoding", "gzip")])
        elif path == "/gzip-picture.png":
            self.answer(200, "OK", gzip.compress(PICTURE),
                        [("Content-Type", "image/png"), ("Content-Encoding", "gzip")])
        else:
            self.answer(404, "Not Found", b"unknown")


class Server(ThreadingHTTPServer):
    daemon_threads = True
    tls = False

    def handle_error(self, request, client_address):
        # Clients that give up early (size limits, refused certificates) are
        # part of the tests.
        pass


def main():
    server = Server(("127.0.0.1", 0), Handler)
    if len(sys.argv) >= 4 and sys.argv[1] == "--tls":
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
        server.tls = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
