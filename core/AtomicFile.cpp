#include "core/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumavine {

namespace {

// The file that saving to `path` must replace: the path itself, or the end of
// the chain of symbolic links it starts (which need not exist yet). False for
// a chain too long to be anything but a loop.
bool followLinks(std::string path, std::string& target)
{
    for (int hop = 0; hop < 40; ++hop) {
        struct stat status;
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            target = path;
            return true;
        }
        char buffer[PATH_MAX];
        ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (length <= 0 || size_t(length) >= sizeof buffer)
            return false;
        std::string link(buffer, size_t(length));
        if (link[0] == '/') {
            path = link;
        } else {
            size_t slash = path.rfind('/');
            path = slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
        }
    }
    errno = ELOOP;
    return false;
}

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

bool replaceFile(const std::string& path, const std::function<bool(int fd)>& writeContent)
{
    static std::atomic<unsigned> counter { 0 };
    std::string target;
    if (path.empty() || !followLinks(path, target))
        return false;
    struct stat existing;
    bool replacing = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);

    size_t slash = target.rfind('/');
    std::string directory = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = directory + ".lumavine-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".part";
        // Private until the content is in and the old file's mode is set;
        // a new file is made as any program would make it.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeContent(fd);
    if (ok && replacing) {
        // The owner first, since changing it may clear set-id bits. A process
        // that may not give the file away may still keep its group.
        if (::fchown(fd, existing.st_uid, existing.st_gid) != 0 && ::fchown(fd, uid_t(-1), existing.st_gid) != 0) {
            // Neither: the file becomes the process's own, as a new one would.
        }
        ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes)
{
    return replaceFile(path, [bytes](int fd) { return writeAll(fd, bytes.data(), bytes.size()); });
}

}
