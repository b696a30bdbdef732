#pragma once

#include "net/HttpUrl.h"
#include "net/Tls.h"

#include <memory>
#include <string_view>

namespace lumavine {

// One client connection for a fetch: plain TCP, or TLS for "https" with the
// server's certificate checked against the trusted authorities and the host
// name. Every blocking step (connect, handshake, each read and each write)
// has the same time limit.
class HttpConnection {
public:
    HttpConnection() = default;
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    bool open(const HttpUrl& url, int timeoutMs);
    bool writeAll(std::string_view bytes);
    // Bytes read into the buffer; 0 when the peer closed; negative on error
    // or when the time limit passed.
    long read(char* buffer, size_t size);
    // The same with a time limit of its own for this read.
    long read(char* buffer, size_t size, int timeoutMs);
    void close();

private:
    bool startTls(const std::string& host);

    int m_handle = -1;
    // The receive limit the socket has now.
    int m_readTimeoutMs = 0;
    TlsContextPtr m_context;
    TlsPtr m_ssl;
};

}
