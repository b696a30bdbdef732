#include "core/PathInfo.h"

#include "core/WebFetch.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace lumavine {

namespace {

String currentDirectory()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return String();
    return String(buffer);
}

bool writeAll(int fd, const char* data, size_t length)
{
    while (length > 0) {
        ssize_t written = ::write(fd, data, length);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        length -= size_t(written);
    }
    return true;
}

// Writes a new file beside the target and renames it over the target, so
// that the target is either the old file or the complete new one.
bool replaceFile(const std::string& target, const std::function<bool(int fd)>& writeContent)
{
    static std::atomic<unsigned> counter { 0 };
    size_t slash = target.rfind('/');
    std::string directory = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = directory == "." ? std::string("./") : directory;
        temporary += ".lumavine-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".part";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeContent(fd);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}

PathInfo::PathInfo(std::u16string_view location, std::u16string_view baseDirectory) : m_baseDirectory(baseDirectory)
{
    m_baseDirectory.replaceChar(u'\\', u'/');
    setLocation(location);
}

void PathInfo::setLocation(std::u16string_view location)
{
    m_flags = 0;
    m_infoResult = -1;
    m_status = {};
    m_location = String(location);
    m_location.replaceChar(u'\\', u'/');
    m_directory.clear();
    m_fileName.clear();
    m_scheme.clear();
    m_baseName.clear();
    m_extension.clear();

    size_t schemeEnd = m_location.find(u"://");
    if (schemeEnd != String::npos) {
        m_scheme = m_location.substring(0, schemeEnd);
        m_location = m_location.substring(schemeEnd + 3);
        m_directory = m_location;
        if (m_scheme.equalsIgnoreCase(u"http") || m_scheme.equalsIgnoreCase(u"https"))
            m_flags |= WebLocation;
    } else {
        size_t colon = m_location.find(u':');
        if (colon == String::npos) {
            if (m_location.empty())
                return;
            if (m_location[0] != u'/') {
                String base = m_baseDirectory.empty() ? currentDirectory() : m_baseDirectory;
                if (!base.endsWith(u"/"))
                    base.push_back(u'/');
                m_location = base + m_location;
            }
            m_directory = m_location;
        } else if (colon == 1) {
            m_directory = m_location;
        } else {
            m_directory = m_location.substring(colon + 1);
        }
    }

    size_t slash = m_directory.rfind(u'/');
    if (slash == String::npos)
        return;
    m_fileName = m_directory.substring(slash + 1);
    m_directory.erase(slash);
    size_t dot = m_fileName.rfind(u'.');
    if (dot != String::npos) {
        m_baseName = m_fileName.substring(0, dot);
        m_extension = m_fileName.substring(dot + 1);
    }
}

std::string PathInfo::systemPath() const
{
    // "file:/x" keeps its prefix in the location; the file is /x.
    if (m_scheme.empty() && m_location.size() > 5 && m_location.substring(0, 5).equalsIgnoreCase(u"file:"))
        return m_location.substring(5).toNarrow();
    return m_location.toNarrow();
}

int PathInfo::loadInfo()
{
    if (m_location.startsWith(u"file://"))
        m_location.erase(0, 7);
    // A web location names nothing on this machine, even when a local file
    // happens to have the same relative name.
    if (m_flags & WebLocation || m_location.empty())
        return m_infoResult = -1;
    struct stat status;
    if (::stat(systemPath().c_str(), &status) != 0)
        return m_infoResult = -1;
    m_status = status;
    m_flags |= InfoLoaded | Exists;
    return m_infoResult = 0;
}

bool PathInfo::exists()
{
    if (!(m_flags & InfoLoaded))
        loadInfo();
    return m_flags & Exists;
}

bool PathInfo::isFile()
{
    return exists() && S_ISREG(m_status.st_mode);
}

bool PathInfo::isDirectory()
{
    return exists() && S_ISDIR(m_status.st_mode);
}

long long PathInfo::size()
{
    return exists() ? static_cast<long long>(m_status.st_size) : 0;
}

std::time_t PathInfo::modified()
{
    return exists() ? m_status.st_mtime : 0;
}

bool PathInfo::makeDirectory()
{
    if ((m_flags & WebLocation) || m_location.empty())
        return false;
    if (::mkdir(systemPath().c_str(), 0755) != 0)
        return false;
    m_flags &= ~(InfoLoaded | Exists);
    return true;
}

bool PathInfo::remove()
{
    if ((m_flags & WebLocation) || m_location.empty())
        return false;
    if (::unlink(systemPath().c_str()) != 0)
        return false;
    m_flags &= ~(InfoLoaded | Exists);
    m_infoResult = -1;
    return true;
}

bool PathInfo::relativeTo(std::u16string_view directory, String& rest) const
{
    rest.clear();
    PathInfo base(directory, m_baseDirectory);
    String prefix = base.location();
    // "/p/content/" names the same directory as "/p/content".
    while (prefix.size() > 1 && prefix.endsWith(u"/"))
        prefix.pop_back();
    if (prefix.empty() || m_location.size() < prefix.size())
        return false;
    if (!m_location.substring(0, prefix.size()).equalsIgnoreCase(prefix))
        return false;
    if (m_location.size() == prefix.size())
        return true;
    // "/p/contents/a.gif" does not lie in "/p/content".
    size_t restStart = prefix.size();
    if (!prefix.endsWith(u"/")) {
        if (m_location[restStart] != u'/')
            return false;
        ++restStart;
    }
    rest = m_location.substring(restStart);
    return true;
}

bool PathInfo::copyTo(std::u16string_view destination)
{
    std::string target = String(destination).toNarrow();
    if (target.empty())
        return false;

    if (m_flags & WebLocation) {
        WebFetcher fetch = webFetcher();
        if (!fetch)
            return false;
        std::string body;
        if (!fetch((m_scheme + u"://" + m_location).toNarrow(), body))
            return false;
        return replaceFile(target, [&](int fd) { return writeAll(fd, body.data(), body.size()); });
    }

    if (loadInfo() != 0)
        return false;
    int source = ::open(systemPath().c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0)
        return false;
    bool copied = replaceFile(target, [source](int fd) {
        char block[4096];
        for (;;) {
            ssize_t got = ::read(source, block, sizeof block);
            if (got == 0)
                return true;
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (!writeAll(fd, block, size_t(got)))
                return false;
        }
    });
    ::close(source);
    return copied;
}

}
