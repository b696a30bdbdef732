#include "net/HttpConnection.h"

#include "net/TcpConnect.h"
#include "net/Tls.h"

#include <algorithm>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumavine {

namespace {

bool setTimeouts(int handle, int timeoutMs)
{
    return setReceiveTimeout(handle, timeoutMs) && setSendTimeout(handle, timeoutMs);
}

}

HttpConnection::~HttpConnection()
{
    close();
}

bool HttpConnection::open(const HttpUrl& url, int timeoutMs)
{
    close();
    m_handle = openTcpConnection(url.host, url.port, timeoutMs);
    if (m_handle < 0)
        return false;
    if (!setTimeouts(m_handle, timeoutMs) || (url.isTls() && !startTls(url.host))) {
        close();
        return false;
    }
    m_readTimeoutMs = timeoutMs;
    return true;
}

bool HttpConnection::startTls(const std::string& host)
{
    // A fresh context per connection reads the trusted authorities anew, so
    // SSL_CERT_FILE set after start-up still counts; fetches are rare.
    m_context.reset(SSL_CTX_new(TLS_client_method()));
    if (!m_context)
        return false;
    SSL_CTX_set_min_proto_version(m_context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(m_context.get(), SSL_VERIFY_PEER, nullptr);
    // Servers often close without a close_notify; the response parser knows
    // from the length or the chunks whether the body is whole.
    SSL_CTX_set_options(m_context.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
    if (SSL_CTX_set_default_verify_paths(m_context.get()) != 1)
        return false;

    m_ssl.reset(SSL_new(m_context.get()));
    if (!m_ssl || SSL_set_fd(m_ssl.get(), m_handle) != 1)
        return false;
    if (!setTlsPeerName(m_ssl.get(), host))
        return false;
    SigpipeBlocker blocker;
    bool connected = SSL_connect(m_ssl.get()) == 1 && SSL_get_verify_result(m_ssl.get()) == X509_V_OK;
    ERR_clear_error();
    return connected;
}

bool HttpConnection::writeAll(std::string_view bytes)
{
    if (m_handle < 0)
        return false;
    if (m_ssl) {
        SigpipeBlocker blocker;
        while (!bytes.empty()) {
            int written
                = SSL_write(m_ssl.get(), bytes.data(), static_cast<int>(std::min<size_t>(bytes.size(), 1 << 30)));
            if (written <= 0) {
                ERR_clear_error();
                return false;
            }
            bytes.remove_prefix(static_cast<size_t>(written));
        }
        return true;
    }
    while (!bytes.empty()) {
        ssize_t written = send(m_handle, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

long HttpConnection::read(char* buffer, size_t size, int timeoutMs)
{
    if (m_handle < 0)
        return -1;
    // Zero would wait for ever.
    timeoutMs = std::max(timeoutMs, 1);
    if (timeoutMs != m_readTimeoutMs) {
        if (!setReceiveTimeout(m_handle, timeoutMs))
            return -1;
        m_readTimeoutMs = timeoutMs;
    }
    return read(buffer, size);
}

long HttpConnection::read(char* buffer, size_t size)
{
    if (m_handle < 0)
        return -1;
    if (m_ssl) {
        SigpipeBlocker blocker;
        int got = SSL_read(m_ssl.get(), buffer, static_cast<int>(std::min<size_t>(size, 1 << 30)));
        if (got > 0)
            return got;
        int error = SSL_get_error(m_ssl.get(), got);
        ERR_clear_error();
        if (error == SSL_ERROR_ZERO_RETURN)
            return 0;
        return -1;
    }
    for (;;) {
        ssize_t got = recv(m_handle, buffer, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        return got < 0 ? -1 : static_cast<long>(got);
    }
}

void HttpConnection::close()
{
    if (m_ssl && m_handle >= 0) {
        SigpipeBlocker blocker;
        SSL_shutdown(m_ssl.get());
        ERR_clear_error();
    }
    m_ssl.reset();
    m_context.reset();
    if (m_handle >= 0)
        ::close(m_handle);
    m_handle = -1;
}

}
