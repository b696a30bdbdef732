#pragma once

#include "core/String.h"
#include "generate/PageFiles.h"

#include <QDir>
#include <QString>
#include <cstdio>

namespace lumavine::test {

// What the browser tests' page drivers share: each writes pages of its own
// into the site folder named on its command line.

// The site folder from the command line, with its content/files folder
// made; empty, after the usage line on standard error, without one.
inline QString driverDirectory(int argc, char** argv, const char* program)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", program);
        return QString();
    }
    QString directory = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(directory + "/content/files");
    return directory;
}

// Writes the page's files and names them on standard output, where the test
// that runs the driver reads them.
inline bool writeDriverPage(Page& page)
{
    String html;
    String image;
    bool written = writePageFiles(page, html, image);
    std::printf("%s %s\n", written ? "wrote" : "failed", html.toNarrow().c_str());
    return written;
}

}
