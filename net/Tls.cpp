#include "net/Tls.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <pthread.h>

namespace lumavine {

void TlsContextDeleter::operator()(ssl_ctx_st* context) const
{
    SSL_CTX_free(context);
}

void TlsDeleter::operator()(ssl_st* ssl) const
{
    SSL_free(ssl);
}

void TlsSessionDeleter::operator()(ssl_session_st* session) const
{
    SSL_SESSION_free(session);
}

SigpipeBlocker::SigpipeBlocker()
{
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    m_wasPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe, &m_old);
}

SigpipeBlocker::~SigpipeBlocker()
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

namespace {

std::string firstQueuedError()
{
    unsigned long code = ERR_get_error();
    if (code == 0)
        return std::string();
    if (ERR_SYSTEM_ERROR(code))
        return std::strerror(ERR_GET_REASON(code));
    const char* reason = ERR_reason_error_string(code);
    if (reason)
        return reason;
    char text[256] = {};
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

}

TlsContextPtr makeClientTlsContext(const std::string& authorityFile, std::string& error)
{
    TlsContextPtr context(SSL_CTX_new(TLS_client_method()));
    if (!context) {
        error = "cannot set up TLS: " + firstQueuedError();
        ERR_clear_error();
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_PEER, nullptr);
    int loaded = authorityFile.empty() ? SSL_CTX_set_default_verify_paths(context.get())
                                       : SSL_CTX_load_verify_locations(context.get(), authorityFile.c_str(), nullptr);
    if (loaded != 1) {
        std::string reason = firstQueuedError();
        if (reason.empty())
            reason = "no certificates in it";
        error = authorityFile.empty() ? "cannot read the system's trusted certificates: " + reason
                                      : "cannot read the certificate file " + authorityFile + ": " + reason;
        ERR_clear_error();
        return nullptr;
    }
    return context;
}

bool setTlsPeerName(ssl_st* ssl, const std::string& host)
{
    X509_VERIFY_PARAM* parameters = SSL_get0_param(ssl);
    in_addr address;
    if (inet_pton(AF_INET, host.c_str(), &address) == 1) {
        // Certificates name addresses in their own field; names only go in SNI.
        return X509_VERIFY_PARAM_set1_ip_asc(parameters, host.c_str()) == 1;
    }
    X509_VERIFY_PARAM_set_hostflags(parameters, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    return X509_VERIFY_PARAM_set1_host(parameters, host.c_str(), host.size()) == 1
        && SSL_set_tlsext_host_name(ssl, host.c_str()) == 1;
}

std::string tlsFailureReason(ssl_st* ssl, int result)
{
    int systemError = errno;
    int kind = SSL_get_error(ssl, result);
    long verified = SSL_get_verify_result(ssl);
    std::string reason;
    if (verified != X509_V_OK)
        reason = std::string("certificate verify failed: ") + X509_verify_cert_error_string(verified);
    else if (kind == SSL_ERROR_SSL)
        reason = firstQueuedError();
    else if (kind == SSL_ERROR_SYSCALL)
        reason = systemError ? std::strerror(systemError) : "the server closed the connection";
    else if (kind == SSL_ERROR_ZERO_RETURN)
        reason = "the server ended TLS";
    else if (kind == SSL_ERROR_WANT_READ || kind == SSL_ERROR_WANT_WRITE)
        reason = "no answer within the time limit";
    if (reason.empty())
        reason = "error " + std::to_string(kind);
    ERR_clear_error();
    return reason;
}

}
