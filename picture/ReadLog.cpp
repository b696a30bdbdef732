#include "picture/ReadLog.h"

#include <algorithm>
#include <filesystem>

namespace lumavine {

namespace {

thread_local ReadLog* currentLog = nullptr;

}

FileStamp FileStamp::of(const String& path)
{
    FileStamp stamp;
    stamp.path = path;
    std::error_code error;
    const std::filesystem::path where(path.toNarrow());
    const auto size = std::filesystem::file_size(where, error);
    if (error)
        return stamp;
    const auto modified = std::filesystem::last_write_time(where, error);
    if (error)
        return stamp;
    stamp.size = static_cast<long long>(size);
    stamp.modified = static_cast<long long>(modified.time_since_epoch().count());
    return stamp;
}

ReadLog::ReadLog() : m_outer(currentLog)
{
    currentLog = this;
}

ReadLog::~ReadLog()
{
    currentLog = m_outer;
}

void ReadLog::note(const String& location)
{
    ReadLog* log = currentLog;
    if (!log || location.empty())
        return;
    auto known = std::find_if(
        log->m_reads.begin(), log->m_reads.end(), [&location](const FileStamp& read) { return read.path == location; });
    if (known != log->m_reads.end())
        return;
    // A web location has no stamp to compare, so a picture drawn from one
    // is never taken for up to date.
    const bool web = location.startsWith(u"http:") || location.startsWith(u"https:");
    FileStamp stamp;
    if (web)
        stamp.path = location;
    else
        stamp = FileStamp::of(location);
    log->m_reads.push_back(std::move(stamp));
}

}
