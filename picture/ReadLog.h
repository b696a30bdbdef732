#pragma once

#include "core/String.h"

#include <vector>

namespace lumavine {

// What a file looked like when a picture was read from it: its size and the
// time it was last changed, or size -1 when neither can be known (a web
// location, a file that is not there).
struct FileStamp {
    String path;
    long long size = -1;
    long long modified = 0;

    static FileStamp of(const String& path);
    bool operator==(const FileStamp&) const = default;
};

// Collects, on the thread that made it and while it lives, the files that
// pictures are read from, each stamped as it was at the time. Generation
// keeps them with a page picture so that a later run can tell whether the
// picture it would draw is the one already written. Logs nest; the inner
// one collects.
class ReadLog {
public:
    ReadLog();
    ~ReadLog();
    ReadLog(const ReadLog&) = delete;
    ReadLog& operator=(const ReadLog&) = delete;

    // Records a read on the current thread's log, if it has one.
    static void note(const String& location);
    const std::vector<FileStamp>& reads() const { return m_reads; }

private:
    ReadLog* m_outer;
    std::vector<FileStamp> m_reads;
};

}
