#include "app/NewProject.h"

#include "core/PathInfo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumavine {

namespace {

bool makeDirectory(const String& path)
{
    return mkdir(path.toNarrow().c_str(), 0755) == 0;
}

}

bool createProject(const String& directory, const String& name, String& projectFile, String& message)
{
    message.clear();
    if (name.empty()) {
        message = u"Must supply name";
        return false;
    }
    if (directory.empty()) {
        message = u"Must supply directory";
        return false;
    }
    // A name is one folder; a separator in it would make the project land
    // somewhere the user did not choose.
    if (name.contains(u'/') || name.equals(u".") || name.equals(u"..")) {
        message = String(u"cannot create directory: ") + directory + u"/" + name;
        return false;
    }
    PathInfo parent(directory);
    if (!parent.isDirectory()) {
        message = String(u"directory does not exist: ") + directory;
        return false;
    }
    String project = directory + u"/" + name;
    if (PathInfo(project).exists()) {
        message = String(u"directory already exists: ") + project;
        return false;
    }
    for (const String& path : { project, project + u"/content", project + u"/content/files" }) {
        if (!makeDirectory(path)) {
            message = String(u"cannot create directory: ") + path;
            return false;
        }
    }
    projectFile = project + u"/" + name + u".xml";
    int fd = ::open(projectFile.toNarrow().c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0) {
        message = String(u"cannot create directory: ") + projectFile;
        return false;
    }
    ::close(fd);
    return true;
}

}
