#pragma once

#include "core/PathInfo.h"
#include "core/PtrList.h"

#include <memory>
#include <vector>

namespace lumavine {

// Decides which entries a listing keeps.
class DirectoryFilter {
public:
    virtual ~DirectoryFilter() = default;
    virtual bool accept(const String& name, PathInfo& entry) const = 0;
};

// The entries of one directory, listed when the object is made.
class Directory : public PtrListSort {
public:
    enum Flag {
        FilesOnly = 1,
        DirectoriesOnly = 2,
        IncludeHidden = 4,
        Sorted = 8,
    };

    // The filter is not owned and must outlive the Directory and the
    // subdirectories made from it.
    explicit Directory(std::u16string_view path, const DirectoryFilter* filter = nullptr, int flags = 0);
    explicit Directory(const PathInfo& path, const DirectoryFilter* filter = nullptr, int flags = 0);
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;
    ~Directory() override;

    // Forgets the old entries and lists again. A directory that cannot be
    // read gives no entries.
    void relist(std::u16string_view path, const DirectoryFilter* filter, int flags);

    const String& path() const { return m_path; }
    int flags() const { return m_flags; }
    const PtrListOf<PathInfo>& entries() const { return m_entries; }

    // Fills `list` with a Directory (same filter and flags) for every
    // directory below this one, each followed by its own subdirectories,
    // preceded by this directory itself when asked. Hidden directories are
    // entered only with IncludeHidden; a directory reached again through a
    // link is not entered twice. Answers the count.
    size_t subdirectories(std::vector<std::unique_ptr<Directory>>& list, bool includeSelf) const;

    bool compare(const PtrList& list, const void* a, const void* b) const override;

private:
    void deleteEntries();

    String m_path;
    PtrListOf<PathInfo> m_entries;
    const DirectoryFilter* m_filter = nullptr;
    int m_flags = 0;
};

}
