#include "core/PathInfo.h"

#include "core/AtomicFile.h"
#include "core/WebFetch.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace lumavine {

namespace {

String currentDirectory()
{
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return String();
    return String::fromNarrowLossless(buffer);
}

// The location with its "." and ".." steps taken and repeated slashes
// joined, by the text alone. What comes before the path stays as it is: the
// leading "/", or a drive or "file:" up to the slashes after it. ".." at the
// top of an absolute path stays at the top, as the system takes it; at the
// start of a relative path it is kept.
String normalizedPath(const String& location)
{
    size_t rootEnd = 0;
    size_t firstSlash = location.find(u'/');
    size_t colon = location.find(u':');
    if (firstSlash != String::npos && (firstSlash == 0 || (colon != String::npos && colon < firstSlash))) {
        rootEnd = firstSlash;
        while (rootEnd < location.size() && location[rootEnd] == u'/')
            ++rootEnd;
    }
    bool absolute = rootEnd > 0;
    std::vector<std::u16string_view> steps;
    std::u16string_view path(location);
    size_t at = rootEnd;
    while (at <= path.size()) {
        size_t end = path.find(u'/', at);
        if (end == std::u16string_view::npos)
            end = path.size();
        std::u16string_view step = path.substr(at, end - at);
        if (step == u"..") {
            if (!steps.empty() && steps.back() != u"..")
                steps.pop_back();
            else if (!absolute)
                steps.push_back(step);
        } else if (!step.empty() && step != u".") {
            steps.push_back(step);
        }
        at = end + 1;
    }
    String normal = location.substring(0, rootEnd);
    for (size_t i = 0; i < steps.size(); ++i) {
        if (i > 0)
            normal.push_back(u'/');
        normal.append(steps[i]);
    }
    if (!steps.empty() && location.endsWith(u"/"))
        normal.push_back(u'/');
    return normal;
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
    // "/p/content/custom/../../x.gif" lies outside "/p/content": the steps
    // are taken before the comparison. Web locations are compared as they are.
    String location = isWebLocation() ? m_location : normalizedPath(m_location);
    String prefix = base.isWebLocation() ? base.location() : normalizedPath(base.location());
    // "/p/content/" names the same directory as "/p/content".
    while (prefix.size() > 1 && prefix.endsWith(u"/"))
        prefix.pop_back();
    if (prefix.empty() || location.size() < prefix.size())
        return false;
    if (!location.substring(0, prefix.size()).equalsIgnoreCase(prefix))
        return false;
    if (location.size() == prefix.size())
        return true;
    // "/p/contents/a.gif" does not lie in "/p/content".
    size_t restStart = prefix.size();
    if (!prefix.endsWith(u"/")) {
        if (location[restStart] != u'/')
            return false;
        ++restStart;
    }
    rest = location.substring(restStart);
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
