#pragma once

#include "core/String.h"
#include "net/Socket.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace lumavine {

// How a connection is protected. Plain by default, as connections that
// never asked for more have always been.
struct FtpSecurity {
    // Explicit TLS (AUTH TLS, PBSZ 0, PROT P) on the control connection and
    // every data connection; a server that does not offer it is an error,
    // never a quiet fall back to plain text.
    bool tls = false;
    // A PEM file of the authorities to trust; empty trusts the system's.
    std::string certificateFile;
};

// A small blocking FTP client in passive mode: log in, learn and change the
// remote directory, create directories and upload files. It keeps an
// optional trace of everything it does.
class Ftp {
public:
    enum Flags : unsigned {
        TraceOn = 4,
        BinaryType = 8,
    };
    enum SendResult {
        SendSuccess = 0,
        SendNoFinalReply = 1,
        SendNoDataConnection = 2,
        SendCannotOpenFile = 3,
        SendFailure = 4,
    };

    // A name, user name or password holding one of these would end its
    // command early and let the rest pass for a command of its own; such
    // commands are refused, not sent.
    static bool holdsLineBreak(const String& text);

    explicit Ftp(int bufferSize);
    virtual ~Ftp();
    Ftp(const Ftp&) = delete;
    Ftp& operator=(const Ftp&) = delete;

    // How many seconds a reply may take in all, from the wait for its first
    // byte to the end of its last line.
    void setAttempts(int count) { m_attempts = count; }
    // How long an upload may wait for the server to take more bytes.
    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }
    // Without a stream the trace, when on, goes to the standard output.
    void setTrace(std::ostream* stream);
    // Takes effect at the next connect or reconnect.
    void setSecurity(FtpSecurity security) { m_security = std::move(security); }
    const FtpSecurity& security() const { return m_security; }
    // Asked for a password when the server wants one (331) and none was
    // given; nothing means the user declined, and the login fails. The
    // answer is kept for reconnecting. It is never traced.
    void setPasswordPrompt(std::function<std::optional<String>()> prompt) { m_passwordPrompt = std::move(prompt); }

    bool connect(const String& user, const String& password, const String& host, int port);
    bool reconnect();
    bool setBinary(bool binary);
    bool makeDirectory(const String& name);
    bool changeDirectory(const String& path);
    bool printDirectory(String& path);
    bool setType(bool binary);
    // A local file that cannot be read at all is refused before the server
    // hears of it; one that fails part way resets the upload and closes the
    // connection, so reconnect before going on.
    int sendFile(const String& localPath, const String& remoteName);
    // The size the server gives for a file in the current directory (SIZE,
    // answered 213 in binary type); nothing when it does not say.
    std::optional<long long> remoteSize(const String& remoteName);

    const String& errorText() const { return m_errorText; }
    const String& replyText() const { return m_replyText; }
    const String& currentDirectory() const { return m_currentDirectory; }
    int lastCode() const { return m_lastCode; }
    bool isConnected() const { return m_control.isConnected(); }

protected:
    // The next block of a local file being uploaded, as full as the file
    // allows: the count of bytes, 0 at its end, negative with errno set when
    // it cannot be read.
    virtual long readLocalFile(int handle, char* buffer, size_t size);

private:
    // Collects the lines of one reply; answers its code, 0 when none came
    // whole within the time limit. A line cut off sets the error text and
    // closes the control connection, whose replies no longer line up.
    int readReply();
    // Sends the command with "\r\n" and stores the reply's code; a command
    // holding a line break is refused with 0 and an error text.
    int command(const String& text, bool traced = true);
    void refuseCommand(const String& text, bool traced);
    std::unique_ptr<Socket> openDataConnection();
    // The context for this connection's TLS, from the security settings.
    bool prepareTls();
    // AUTH TLS and the handshake on the control connection; on failure the
    // connection is closed, so nothing more goes out in plain text.
    bool startControlTls();
    // PBSZ 0 and PROT P, so that data connections are protected too.
    bool protectDataConnections();
    // Closes the control connection with the error text, for a connection
    // that may not go on.
    bool failConnection(const String& error);
    int replyLimitMs() const { return std::max(m_attempts, 1) * 1000; }

    void trace(std::string_view text, bool endLine = true);
    void trace(const String& text) { trace(text.toNarrow()); }

    unsigned m_flags = 0;
    Socket m_control;
    String m_user;
    String m_password;
    String m_currentDirectory;
    std::unique_ptr<char[]> m_buffer;
    int m_bufferSize;
    int m_attempts = 10;
    int m_transferTimeoutMs = Socket::defaultSendTimeoutMs;
    int m_lastCode = 0;
    String m_replyText;
    String m_errorText;
    std::ostream* m_trace = nullptr;
    FtpSecurity m_security;
    TlsContextPtr m_tlsContext;
    std::function<std::optional<String>()> m_passwordPrompt;
};

}
