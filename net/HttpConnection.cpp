#include "net/HttpConnection.h"

#include "net/TcpConnect.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumavine {

namespace {

bool setTimeouts(int handle, int timeoutMs)
{
    return setReceiveTimeout(handle, timeoutMs) && setSendTimeout(handle, timeoutMs);
}

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the
// peer has gone; the signal is held back for the call and a pending one
// swallowed, so a dropped connection is a failed fetch, not a dead process.
class SigpipeBlocker {
public:
    SigpipeBlocker()
    {
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe, &m_old);
    }
    ~SigpipeBlocker()
    {
        if (!m_wasPending) {
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            timespec none {};
            while (sigtimedwait(&pipe, nullptr, &none) > 0) { }
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    SigpipeBlocker(const SigpipeBlocker&) = delete;
    SigpipeBlocker& operator=(const SigpipeBlocker&) = delete;

private:
    sigset_t m_old;
    bool m_wasPending = false;
};

}

void HttpConnection::ContextDeleter::operator()(ssl_ctx_st* context) const
{
    SSL_CTX_free(context);
}

void HttpConnection::SslDeleter::operator()(ssl_st* ssl) const
{
    SSL_free(ssl);
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
    X509_VERIFY_PARAM* parameters = SSL_get0_param(m_ssl.get());
    in_addr address;
    if (inet_pton(AF_INET, host.c_str(), &address) == 1) {
        // Certificates name addresses in their own field; names only go in SNI.
        if (X509_VERIFY_PARAM_set1_ip_asc(parameters, host.c_str()) != 1)
            return false;
    } else {
        X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        if (X509_VERIFY_PARAM_set1_host(parameters, host.c_str(), host.size()) != 1
            || SSL_set_tlsext_host_name(m_ssl.get(), host.c_str()) != 1)
            return false;
    }
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
