#pragma once

#include "core/String.h"
#include "core/Thread.h"
#include "net/Tls.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace lumavine {

// A blocking IPv4 TCP client connection with line reading and raw writing.
// Everything that crosses it is 8-bit text. The thread base is never started;
// it only lends the socket its life-cycle hooks.
class Socket : public Thread {
public:
    // A connect to a dead host would otherwise block for minutes.
    static constexpr int defaultConnectTimeoutMs = 10000;
    // A peer that stops reading would otherwise hold a send forever.
    static constexpr int defaultSendTimeoutMs = 10000;
    // The time limit of readLine, readLineJoiningCrLf and receive that
    // waits as long as it takes.
    static constexpr int waitForever = -1;

    Socket();
    ~Socket() override;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    bool connect(const String& host, int port);
    bool reconnect();
    // Zero polls without waiting.
    bool waitReadable(int milliseconds);
    // The bytes up to a carriage return or line feed, which is dropped; so a
    // "\r\n" pair yields the line and then an empty one. When the peer closes,
    // the bytes read so far, or false when there are none. With a time limit
    // the whole line, not only its first byte, must come within it; when it
    // passes the answer is false, with the bytes that did come in the line.
    bool readLine(std::string& line, int timeoutMs = waitForever);
    // The same, but "\r\n" ends one line only, as HTTP headers need.
    bool readLineJoiningCrLf(std::string& line, int timeoutMs = waitForever);
    // Whether the last line read ended with a line end, rather than being
    // cut off by the close of the connection or by its time limit.
    bool lastLineEnded() const { return m_lastLineEnded; }
    // Whether the last line or receive failed because its time limit passed.
    bool timedOut() const { return m_timedOut; }
    // Up to size bytes, the ones already received ahead first, waiting at
    // most the time limit for them; 0 when the peer closed, negative on an
    // error or when the time passed.
    long receive(char* buffer, size_t size, int timeoutMs);
    // Narrows the text and sends all of it; false when the connection fails.
    bool sendText(const String& text);
    bool sendBytes(std::string_view bytes);
    // Sends every byte; answers the count, or a negative value on failure.
    long writeBytes(const char* bytes, size_t length);
    // Sends TLS's close_notify first when TLS is on and sound.
    void close();
    // Closes with a reset rather than an orderly end, so that the peer cannot
    // take the bytes it got for the whole of what was to come.
    void abort();

    // Starts TLS as the client on the connected socket; from then on every
    // read and write goes through it. The certificate must name `peerName`,
    // and the handshake must end within the time limit. A session of an
    // earlier connection to the same server, when given, is offered for
    // resumption. False with the reason in tlsError(); the connection is
    // then of no further use.
    bool startTls(ssl_ctx_st* context, const std::string& peerName, ssl_session_st* resume, int timeoutMs);
    bool isTls() const { return bool(m_tls); }
    // Why the handshake, or a later read or write, failed.
    const std::string& tlsError() const { return m_tlsError; }
    // The session to offer a further connection; null without TLS.
    TlsSessionPtr tlsSession() const;
    bool tlsSessionReused() const;
    // The protocol, as "TLSv1.3"; empty without TLS.
    std::string tlsVersion() const;
    // Sends close_notify and waits within the time limit for the peer's, or
    // for its close, taking whatever else it still sends. Without this the
    // peer cannot tell a whole transfer from a cut one, and unread bytes
    // (such as session tickets) would turn the close into a reset. True when
    // the peer's end came in time; the connection still needs close().
    bool endTls(int timeoutMs);

    // Splits a location into scheme, host, port, path and query.
    bool parseLocation(const String& location, String& host, int& port);
    // Parses the location and connects for "http"; "file" and anything else
    // connect nothing and answer false.
    bool openLocation(const String& location);

    // The dotted address of the connected peer, empty when not connected.
    String peerAddress() const;

    bool isConnected() const { return m_connected; }
    int handle() const { return m_handle; }
    const String& host() const { return m_host; }
    int port() const { return m_port; }
    const String& scheme() const { return m_scheme; }
    const String& path() const { return m_path; }
    const String& query() const { return m_query; }
    const std::string& sendBuffer() const { return m_sendBuffer; }
    void setConnectTimeout(int milliseconds) { m_connectTimeoutMs = milliseconds; }
    // How long one send may wait for the peer to take bytes before it fails;
    // zero waits for ever.
    void setSendTimeout(int milliseconds);

    // A dotted IPv4 address is answered as it is; a name is looked up and its
    // first address answered; a failed look-up answers the name itself.
    static String resolve(const String& host);
    // The local host's name and dotted address, found on first use.
    static String localHostName();
    static String localHostAddress();
    // Every live socket, for the process's exit cleanup and for tests.
    static size_t liveSocketCount();

protected:
    // Runs after the connection is made; false closes it again.
    virtual bool connectedHook() { return true; }

private:
    using Clock = std::chrono::steady_clock;
    static constexpr int byteClosed = -1;
    static constexpr int byteTimedOut = -2;
    static constexpr int tlsTimedOut = -1;

    bool readLineImpl(std::string& line, bool joinCrLf, int timeoutMs);
    bool applySendTimeout();
    // Waits for the connection to have bytes or to close; false when the
    // deadline passes first. No deadline answers at once, as the blocking
    // receive that follows does the waiting.
    bool waitForData(const std::optional<Clock::time_point>& deadline);
    // Waits for the events; no deadline waits for ever.
    bool waitFor(short events, const std::optional<Clock::time_point>& deadline);
    // Up to size received bytes: the count, 0 when the peer closed, -1 on
    // an error, byteTimedOut when the deadline passed first.
    long receiveSome(char* buffer, size_t size, const std::optional<Clock::time_point>& deadline);
    // Runs an OpenSSL call with the socket non-blocking, waiting between
    // tries for what it wants until it succeeds or the deadline passes;
    // answers its result, with m_tlsError set on failure and `failure`
    // holding OpenSSL's kind of error, or tlsTimedOut.
    template<typename Call>
    int runTls(Call call, const std::optional<Clock::time_point>& deadline, int& failure);
    long tlsReceive(char* buffer, size_t size, const std::optional<Clock::time_point>& deadline);
    // The next received byte; byteClosed when the peer closed or an error
    // occurred, byteTimedOut when the deadline passed first.
    int readByte(const std::optional<Clock::time_point>& deadline);

    std::string m_lineBuffer;
    std::string m_sendBuffer;
    // Bytes received ahead of the line being read.
    std::string m_receiveBuffer;
    size_t m_receivePosition = 0;
    bool m_skipLineFeed = false;
    bool m_lastLineEnded = false;
    bool m_timedOut = false;
    String m_host;
    int m_port = 0;
    int m_handle = -1;
    bool m_connected = false;
    int m_connectTimeoutMs = defaultConnectTimeoutMs;
    int m_sendTimeoutMs = defaultSendTimeoutMs;
    String m_scheme = u"http";
    String m_path;
    String m_query;
    TlsPtr m_tls;
    // After a failed TLS call no close_notify may be sent.
    bool m_tlsBroken = false;
    std::string m_tlsError;
};

// Prepares the process for sockets; runs inside the first socket's
// construction. There is no network library to start here, so it only
// arranges that every live socket is closed when the process exits.
bool startNetwork();

}
