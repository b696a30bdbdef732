#include "net/Socket.h"

#include "core/Lock.h"
#include "core/PtrList.h"
#include "net/TcpConnect.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
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
    pollfd waiting { m_handle, POLLIN, 0 };
    int ready = poll(&waiting, 1, milliseconds < 0 ? 0 : milliseconds);
    return ready > 0 && (waiting.revents & (POLLIN | POLLHUP | POLLERR));
}

bool Socket::waitForData(const std::optional<Clock::time_point>& deadline)
{
    if (!deadline)
        return true;
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd waiting { m_handle, POLLIN, 0 };
        int ready = poll(&waiting, 1, static_cast<int>(std::min<decltype(left)>(left, 1 << 30)));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return true; // The receive that follows reports the failure.
    }
}

int Socket::readByte(const std::optional<Clock::time_point>& deadline)
{
    if (m_receivePosition >= m_receiveBuffer.size()) {
        if (m_handle < 0)
            return byteClosed;
        if (!waitForData(deadline))
            return byteTimedOut;
        char block[4096];
        ssize_t received;
        do
            received = recv(m_handle, block, sizeof block, 0);
        while (received < 0 && errno == EINTR);
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
    if (!waitForData(deadline)) {
        m_timedOut = true;
        return -1;
    }
    ssize_t received;
    do
        received = recv(m_handle, buffer, size, 0);
    while (received < 0 && errno == EINTR);
    return received < 0 ? -1 : static_cast<long>(received);
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
