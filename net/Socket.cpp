#include "net/Socket.h"

#include "core/Lock.h"
#include "core/PtrList.h"
#include "net/TcpConnect.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumavine {

namespace {

struct LiveSockets {
    Lock lock;
    PtrListOf<Socket> sockets;
};

LiveSockets& liveSockets()
{
    static LiveSockets live;
    return live;
}

std::once_flag networkStarted;

void closeEveryLiveSocket()
{
    LiveSockets& live = liveSockets();
    std::lock_guard<Lock> guard(live.lock);
    for (Socket* socket : live.sockets) {
        socket->stopHook();
        socket->close();
    }
}

bool isDottedAddress(const std::string& host)
{
    in_addr address;
    return inet_pton(AF_INET, host.c_str(), &address) == 1;
}

// The text after the first ":" is a port when it is digits ending the
// location or followed by "/" or "?"; then the ":" does not end a scheme.
bool colonStartsPort(const String& location, size_t colon)
{
    size_t i = colon + 1;
    size_t digits = 0;
    while (i < location.size() && location[i] >= u'0' && location[i] <= u'9') {
        ++i;
        ++digits;
    }
    return digits > 0 && (i == location.size() || location[i] == u'/' || location[i] == u'?');
}

bool startsWithIgnoringCase(const String& text, std::u16string_view prefix)
{
    return text.size() >= prefix.size() && String(text.substring(0, prefix.size())).equalsIgnoreCase(prefix);
}

bool readPort(const String& text, int& port)
{
    if (text.empty() || text.size() > 5)
        return false;
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    if (value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

// Holds the socket non-blocking for one OpenSSL call, whose waits then go
// through poll and its deadline.
class NonBlocking {
public:
    explicit NonBlocking(int handle) : m_handle(handle), m_flags(fcntl(handle, F_GETFL))
    {
        if (m_flags >= 0)
            fcntl(m_handle, F_SETFL, m_flags | O_NONBLOCK);
    }
    ~NonBlocking()
    {
        if (m_flags >= 0)
            fcntl(m_handle, F_SETFL, m_flags);
    }
    NonBlocking(const NonBlocking&) = delete;
    NonBlocking& operator=(const NonBlocking&) = delete;

private:
    int m_handle;
    int m_flags;
};

}

bool startNetwork()
{
    std::call_once(networkStarted, [] { Thread::addExitCleanup(closeEveryLiveSocket); });
    return true;
}

Socket::Socket()
{
    startNetwork();
    LiveSockets& live = liveSockets();
    std::lock_guard<Lock> guard(live.lock);
    live.sockets.append(this);
}

Socket::~Socket()
{
    {
        LiveSockets& live = liveSockets();
        std::lock_guard<Lock> guard(live.lock);
        live.sockets.remove(this);
    }
    stopHook();
    close();
}

size_t Socket::liveSocketCount()
{
    LiveSockets& live = liveSockets();
    std::lock_guard<Lock> guard(live.lock);
    return live.sockets.count();
}

bool Socket::connect(const String& host, int port)
{
    if (host.empty() || port <= 0 || port > 65535)
        return false;
    close();
    m_host = host;
    m_port = port;

    int handle = openTcpConnection(host.toNarrow(), port, m_connectTimeoutMs);
    if (handle < 0)
        return false;
    m_handle = handle;
    if (!applySendTimeout() || !connectedHook()) {
        close();
        return false;
    }
    m_connected = true;
    return true;
}

void Socket::setSendTimeout(int milliseconds)
{
    m_sendTimeoutMs = milliseconds < 0 ? 0 : milliseconds;
    if (m_handle >= 0)
        applySendTimeout();
}

bool Socket::applySendTimeout()
{
    return lumavine::setSendTimeout(m_handle, m_sendTimeoutMs);
}

bool Socket::reconnect()
{
    String host = m_host;
    return connect(host, m_port);
}

bool Socket::waitReadable(int milliseconds)
{
    if (m_handle < 0)
        return false;
    if (m_receivePosition < m_receiveBuffer.size())
        return true;
    // Bytes OpenSSL has already taken off the socket and decrypted are not
    // seen by poll.
    if (m_tls && SSL_pending(m_tls.get()) > 0)
        return true;
    pollfd waiting { m_handle, POLLIN, 0 };
    int ready = poll(&waiting, 1, milliseconds < 0 ? 0 : milliseconds);
    return ready > 0 && (waiting.revents & (POLLIN | POLLHUP | POLLERR));
}

bool Socket::waitForData(const std::optional<Clock::time_point>& deadline)
{
    if (!deadline)
        return true;
    return waitFor(POLLIN, deadline);
}

bool Socket::waitFor(short events, const std::optional<Clock::time_point>& deadline)
{
    for (;;) {
        int wait = -1;
        if (deadline) {
            auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            wait = static_cast<int>(std::min<decltype(left)>(left, 1 << 30));
        }
        pollfd waiting { m_handle, events, 0 };
        int ready = poll(&waiting, 1, wait);
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // The call that follows reports the failure.
    }
}

long Socket::receiveSome(char* buffer, size_t size, const std::optional<Clock::time_point>& deadline)
{
    if (m_tls)
        return tlsReceive(buffer, size, deadline);
    if (!waitForData(deadline))
        return byteTimedOut;
    ssize_t received;
    do
        received = recv(m_handle, buffer, size, 0);
    while (received < 0 && errno == EINTR);
    return received < 0 ? -1 : static_cast<long>(received);
}

int Socket::readByte(const std::optional<Clock::time_point>& deadline)
{
    if (m_receivePosition >= m_receiveBuffer.size()) {
        if (m_handle < 0)
            return byteClosed;
        char block[4096];
        long received = receiveSome(block, sizeof block, deadline);
        if (received == byteTimedOut)
            return byteTimedOut;
        if (received <= 0)
            return byteClosed;
        m_receiveBuffer.assign(block, static_cast<size_t>(received));
        m_receivePosition = 0;
    }
    return static_cast<unsigned char>(m_receiveBuffer[m_receivePosition++]);
}

bool Socket::readLineImpl(std::string& line, bool joinCrLf, int timeoutMs)
{
    m_lineBuffer.clear();
    m_lastLineEnded = false;
    m_timedOut = false;
    if (m_handle < 0 && m_receivePosition >= m_receiveBuffer.size())
        return false;
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0)
        deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int c = readByte(deadline);
        if (c == byteTimedOut) {
            // A line that stops short is no line; what came is kept for the
            // caller's report only.
            m_timedOut = true;
            line = m_lineBuffer;
            return false;
        }
        if (c < 0) {
            m_skipLineFeed = false;
            if (m_lineBuffer.empty())
                return false;
            break;
        }
        if (c == '\n' && m_skipLineFeed) {
            m_skipLineFeed = false;
            continue;
        }
        m_skipLineFeed = false;
        if (c == '\r' || c == '\n') {
            m_skipLineFeed = joinCrLf && c == '\r';
            m_lastLineEnded = true;
            break;
        }
        m_lineBuffer.push_back(static_cast<char>(c));
    }
    line = m_lineBuffer;
    return true;
}

bool Socket::readLine(std::string& line, int timeoutMs)
{
    return readLineImpl(line, false, timeoutMs);
}

bool Socket::readLineJoiningCrLf(std::string& line, int timeoutMs)
{
    return readLineImpl(line, true, timeoutMs);
}

long Socket::receive(char* buffer, size_t size, int timeoutMs)
{
    m_timedOut = false;
    if (size == 0)
        return 0;
    if (m_receivePosition < m_receiveBuffer.size()) {
        size_t take = std::min(size, m_receiveBuffer.size() - m_receivePosition);
        m_receiveBuffer.copy(buffer, take, m_receivePosition);
        m_receivePosition += take;
        return static_cast<long>(take);
    }
    if (m_handle < 0)
        return -1;
    std::optional<Clock::time_point> deadline;
    if (timeoutMs >= 0)
        deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    long received = receiveSome(buffer, size, deadline);
    if (received == byteTimedOut) {
        m_timedOut = true;
        return -1;
    }
    return received;
}

bool Socket::sendText(const String& text)
{
    m_sendBuffer = text.toNarrow();
    return writeBytes(m_sendBuffer.data(), m_sendBuffer.size()) == static_cast<long>(m_sendBuffer.size());
}

bool Socket::sendBytes(std::string_view bytes)
{
    return writeBytes(bytes.data(), bytes.size()) == static_cast<long>(bytes.size());
}

long Socket::writeBytes(const char* bytes, size_t length)
{
    if (m_handle < 0)
        return -1;
    if (m_tls) {
        if (m_tlsBroken)
            return -1;
        SigpipeBlocker blocker;
        size_t sent = 0;
        while (sent < length) {
            // Blocking, so the send time limit holds as it does without TLS.
            errno = 0;
            int result
                = SSL_write(m_tls.get(), bytes + sent, static_cast<int>(std::min<size_t>(length - sent, 1 << 30)));
            if (result <= 0) {
                m_tlsError = tlsFailureReason(m_tls.get(), result);
                m_tlsBroken = true;
                return -1;
            }
            sent += static_cast<size_t>(result);
        }
        return static_cast<long>(sent);
    }
    // One send may take only part of a large block; a partial upload must
    // never pass for a whole one.
    size_t sent = 0;
    while (sent < length) {
        ssize_t result = send(m_handle, bytes + sent, length - sent, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return -1;
        sent += static_cast<size_t>(result);
    }
    return static_cast<long>(sent);
}

void Socket::abort()
{
    m_tls.reset();
    if (m_handle >= 0) {
        // Lingering on with no time to linger sends a reset on close.
        linger reset { 1, 0 };
        setsockopt(m_handle, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        ::close(m_handle);
        m_handle = -1;
    }
    close();
}

void Socket::close()
{
    if (m_tls) {
        if (m_handle >= 0 && !m_tlsBroken && !(SSL_get_shutdown(m_tls.get()) & SSL_SENT_SHUTDOWN)) {
            SigpipeBlocker blocker;
            SSL_shutdown(m_tls.get());
        }
        ERR_clear_error();
        m_tls.reset();
    }
    m_tlsBroken = false;
    if (m_handle >= 0) {
        shutdown(m_handle, SHUT_RDWR);
        ::close(m_handle);
    }
    m_handle = -1;
    m_connected = false;
    m_receiveBuffer.clear();
    m_receivePosition = 0;
    m_skipLineFeed = false;
}

bool Socket::startTls(ssl_ctx_st* context, const std::string& peerName, ssl_session_st* resume, int timeoutMs)
{
    m_tlsError.clear();
    if (m_handle < 0) {
        m_tlsError = "not connected";
        return false;
    }
    m_tls.reset(SSL_new(context));
    m_tlsBroken = false;
    if (!m_tls || SSL_set_fd(m_tls.get(), m_handle) != 1 || !setTlsPeerName(m_tls.get(), peerName)
        || (resume && SSL_set_session(m_tls.get(), resume) != 1)) {
        m_tlsError = "cannot set up TLS for " + peerName;
        ERR_clear_error();
        m_tls.reset();
        return false;
    }
    // Bytes read ahead in plain text would belong to no one now.
    m_receiveBuffer.clear();
    m_receivePosition = 0;
    int failure = 0;
    if (runTls(
            [this] { return SSL_connect(m_tls.get()); }, Clock::now() + std::chrono::milliseconds(timeoutMs), failure)
        != 1) {
        m_tlsBroken = true;
        return false;
    }
    return true;
}

template<typename Call>
int Socket::runTls(Call call, const std::optional<Clock::time_point>& deadline, int& failure)
{
    failure = SSL_ERROR_NONE;
    SigpipeBlocker blocker;
    NonBlocking scope(m_handle);
    for (;;) {
        errno = 0;
        int result = call();
        if (result > 0)
            return result;
        int kind = SSL_get_error(m_tls.get(), result);
        short events = kind == SSL_ERROR_WANT_READ ? POLLIN : kind == SSL_ERROR_WANT_WRITE ? POLLOUT : 0;
        if (!events) {
            failure = kind;
            m_tlsError = tlsFailureReason(m_tls.get(), result);
            return result;
        }
        if (!waitFor(events, deadline)) {
            failure = tlsTimedOut;
            m_tlsError = "no answer within the time limit";
            ERR_clear_error();
            return result;
        }
    }
}

long Socket::tlsReceive(char* buffer, size_t size, const std::optional<Clock::time_point>& deadline)
{
    if (m_tlsBroken)
        return -1;
    int failure = 0;
    int got = runTls([&] { return SSL_read(m_tls.get(), buffer, static_cast<int>(std::min<size_t>(size, 1 << 30))); },
        deadline, failure);
    if (got > 0)
        return got;
    if (failure == tlsTimedOut)
        return byteTimedOut;
    // Only close_notify is an orderly end; a close without it may have cut
    // what was sent, and counts as an error.
    if (failure == SSL_ERROR_ZERO_RETURN)
        return 0;
    m_tlsBroken = true;
    return -1;
}

bool Socket::endTls(int timeoutMs)
{
    if (!m_tls || m_tlsBroken || m_handle < 0)
        return false;
    {
        SigpipeBlocker blocker;
        errno = 0;
        int sent = SSL_shutdown(m_tls.get());
        if (sent == 1)
            return true;
        if (sent < 0) {
            m_tlsError = tlsFailureReason(m_tls.get(), sent);
            m_tlsBroken = true;
            return false;
        }
    }
    // A server that reads to the end of the stream, rather than to the
    // close_notify, learns of the end this way.
    ::shutdown(m_handle, SHUT_WR);
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char block[4096];
    for (;;) {
        long got = tlsReceive(block, sizeof block, deadline);
        if (got <= 0)
            return got == 0;
    }
}

TlsSessionPtr Socket::tlsSession() const
{
    return TlsSessionPtr(m_tls ? SSL_get1_session(m_tls.get()) : nullptr);
}

bool Socket::tlsSessionReused() const
{
    return m_tls && SSL_session_reused(m_tls.get()) == 1;
}

std::string Socket::tlsVersion() const
{
    return m_tls ? SSL_get_version(m_tls.get()) : std::string();
}

bool Socket::parseLocation(const String& location, String& host, int& port)
{
    port = 80;
    host.clear();
    m_path.clear();
    m_query.clear();

    size_t colon = location.find(u':');
    m_scheme
        = (colon == String::npos || colonStartsPort(location, colon)) ? String(u"http") : location.substring(0, colon);

    if (m_scheme.equalsIgnoreCase(u"file")) {
        m_path = (location.size() > 4 && startsWithIgnoringCase(location, u"file:")) ? location.substring(5) : location;
        return true;
    }
    if (!m_scheme.equalsIgnoreCase(u"http"))
        return false;

    String rest
        = (location.size() > 6 && startsWithIgnoringCase(location, u"http://")) ? location.substring(7) : location;
    size_t question = rest.rfind(u'?');
    if (question != String::npos) {
        m_query = rest.substring(question + 1);
        rest.resize(question);
    }
    size_t slash = rest.find(u'/');
    if (slash != String::npos) {
        m_path = rest.substring(slash);
        rest.resize(slash);
    }
    if (m_path.empty())
        m_path = u"/";
    size_t portColon = rest.find(u':');
    if (portColon != String::npos) {
        if (!readPort(rest.substring(portColon + 1), port))
            return false;
        rest.resize(portColon);
    }
    host = rest;
    return !host.empty();
}

bool Socket::openLocation(const String& location)
{
    String host;
    int port = 0;
    if (!parseLocation(location, host, port))
        return false;
    if (!m_scheme.equalsIgnoreCase(u"http"))
        return false;
    return connect(host, port);
}

String Socket::peerAddress() const
{
    if (m_handle < 0)
        return String();
    sockaddr_in peer {};
    socklen_t length = sizeof peer;
    if (getpeername(m_handle, reinterpret_cast<sockaddr*>(&peer), &length) < 0 || peer.sin_family != AF_INET)
        return String();
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text))
        return String();
    return String::fromLatin1(text);
}

String Socket::resolve(const String& host)
{
    std::string narrow = host.toNarrow();
    if (isDottedAddress(narrow))
        return host;
    std::string address;
    if (!lookUpIpv4(narrow, address))
        return host;
    return String::fromLatin1(address);
}

namespace {

struct LocalHost {
    String name;
    String address;
};

// Looked up on first use rather than at start-up: nothing on the usual paths
// needs it, and a look-up can block when the resolver is slow.
const LocalHost& localHost()
{
    static const LocalHost local = [] {
        LocalHost found;
        char name[256] = {};
        if (gethostname(name, sizeof name - 1) == 0 && name[0]) {
            addrinfo hints {};
            hints.ai_family = AF_INET;
            hints.ai_flags = AI_CANONNAME;
            addrinfo* result = nullptr;
            if (getaddrinfo(name, nullptr, &hints, &result) == 0 && result) {
                if (result->ai_canonname)
                    found.name = String(std::string(result->ai_canonname));
                freeaddrinfo(result);
            }
        }
        if (found.name.empty())
            found.name = u"localhost";
        found.address = Socket::resolve(found.name);
        return found;
    }();
    return local;
}

}

String Socket::localHostName()
{
    return localHost().name;
}

String Socket::localHostAddress()
{
    return localHost().address;
}

}
