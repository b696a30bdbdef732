#include "net/TcpConnect.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace lumavine {

namespace {

bool lookUpAddress(const std::string& host, in_addr& address)
{
    if (inet_pton(AF_INET, host.c_str(), &address) == 1)
        return true;
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return false;
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

// A blocking connect to a host that does not answer can take minutes; the
// connect runs non-blocking under a poll instead, then the socket turns
// blocking again.
bool connectWithin(int handle, const sockaddr_in& target, int timeoutMs)
{
    int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0 || fcntl(handle, F_SETFL, flags | O_NONBLOCK) < 0)
        return false;
    int result = ::connect(handle, reinterpret_cast<const sockaddr*>(&target), sizeof target);
    if (result < 0 && errno != EINPROGRESS)
        return false;
    if (result < 0) {
        pollfd waiting { handle, POLLOUT, 0 };
        int ready;
        do
            ready = poll(&waiting, 1, timeoutMs);
        while (ready < 0 && errno == EINTR);
        if (ready <= 0)
            return false;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(handle, SOL_SOCKET, SO_ERROR, &error, &length) < 0 || error != 0)
            return false;
    }
    return fcntl(handle, F_SETFL, flags) == 0;
}

}

bool lookUpIpv4(const std::string& host, std::string& dotted)
{
    in_addr address;
    if (!lookUpAddress(host, address))
        return false;
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &address, text, sizeof text))
        return false;
    dotted = text;
    return true;
}

int openTcpConnection(const std::string& host, int port, int timeoutMs)
{
    if (host.empty() || port <= 0 || port > 65535)
        return -1;
    in_addr address;
    if (!lookUpAddress(host, address))
        return -1;
    int handle = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (handle < 0)
        return -1;
    linger noLinger { 0, 0 };
    if (setsockopt(handle, SOL_SOCKET, SO_LINGER, &noLinger, sizeof noLinger) < 0) {
        ::close(handle);
        return -1;
    }
    // Commands and replies are short and strictly alternate; they should not
    // wait for the acknowledgement of earlier segments.
    int on = 1;
    setsockopt(handle, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);

    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port));
    target.sin_addr = address;
    if (!connectWithin(handle, target, timeoutMs)) {
        ::close(handle);
        return -1;
    }
    return handle;
}

namespace {

bool setTimeoutOption(int handle, int option, int timeoutMs)
{
    timeval limit {};
    limit.tv_sec = timeoutMs / 1000;
    limit.tv_usec = (timeoutMs % 1000) * 1000;
    return setsockopt(handle, SOL_SOCKET, option, &limit, sizeof limit) == 0;
}

}

bool setSendTimeout(int handle, int timeoutMs)
{
    return setTimeoutOption(handle, SO_SNDTIMEO, timeoutMs);
}

bool setReceiveTimeout(int handle, int timeoutMs)
{
    return setTimeoutOption(handle, SO_RCVTIMEO, timeoutMs);
}

}
