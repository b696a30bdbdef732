#include "app/PublishManifest.h"

#include "core/AtomicFile.h"

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace lumavine {

namespace {

constexpr std::string_view header = "lumavine publish record 1";

struct DigestContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class FileHandle {
public:
    explicit FileHandle(int handle) : m_handle(handle) { }
    ~FileHandle()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const { return m_handle; }

private:
    int m_handle;
};

bool holdsLineEnd(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool isHexDigest(std::string_view text)
{
    if (text.size() != 64)
        return false;
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

// "key value" with the value running to the line end; false for another key.
bool field(const std::string& line, std::string_view key, std::string& value)
{
    if (line.size() < key.size() + 1 || line.compare(0, key.size(), key) != 0 || line[key.size()] != ' ')
        return false;
    value = line.substr(key.size() + 1);
    return true;
}

}

std::optional<FileFingerprint> fingerprintFile(const String& path)
{
    FileHandle file(::open(path.toNarrow().c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return std::nullopt;
    std::unique_ptr<EVP_MD_CTX, DigestContextFree> context(EVP_MD_CTX_new());
    if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        return std::nullopt;
    FileFingerprint fingerprint;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        fingerprint.size += got;
        if (EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(got)) != 1)
            return std::nullopt;
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1)
        return std::nullopt;
    static constexpr char hex[] = "0123456789abcdef";
    for (unsigned int i = 0; i < length; ++i) {
        fingerprint.digest.push_back(hex[digest[i] >> 4]);
        fingerprint.digest.push_back(hex[digest[i] & 15]);
    }
    return fingerprint;
}

String PublishManifest::pathFor(const String& projectDirectory, const String& connectionName)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string name = ".lumavine-publish-";
    for (unsigned char c : connectionName.toNarrow()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_') {
            name.push_back(static_cast<char>(c));
        } else {
            name.push_back('%');
            name.push_back(hex[c >> 4]);
            name.push_back(hex[c & 15]);
        }
    }
    return projectDirectory + u"/" + String::fromLatin1(name);
}

PublishManifest::PublishManifest(String path, Target target) : m_path(std::move(path)), m_target(std::move(target))
{
}

void PublishManifest::load()
{
    m_files.clear();
    std::ifstream in(m_path.toNarrow(), std::ios::binary);
    if (!in)
        return;
    std::string line;
    std::string value;
    if (!std::getline(in, line) || line != header)
        return;
    const std::string expected[] = { m_target.host.toNarrow(), std::to_string(m_target.port), m_target.user.toNarrow(),
        m_target.directory.toNarrow() };
    const std::string_view keys[] = { "host", "port", "user", "directory" };
    for (size_t i = 0; i < std::size(keys); ++i) {
        if (!std::getline(in, line) || !field(line, keys[i], value) || value != expected[i])
            return;
    }
    std::map<std::string, FileFingerprint> files;
    while (std::getline(in, line)) {
        // "file SIZE DIGEST PATH"
        if (!field(line, "file", value))
            return;
        std::istringstream words(value);
        FileFingerprint fingerprint;
        std::string digest;
        if (!(words >> fingerprint.size >> digest) || fingerprint.size < 0 || !isHexDigest(digest)
            || words.get() != ' ')
            return;
        fingerprint.digest = digest;
        std::string path;
        std::getline(words, path);
        if (path.empty())
            return;
        files[path] = fingerprint;
    }
    // Only a record read to its end counts; one cut short may miss the
    // forgetting of a file whose upload then failed.
    if (in.bad())
        return;
    m_files = std::move(files);
}

bool PublishManifest::save() const
{
    std::string text(header);
    text += "\nhost " + m_target.host.toNarrow();
    text += "\nport " + std::to_string(m_target.port);
    text += "\nuser " + m_target.user.toNarrow();
    text += "\ndirectory " + m_target.directory.toNarrow() + "\n";
    for (const auto& [path, fingerprint] : m_files)
        text += "file " + std::to_string(fingerprint.size) + " " + fingerprint.digest + " " + path + "\n";
    return writeFileAtomically(m_path.toNarrow(), text);
}

bool PublishManifest::matches(const String& remotePath, const FileFingerprint& fingerprint) const
{
    auto found = m_files.find(remotePath.toNarrow());
    return found != m_files.end() && found->second == fingerprint;
}

void PublishManifest::record(const String& remotePath, const FileFingerprint& fingerprint)
{
    std::string key = remotePath.toNarrow();
    // A line end in a name would split the record's line; such a file is
    // simply sent every time.
    if (key.empty() || holdsLineEnd(key))
        return;
    m_files[key] = fingerprint;
}

void PublishManifest::forget(const String& remotePath)
{
    m_files.erase(remotePath.toNarrow());
}

}
