#include "picture/ImageExport.h"

#include "picture/GifWriter.h"

#include <QByteArray>
#include <QImageWriter>
#include <QList>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <cstdlib>
#include <unistd.h>

namespace lumavine {

namespace {

String effectiveType(const String& type)
{
    String lower(type);
    lower.trim().toLower();
    return lower.empty() ? String(u"png") : lower;
}

// A fresh name beside the target, so that renaming it over the target stays
// on one file system. Created with the usual permissions (0666 less the
// umask): the picture is published as it is.
bool makeTemporaryPath(const std::string& target, std::string& out)
{
    static std::atomic<unsigned> counter { 0 };
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            out = candidate;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

QByteArray writerFormatFor(const String& type)
{
    // Both spellings of JPEG find its encoder, whose MIME type is image/jpeg.
    String mimeType = u"image/" + (type.equals(u"jpg") ? String(u"jpeg") : type);
    QByteArray wanted = QByteArray::fromStdString(mimeType.toNarrow());
    for (const QByteArray& supported : QImageWriter::supportedMimeTypes()) {
        if (supported == wanted) {
            QList<QByteArray> formats = QImageWriter::imageFormatsForMimeType(supported);
            if (!formats.isEmpty())
                return formats.first();
        }
    }
    return QByteArray();
}

}

bool exportPageImage(const QImage& picture, const String& type, const String& path, int quality)
{
    String kind = effectiveType(type);
    if (kind.equals(u"none"))
        return true;
    if (picture.isNull() || path.empty())
        return false;
    QByteArray format;
    if (!kind.equals(u"gif")) {
        format = writerFormatFor(kind);
        if (format.isEmpty())
            return false;
    }
    std::string target = path.toNarrow();
    std::string temporary;
    if (!makeTemporaryPath(target, temporary))
        return false;
    bool written;
    if (kind.equals(u"gif")) {
        written = GifWriter::write(picture, temporary);
    } else {
        QImageWriter writer(QString::fromStdString(temporary), format);
        if (format == "jpeg" || format == "jpg")
            writer.setQuality(std::clamp(quality, 1, 100));
        written = writer.write(picture);
    }
    if (!written || std::rename(temporary.c_str(), target.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

String pageImagePath(const String& projectFolder, const String& pageName, const String& type)
{
    String name(pageName);
    name.replaceChar(u' ', u'_');
    return projectFolder + u"/content/" + name + u"." + effectiveType(type);
}

}
