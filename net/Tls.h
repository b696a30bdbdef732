#pragma once

#include <csignal>
#include <memory>
#include <string>

struct ssl_ctx_st;
struct ssl_st;
struct ssl_session_st;

namespace lumavine {

struct TlsContextDeleter {
    void operator()(ssl_ctx_st* context) const;
};
struct TlsDeleter {
    void operator()(ssl_st* ssl) const;
};
struct TlsSessionDeleter {
    void operator()(ssl_session_st* session) const;
};
using TlsContextPtr = std::unique_ptr<ssl_ctx_st, TlsContextDeleter>;
using TlsPtr = std::unique_ptr<ssl_st, TlsDeleter>;
using TlsSessionPtr = std::unique_ptr<ssl_session_st, TlsSessionDeleter>;

// OpenSSL writes to the socket with write(), which raises SIGPIPE when the
// peer has gone; the signal is held back for the call and a pending one
// swallowed, so a dropped connection is a failed transfer, not a dead process.
class SigpipeBlocker {
public:
    SigpipeBlocker();
    ~SigpipeBlocker();
    SigpipeBlocker(const SigpipeBlocker&) = delete;
    SigpipeBlocker& operator=(const SigpipeBlocker&) = delete;

private:
    sigset_t m_old;
    bool m_wasPending = false;
};

// A client context that checks the server's certificate: against the
// system's trusted authorities, or when a PEM file is named, against the
// authorities in it only. TLS 1.2 at least. Null with the reason in `error`
// when the file cannot be read.
TlsContextPtr makeClientTlsContext(const std::string& authorityFile, std::string& error);

// Makes the handshake check that the certificate names the host: a dotted
// address against the certificate's addresses, a name against its names,
// which also goes out as the server name indication.
bool setTlsPeerName(ssl_st* ssl, const std::string& host);

// Why a handshake or transfer failed, for the user: the certificate check's
// own words when it was that, else OpenSSL's first queued error, else the
// system's. Clears OpenSSL's error queue.
std::string tlsFailureReason(ssl_st* ssl, int result);

}
