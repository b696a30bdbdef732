#include "core/Directory.h"

#include <dirent.h>
#include <set>
#include <utility>

namespace lumavine {

namespace {

using FileIdentity = std::pair<dev_t, ino_t>;

void collectSubdirectories(const String& path, const DirectoryFilter* filter, int flags,
    std::vector<std::unique_ptr<Directory>>& list, std::set<FileIdentity>& visited)
{
    // The descent sees every directory; the filter and the kind flags only
    // choose the entries of each listing.
    Directory children(
        path, nullptr, Directory::DirectoriesOnly | (flags & (Directory::IncludeHidden | Directory::Sorted)));
    for (PathInfo* child : children.entries()) {
        if (!visited.insert({ child->status().st_dev, child->status().st_ino }).second)
            continue;
        list.push_back(std::make_unique<Directory>(child->location(), filter, flags));
        collectSubdirectories(child->location(), filter, flags, list, visited);
    }
}

}

Directory::Directory(std::u16string_view path, const DirectoryFilter* filter, int flags)
{
    relist(path, filter, flags);
}

Directory::Directory(const PathInfo& path, const DirectoryFilter* filter, int flags)
{
    relist(path.location(), filter, flags);
}

Directory::~Directory()
{
    deleteEntries();
}

void Directory::deleteEntries()
{
    while (PathInfo* entry = m_entries.popFront())
        delete entry;
}

void Directory::relist(std::u16string_view path, const DirectoryFilter* filter, int flags)
{
    deleteEntries();
    m_path = String(path);
    m_filter = filter;
    m_flags = flags;

    DIR* dir = ::opendir(m_path.empty() ? "." : m_path.toNarrow().c_str());
    if (!dir)
        return;
    String prefix = m_path;
    if (!prefix.empty() && !prefix.endsWith(u"/"))
        prefix.push_back(u'/');
    while (const dirent* found = ::readdir(dir)) {
        // A name that is not text in the locale's encoding is still listed,
        // in a form that converts back to the same bytes.
        String name = String::fromNarrowLossless(found->d_name);
        if (name.empty() || name == u"." || name == u"..")
            continue;
        if (name[0] == u'.' && !(flags & IncludeHidden))
            continue;
        auto entry = std::make_unique<PathInfo>(prefix + name);
        entry->loadInfo();
        if ((flags & DirectoriesOnly) && !entry->isDirectory())
            continue;
        if ((flags & FilesOnly) && !entry->isFile())
            continue;
        if (filter && !filter->accept(name, *entry))
            continue;
        if (flags & Sorted)
            m_entries.insertSorted(entry.get(), *this);
        else
            m_entries.append(entry.get());
        entry.release();
    }
    ::closedir(dir);
}

size_t Directory::subdirectories(std::vector<std::unique_ptr<Directory>>& list, bool includeSelf) const
{
    list.clear();
    std::set<FileIdentity> visited;
    PathInfo self(m_path);
    if (self.loadInfo() == 0)
        visited.insert({ self.status().st_dev, self.status().st_ino });
    if (includeSelf)
        list.push_back(std::make_unique<Directory>(m_path, m_filter, m_flags));
    collectSubdirectories(m_path, m_filter, m_flags, list, visited);
    return list.size();
}

bool Directory::compare(const PtrList&, const void* a, const void* b) const
{
    return static_cast<const PathInfo*>(a)->fileName() < static_cast<const PathInfo*>(b)->fileName();
}

}
