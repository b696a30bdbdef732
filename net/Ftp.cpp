#include "net/Ftp.h"

#include "net/FtpReply.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <string>
#include <unistd.h>

namespace lumavine {

namespace {

// Replies are ASCII in practice; bytes that are not valid in the locale are
// kept one character per byte rather than dropped.
String replyLineText(const std::string& line)
{
    String text(line);
    if (text.empty() && !line.empty())
        text = String::fromLatin1(line);
    return text;
}

std::string narrow(const String& text)
{
    return text.toNarrow();
}

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline)
{
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<decltype(left)>(left, 0, 1 << 30));
}

// The bytes of a command's text as they would go out.
bool holdsLineBreakBytes(std::string_view bytes)
{
    return bytes.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Line breaks and other controls written out, for error texts and traces.
std::string visible(std::string_view bytes)
{
    std::string out;
    for (char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\0')
            out += "\\0";
        else
            out.push_back(c);
    }
    return out;
}

String systemError(int error)
{
    return String::fromLatin1(std::strerror(error));
}

class FileCloser {
public:
    explicit FileCloser(int handle) : m_handle(handle) { }
    ~FileCloser() { ::close(m_handle); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int m_handle;
};

}

bool Ftp::holdsLineBreak(const String& text)
{
    return holdsLineBreakBytes(narrow(text));
}

Ftp::Ftp(int bufferSize)
    : m_buffer(std::make_unique<char[]>(static_cast<size_t>(bufferSize > 0 ? bufferSize : 8192)))
    , m_bufferSize(bufferSize > 0 ? bufferSize : 8192)
{
}

Ftp::~Ftp()
{
    m_control.close();
}

void Ftp::setTrace(std::ostream* stream)
{
    if (stream)
        m_flags |= TraceOn;
    else
        m_flags &= ~unsigned(TraceOn);
    m_trace = stream;
}

void Ftp::trace(std::string_view text, bool endLine)
{
    if (!(m_flags & TraceOn))
        return;
    std::ostream& out = m_trace ? *m_trace : std::cout;
    out << text;
    if (endLine)
        out << '\n';
    else
        out.flush();
}

int Ftp::readReply()
{
    trace("get response");
    m_replyText.clear();
    // One time limit for the whole reply, however many lines it has and
    // however slowly their bytes come.
    Clock::time_point deadline = Clock::now() + std::chrono::seconds(std::max(m_attempts, 1));
    int code = 0;
    for (;;) {
        int waits = 0;
        trace("read line...", false);
        while (!m_control.waitReadable(std::min(1000, millisecondsLeft(deadline)))) {
            ++waits;
            trace("no data, attempt: " + std::to_string(waits));
            if (waits >= m_attempts || millisecondsLeft(deadline) == 0) {
                trace("failing after " + std::to_string(waits) + " attempts");
                return 0;
            }
        }
        std::string line;
        bool read = m_control.readLine(line, millisecondsLeft(deadline));
        if (!read && !m_control.timedOut())
            return 0;
        if (!read || !m_control.lastLineEnded()) {
            // Part of a line is no reply; and the rest of it may yet come and
            // be taken for the answer to the next command.
            String reason = m_control.timedOut()
                ? u"no line end within " + String::number(std::max(m_attempts, 1)) + u" s"
                : String(u"the connection closed before the line end");
            m_errorText
                = u"Incomplete reply from the server (" + reason + u"): \"" + replyLineText(visible(line)) + u"\"";
            trace("incomplete line [" + line + "]");
            m_replyText.clear();
            m_control.close();
            return 0;
        }
        trace("got line");
        if (line.empty())
            continue;
        trace("got line [" + line + "]");
        m_replyText.append(replyLineText(line));
        m_replyText.push_back(u'\n');
        code = parseFtpReplyLine(line);
        if (code)
            break;
    }
    trace("get response return: " + std::to_string(code));
    return code;
}

void Ftp::refuseCommand(const String& text, bool traced)
{
    std::string bytes = narrow(text);
    size_t blank = bytes.find(' ');
    std::string verb = bytes.substr(0, blank);
    // A password is not written out, not even in an error.
    std::string argument
        = blank == std::string::npos || !traced ? std::string() : " \"" + visible(bytes.substr(blank + 1)) + "\"";
    m_errorText = String::fromLatin1(
        "Refused to send " + verb + argument + ": a carriage return, line feed or NUL would end the command early");
    trace(m_errorText);
    m_replyText.clear();
    m_lastCode = 0;
}

int Ftp::command(const String& text, bool traced)
{
    if (holdsLineBreak(text)) {
        refuseCommand(text, traced);
        return 0;
    }
    String line = text + u"\r\n";
    if (traced)
        trace(narrow(line), false);
    if (!m_control.sendText(line)) {
        // Nothing can answer a command that never left.
        m_replyText.clear();
        m_lastCode = 0;
        return 0;
    }
    m_lastCode = readReply();
    return m_lastCode;
}

bool Ftp::connect(const String& user, const String& password, const String& host, int port)
{
    trace("connect user=" + narrow(user) + " host=" + narrow(host) + " port=" + std::to_string(port));
    m_errorText.clear();
    // Refused before anything is sent, so no part of them reaches the server.
    if (holdsLineBreak(user) || holdsLineBreak(password)) {
        refuseCommand(holdsLineBreak(user) ? u"USER " + user : u"PASS " + password, holdsLineBreak(user));
        return false;
    }
    trace("connect to: " + narrow(host) + ":" + std::to_string(port));
    m_user = user;
    m_password = password;
    if (m_security.tls && !prepareTls())
        return false;

    if (!m_control.connect(host, port)) {
        m_errorText = u"Cannot connect to " + host + u":" + String::number(port);
        trace(m_errorText);
        return false;
    }
    // A reply that never came whole leaves its own error text.
    auto replyAsError = [this] {
        if (!m_replyText.empty())
            m_errorText = m_replyText;
    };
    m_lastCode = readReply();
    if (m_lastCode != 220) {
        replyAsError();
        return false;
    }
    if (m_security.tls && !startControlTls())
        return false;
    auto accepted = [](int code) { return code == 230 || code == 331 || code == 332; };
    if (!user.empty()) {
        trace("send user: " + narrow(user));
        if (!accepted(command(u"USER " + user))) {
            replyAsError();
            return false;
        }
    }
    if (m_password.empty() && m_lastCode == 331 && m_passwordPrompt) {
        trace("asking for the password");
        std::optional<String> given = m_passwordPrompt();
        if (!given) {
            m_errorText = u"Login cancelled: no password was given for " + user;
            trace(m_errorText);
            return false;
        }
        if (holdsLineBreak(*given)) {
            refuseCommand(u"PASS " + *given, false);
            return false;
        }
        m_password = *given;
    }
    if (!m_password.empty()) {
        trace("send password");
        if (!accepted(command(u"PASS " + m_password, false))) {
            replyAsError();
            return false;
        }
    }
    if (m_control.isTls() && !protectDataConnections())
        return false;
    printDirectory(m_currentDirectory);
    if (m_flags & BinaryType)
        setType(true);
    return true;
}

bool Ftp::failConnection(const String& error)
{
    m_errorText = error;
    trace(m_errorText);
    m_control.close();
    return false;
}

bool Ftp::prepareTls()
{
    std::string error;
    m_tlsContext = makeClientTlsContext(m_security.certificateFile, error);
    if (!m_tlsContext)
        return failConnection(u"Cannot use TLS: " + String::fromLatin1(error));
    return true;
}

bool Ftp::startControlTls()
{
    trace("starting TLS");
    if (command(u"AUTH TLS") != 234) {
        String answer = m_replyText;
        while (!answer.empty() && (answer.back() == u'\n' || answer.back() == u'\r'))
            answer.pop_back();
        if (answer.empty())
            answer = m_errorText.empty() ? String(u"no reply") : m_errorText;
        return failConnection(u"The server does not offer TLS (AUTH TLS answered: " + answer + u")");
    }
    String host = m_control.host();
    if (!m_control.startTls(m_tlsContext.get(), narrow(host), nullptr, replyLimitMs()))
        return failConnection(u"TLS handshake with " + host + u" failed: " + String::fromLatin1(m_control.tlsError()));
    trace("TLS started: " + m_control.tlsVersion());
    return true;
}

bool Ftp::protectDataConnections()
{
    for (const char16_t* step : { u"PBSZ 0", u"PROT P" }) {
        if (command(step) != 200) {
            String reply = m_replyText.empty() ? String(u"no reply") : m_replyText;
            return failConnection(u"The server refused " + String(step) + u" (protected data connections): " + reply);
        }
    }
    return true;
}

bool Ftp::reconnect()
{
    if (m_security.tls && !prepareTls())
        return false;
    if (!m_control.reconnect())
        return false;
    m_lastCode = readReply();
    if (m_lastCode != 220)
        return false;
    if (m_security.tls && !startControlTls())
        return false;
    if (!m_user.empty()) {
        trace("send user: " + narrow(m_user));
        command(u"USER " + m_user);
    }
    if (!m_password.empty()) {
        trace("send password");
        command(u"PASS " + m_password, false);
    }
    if (m_control.isTls() && !protectDataConnections())
        return false;
    if (m_flags & BinaryType)
        command(u"TYPE I");
    // A failed PWD earlier leaves no directory to return to; "CWD " with
    // nothing after it would only draw an error.
    if (!m_currentDirectory.empty()) {
        String directory = m_currentDirectory;
        changeDirectory(directory);
    }
    return true;
}

bool Ftp::setBinary(bool binary)
{
    if (binary)
        m_flags |= BinaryType;
    else
        m_flags &= ~unsigned(BinaryType);
    if (!m_control.isConnected())
        return false;
    return setType(binary);
}

bool Ftp::setType(bool binary)
{
    return command(binary ? u"TYPE I" : u"TYPE A") == 200;
}

bool Ftp::makeDirectory(const String& name)
{
    return command(u"MKD " + name) == 257;
}

bool Ftp::changeDirectory(const String& path)
{
    int code = command(u"CWD " + path);
    if (code != 200 && code != 250)
        return false;
    printDirectory(m_currentDirectory);
    return true;
}

bool Ftp::printDirectory(String& path)
{
    path.clear();
    if (command(u"PWD") != 257)
        return false;
    size_t open = m_replyText.find(u'"');
    if (open == String::npos)
        return false;
    size_t close = m_replyText.find(u'"', open + 1);
    if (close == String::npos)
        return false;
    path = m_replyText.substring(open + 1, close);
    return true;
}

std::unique_ptr<Socket> Ftp::openDataConnection()
{
    if (command(u"PASV") != 227)
        return nullptr;
    std::string address;
    int port = 0;
    if (!parsePassiveReply(narrow(m_replyText), address, port))
        return nullptr;
    String host = String::fromLatin1(address);
    // Servers behind address translation often name their private address;
    // the data connection belongs to the same server as the control one.
    String peer = m_control.peerAddress();
    if (!peer.empty() && !peer.equals(host))
        host = peer;

    auto data = std::make_unique<Socket>();
    data->setSendTimeout(m_transferTimeoutMs);
    if (!data->connect(host, port)) {
        m_errorText = u"Cannot connect to " + host + u":" + String::number(port);
        return nullptr;
    }
    return data;
}

std::optional<long long> Ftp::remoteSize(const String& remoteName)
{
    if (command(u"SIZE " + remoteName) != 213)
        return std::nullopt;
    // "213 12345": the size follows the code and its blank.
    std::string reply = narrow(m_replyText);
    size_t start = reply.rfind("213 ");
    if (start == std::string::npos)
        return std::nullopt;
    start += 4;
    size_t end = start;
    long long size = 0;
    while (end < reply.size() && reply[end] >= '0' && reply[end] <= '9' && end - start < 18)
        size = size * 10 + (reply[end++] - '0');
    if (end == start || (end < reply.size() && reply[end] != '\n' && reply[end] != '\r' && reply[end] != ' '))
        return std::nullopt;
    return size;
}

long Ftp::readLocalFile(int handle, char* buffer, size_t size)
{
    size_t filled = 0;
    while (filled < size) {
        ssize_t got = ::read(handle, buffer + filled, size - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += static_cast<size_t>(got);
    }
    return static_cast<long>(filled);
}

int Ftp::sendFile(const String& localPath, const String& remoteName)
{
    std::string local = narrow(localPath);
    trace("send file: " + local + " to " + visible(narrow(remoteName)));
    if (holdsLineBreak(remoteName)) {
        refuseCommand(u"STOR " + remoteName, true);
        trace("send file failure: " + local);
        return SendFailure;
    }

    int handle = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        trace("error opening file: " + local);
        m_errorText = u"Cannot open local file: " + localPath;
        return SendCannotOpenFile;
    }
    FileCloser closer(handle);
    // The first block is read before the server hears of the file, so that a
    // directory, or a file that cannot be read, leaves nothing behind there.
    long got = readLocalFile(handle, m_buffer.get(), static_cast<size_t>(m_bufferSize));
    if (got < 0) {
        int error = errno;
        trace("error reading file: " + local);
        m_errorText = u"Cannot open local file: " + localPath + u" (" + systemError(error) + u")";
        return SendCannotOpenFile;
    }
    std::unique_ptr<Socket> data = openDataConnection();
    if (!data) {
        trace("cannot get data connection: " + local);
        return SendNoDataConnection;
    }
    // 125 says the data connection was already open, as it is when the
    // server has accepted it before the STOR arrived; both start the upload.
    int code = command(u"STOR " + remoteName);
    if (code != 150 && code != 125) {
        trace("send file failure: " + local);
        return SendFailure;
    }
    if (m_control.isTls()) {
        trace("starting TLS on the data connection");
        // Servers may insist that the data connection resumes the control
        // connection's session, to know both come from the same client.
        // Under TLS 1.3 the session's ticket comes after the handshake and is
        // taken in while reading the replies to the login, so by the first
        // upload it is there; vsftpd resumes it, and no cap at TLS 1.2 is
        // needed.
        TlsSessionPtr session = m_control.tlsSession();
        if (!data->startTls(m_tlsContext.get(), narrow(m_control.host()), session.get(), replyLimitMs())) {
            String reason = String::fromLatin1(data->tlsError());
            data.reset();
            // The server answers the transfer that never began; taking that
            // answer here keeps the next command's in line.
            m_lastCode = readReply();
            m_errorText = u"TLS on the data connection failed: " + reason;
            if (!m_replyText.empty())
                m_errorText += u" (the server says: " + m_replyText.substring(0, m_replyText.size() - 1) + u")";
            trace(m_errorText);
            trace("send file failure: " + local);
            return SendFailure;
        }
        trace("data connection TLS started: " + data->tlsVersion()
            + (data->tlsSessionReused() ? ", session resumed" : ", new session"));
    }

    long long total = 0;
    for (long long index = 0; got > 0; ++index) {
        if (data->writeBytes(m_buffer.get(), static_cast<size_t>(got)) != got) {
            // The server saw only part of the file; it must not pass for sent.
            m_errorText = u"Upload interrupted after " + String::number(total) + u" bytes: " + localPath;
            trace("send file failure: " + local);
            return SendFailure;
        }
        total += got;
        if (index > 0 && index % 10 == 0)
            trace("total bytes sent: " + std::to_string(total));
        got = readLocalFile(handle, m_buffer.get(), static_cast<size_t>(m_bufferSize));
        if (got < 0) {
            int error = errno;
            trace("error reading file: " + local);
            // A reset, not an end: the server must not take the part it got
            // for the whole file. Servers answer a cut transfer late, twice
            // or not at all, so the control connection goes too, rather than
            // leave an answer to be taken for the next command's.
            data->abort();
            data.reset();
            m_control.close();
            m_replyText.clear();
            m_lastCode = 0;
            m_errorText = u"Upload stopped after " + String::number(total) + u" bytes, cannot read local file: "
                + localPath + u" (" + systemError(error) + u")";
            trace("send file failure: " + local);
            return SendFailure;
        }
    }
    // Closing the data connection is what tells the server the file ended;
    // under TLS only its close_notify shows that the end is not a cut.
    if (data->isTls() && !data->endTls(replyLimitMs()))
        trace("data connection TLS did not end cleanly: " + data->tlsError());
    data->close();
    data.reset();

    m_control.waitReadable(1000);
    m_lastCode = readReply();
    if (m_lastCode == 0) {
        trace("send file no response: " + local);
        return SendNoFinalReply;
    }
    if (m_lastCode == 226) {
        trace("send file success: " + local);
        return SendSuccess;
    }
    trace("send file failure: " + local);
    return SendFailure;
}

}
