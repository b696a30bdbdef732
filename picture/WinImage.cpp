#include "picture/WinImage.h"

#include "core/Properties.h"
#include "core/WebFetch.h"
#include "picture/Color.h"
#include "picture/ReadLog.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

namespace lumavine {

namespace {

bool decode(QImageReader& reader, QImage& out)
{
    reader.setAllocationLimit(WinImage::allocationLimitMegabytes);
    // Some decoders ignore the allocation limit; refuse the header's claim
    // ourselves before any pixel memory is asked for.
    QSize claimed = reader.size();
    if (claimed.isValid()
        && qint64(claimed.width()) * claimed.height() * 4 > qint64(WinImage::allocationLimitMegabytes) * 1024 * 1024)
        return false;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return false;
    out = std::move(image);
    return true;
}

}

WinImage::Scheme WinImage::schemeOf(std::u16string_view text)
{
    size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos)
        return NoScheme;
    String scheme(text.substr(0, colon));
    if (scheme.equalsIgnoreCase(u"http"))
        return Http;
    if (scheme.equalsIgnoreCase(u"https"))
        return Https;
    if (scheme.equalsIgnoreCase(u"file"))
        return File;
    return NoScheme;
}

void WinImage::setBaseDirectory(const String& directory)
{
    m_baseDirectory = directory;
    updateFlags();
}

bool WinImage::setSource(const String& source)
{
    if (source.equalsIgnoreCase(m_source))
        return false;
    release();
    m_source = source;
    updateFlags();
    return true;
}

void WinImage::updateFlags()
{
    m_baseScheme = schemeOf(m_baseDirectory);
    m_sourceScheme = schemeOf(m_source);
    m_flags &= KeepAspect;
    if (m_baseScheme != NoScheme || m_sourceScheme != NoScheme)
        m_flags |= HasScheme;
    if (!m_baseDirectory.empty())
        m_flags |= HasBaseDirectory;
    if (m_sourceScheme != NoScheme)
        m_flags |= SourceHasScheme;
    if (m_baseScheme != NoScheme)
        m_flags |= BaseHasScheme;
}

void WinImage::setKeepAspect(bool keep)
{
    if (keep)
        m_flags |= KeepAspect;
    else
        m_flags &= ~KeepAspect;
}

void WinImage::release()
{
    m_image = QImage();
    m_keyedImage = QImage();
    m_naturalWidth = 0;
    m_naturalHeight = 0;
}

String WinImage::location() const
{
    // A leading "/" is this platform's mark of an absolute path, so such a
    // source is used as it is, like one with a drive letter would be.
    if (!m_baseDirectory.empty() && !m_source.contains(u':') && !m_source.startsWith(u"/")) {
        String path = m_baseDirectory;
        if (!path.endsWith(u"/"))
            path.push_back(u'/');
        path.append(m_source);
        return path;
    }
    if (m_sourceScheme == File)
        return m_source.substring(7);
    return m_source;
}

bool WinImage::isWebLocation() const
{
    Scheme scheme = schemeOf(location());
    return scheme == Http || scheme == Https;
}

bool WinImage::load()
{
    release();
    if (m_source.empty())
        return false;
    String where = location();
    ReadLog::note(where);
    if (isWebLocation()) {
        WebFetcher fetch = webFetcher();
        std::string body;
        if (!fetch || !fetch(where.toNarrow(), body))
            return false;
        return loadFromMemory(body);
    }
    QImageReader reader(QString::fromStdString(where.toNarrow()));
    QImage image;
    if (!decode(reader, image))
        return false;
    m_image = std::move(image);
    m_naturalWidth = m_image.width();
    m_naturalHeight = m_image.height();
    return true;
}

bool WinImage::loadFromMemory(std::string_view bytes)
{
    release();
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (!decode(reader, image))
        return false;
    // The decoded image must not point into the caller's bytes.
    image.detach();
    m_image = std::move(image);
    m_naturalWidth = m_image.width();
    m_naturalHeight = m_image.height();
    return true;
}

void WinImage::setImageString(std::u16string_view text)
{
    Properties items(text, u";", u"=", Properties::KeysLower);
    Color transparent;
    if (Color::fromText(items.get(u"transparency"), transparent))
        setTransparentColor(transparent.argb);
    if (items.contains(u"opacity")) {
        // The stored form of the opacity is a whole number, which cannot hold
        // a fraction; the image is shown fully opaque, as it is saved.
        setOpacity(1.0);
    }
    if (items.contains(u"source")) {
        setSource(items.get(u"source"));
        load();
    }
}

void WinImage::setOpacity(double opacity)
{
    m_opacity = std::clamp(opacity, 0.0, 1.0);
}

void WinImage::setTransparentColor(std::optional<uint32_t> argb)
{
    m_transparentColor = argb;
    m_keyedImage = QImage();
}

const QImage& WinImage::drawnImage() const
{
    if (!m_transparentColor)
        return m_image;
    if (m_keyedImage.isNull() && !m_image.isNull()) {
        QImage keyed = m_image.convertToFormat(QImage::Format_ARGB32);
        QRgb key = *m_transparentColor | 0xFF000000u;
        for (int y = 0; y < keyed.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x) {
                if ((row[x] | 0xFF000000u) == key && qAlpha(row[x]) == 255)
                    row[x] = 0;
            }
        }
        m_keyedImage = std::move(keyed);
    }
    return m_keyedImage;
}

void WinImage::draw(QPainter& painter, QPoint at) const
{
    draw(painter, QRect(at, QSize(displayWidth(), displayHeight())));
}

void WinImage::draw(QPainter& painter, const QRect& target) const
{
    if (m_image.isNull() || target.isEmpty())
        return;
    const QImage& image = drawnImage();
    painter.save();
    painter.setOpacity(painter.opacity() * m_opacity);
    if (target.size() != image.size())
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, image, image.rect());
    painter.restore();
}

}
