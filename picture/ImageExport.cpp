#include "picture/ImageExport.h"

#include "core/AtomicFile.h"
#include "picture/GifWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>
#include <QList>
#include <algorithm>
#include <string>

namespace lumavine {

namespace {

String effectiveType(const String& type)
{
    String lower(type);
    lower.trim().toLower();
    return lower.empty() ? String(u"png") : lower;
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
    // Encoded in memory first, so that the file is replaced only by a whole picture.
    std::string bytes;
    if (kind.equals(u"gif")) {
        if (!GifWriter::encode(picture, bytes))
            return false;
    } else {
        QByteArray encoded;
        QBuffer buffer(&encoded);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, format);
        if (format == "jpeg" || format == "jpg")
            writer.setQuality(std::clamp(quality, 1, 100));
        if (!writer.write(picture))
            return false;
        bytes = encoded.toStdString();
    }
    return writeFileAtomically(path.toNarrow(), bytes);
}

String pageImagePath(const String& projectFolder, const String& pageName, const String& type)
{
    String name(pageName);
    name.replaceChar(u' ', u'_');
    return projectFolder + u"/content/" + name + u"." + effectiveType(type);
}

}
