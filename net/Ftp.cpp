#include "net/Ftp.h"

#include "net/FtpReply.h"

#include <fstream>
#include <iostream>
#include <string>

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
    int code = 0;
    for (;;) {
        int waits = 0;
        trace("read line...", false);
        while (!m_control.waitReadable(1000)) {
            ++waits;
            trace("no data, attempt: " + std::to_string(waits));
            if (waits >= m_attempts) {
                trace("failing after " + std::to_string(waits) + " attempts");
                return code;
            }
        }
        std::string line;
        if (!m_control.readLine(line))
            return code;
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

int Ftp::command(const String& text, bool traced)
{
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
    trace("connect to: " + narrow(host) + ":" + std::to_string(port));
    m_user = user;
    m_password = password;

    if (!m_control.connect(host, port)) {
        m_errorText = u"Cannot connect to " + host + u":" + String::number(port);
        trace(m_errorText);
        return false;
    }
    m_lastCode = readReply();
    if (m_lastCode != 220) {
        m_errorText = m_replyText;
        return false;
    }
    auto accepted = [](int code) { return code == 230 || code == 331 || code == 332; };
    if (!user.empty()) {
        trace("send user: " + narrow(user));
        if (!accepted(command(u"USER " + user))) {
            m_errorText = m_replyText;
            return false;
        }
    }
    if (!password.empty()) {
        trace("send password");
        if (!accepted(command(u"PASS " + password, false))) {
            m_errorText = m_replyText;
            return false;
        }
    }
    printDirectory(m_currentDirectory);
    if (m_flags & BinaryType)
        setType(true);
    return true;
}

bool Ftp::reconnect()
{
    if (!m_control.reconnect())
        return false;
    m_lastCode = readReply();
    if (m_lastCode != 220)
        return false;
    if (!m_user.empty()) {
        trace("send user: " + narrow(m_user));
        command(u"USER " + m_user);
    }
    if (!m_password.empty()) {
        trace("send password");
        command(u"PASS " + m_password, false);
    }
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

int Ftp::sendFile(const String& localPath, const String& remoteName)
{
    std::string local = narrow(localPath);
    trace("send file: " + local + " to " + narrow(remoteName));

    std::ifstream file(local, std::ios::binary);
    if (!file) {
        trace("error opening file: " + local);
        m_errorText = u"Cannot open local file: " + localPath;
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

    long long total = 0;
    for (long long index = 0;; ++index) {
        file.read(m_buffer.get(), m_bufferSize);
        std::streamsize got = file.gcount();
        if (got <= 0)
            break;
        if (data->writeBytes(m_buffer.get(), static_cast<size_t>(got)) != got) {
            // The server saw only part of the file; it must not pass for sent.
            m_errorText = u"Upload interrupted after " + String::number(total) + u" bytes: " + localPath;
            trace("send file failure: " + local);
            return SendFailure;
        }
        total += got;
        if (index > 0 && index % 10 == 0)
            trace("total bytes sent: " + std::to_string(total));
    }
    file.close();
    // Closing the data connection is what tells the server the file ended.
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
