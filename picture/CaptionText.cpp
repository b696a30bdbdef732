#include "picture/CaptionText.h"

#include "core/Properties.h"
#include "picture/ReadLog.h"
#include "picture/WinImage.h"

#include <QFontMetrics>
#include <QString>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace lumavine {

namespace {

constexpr int tabStop = 40;
constexpr int missingImageSize = 10;

// A picture is kept with the stamp its file had when it was read, so that a
// file replaced while the program runs is read again rather than drawn as it
// was (a saved page would otherwise keep the old picture and be taken for up
// to date). Pictures registered by name have no file and an empty stamp.
struct CachedImage {
    QImage image;
    FileStamp stamp;
};

// Pages are also drawn on worker threads, so the cache is locked.
struct CaptionImageCache {
    std::mutex mutex;
    std::unordered_map<String, CachedImage, StringHash> images;
};

CaptionImageCache& imageCache()
{
    static CaptionImageCache cache;
    return cache;
}

QImage lookUpNamedImage(const String& name)
{
    CaptionImageCache& cache = imageCache();
    std::lock_guard lock(cache.mutex);
    auto found = cache.images.find(name);
    return found == cache.images.end() ? QImage() : found->second.image;
}

QImage loadSourceImage(const String& source, const String& baseDirectory)
{
    WinImage loader(baseDirectory);
    loader.setSource(source);
    // Keyed by where the picture really is, so that two projects with the same
    // relative source do not share a picture.
    String key = loader.location();
    // Noted on a hit too: the picture drawn depends on the file either way.
    ReadLog::note(key);
    // Stamped before reading, so that a change made while it is read shows
    // as a change the next time. A web location has no stamp and is read once.
    FileStamp stamp = loader.isWebLocation() ? FileStamp { key } : FileStamp::of(key);
    CaptionImageCache& cache = imageCache();
    {
        std::lock_guard lock(cache.mutex);
        auto found = cache.images.find(key);
        if (found != cache.images.end() && found->second.stamp == stamp)
            return found->second.image;
    }
    // Loading (possibly a web fetch) happens outside the lock; a null image is
    // remembered too, so a missing file is not looked for at every repaint.
    loader.load();
    QImage image = loader.image();
    std::lock_guard lock(cache.mutex);
    cache.images.insert_or_assign(key, CachedImage { image, std::move(stamp) });
    return image;
}

struct Piece {
    enum Kind { Run, Tab, Picture };
    Kind kind;
    QString text;
    QImage image;
};

std::vector<Piece> splitLine(std::u16string_view line, const String& baseDirectory)
{
    std::vector<Piece> pieces;
    size_t runStart = 0;
    auto endRun = [&](size_t end) {
        if (end > runStart) {
            pieces.push_back({ Piece::Run,
                QString::fromUtf16(line.data() + runStart, static_cast<qsizetype>(end - runStart)), QImage() });
        }
    };
    size_t i = 0;
    while (i < line.size()) {
        char16_t c = line[i];
        if (c == u'\t') {
            endRun(i);
            pieces.push_back({ Piece::Tab, QString(), QImage() });
            runStart = ++i;
            continue;
        }
        if (c == u'[') {
            size_t close = line.find(u']', i + 1);
            // An unclosed bracket is ordinary text: dropping the rest of the
            // caption would lose what the user typed.
            if (close == std::u16string_view::npos) {
                ++i;
                continue;
            }
            endRun(i);
            Properties tag(line.substr(i + 1, close - i - 1), u" ", u"=", Properties::KeysLower);
            if (String(tag.leadingValue()).equalsIgnoreCase(u"img")) {
                const String& name = tag.get(u"name");
                const String& source = tag.get(u"src");
                QImage image;
                if (!name.empty())
                    image = lookUpNamedImage(name);
                else if (!source.empty())
                    image = loadSourceImage(source, baseDirectory);
                pieces.push_back({ Piece::Picture, QString(), image });
            }
            runStart = i = close + 1;
            continue;
        }
        ++i;
    }
    endRun(line.size());
    return pieces;
}

QSize pictureSize(const Piece& piece)
{
    return piece.image.isNull() ? QSize(missingImageSize, missingImageSize) : piece.image.size();
}

int nextTabStop(int x)
{
    return (x / tabStop + 1) * tabStop;
}

}

QSize measureCaptionLine(const QFont& font, std::u16string_view line, const String& baseDirectory)
{
    QFontMetrics metrics(font);
    int width = 0;
    int height = metrics.height();
    for (const Piece& piece : splitLine(line, baseDirectory)) {
        switch (piece.kind) {
        case Piece::Run:
            width += metrics.horizontalAdvance(piece.text);
            break;
        case Piece::Tab:
            width = nextTabStop(width);
            break;
        case Piece::Picture: {
            QSize size = pictureSize(piece);
            width += size.width();
            height = std::max(height, size.height());
            break;
        }
        }
    }
    return QSize(width, height);
}

int drawCaptionLine(QPainter& painter, const QFont& font, const QBrush& brush, QPoint topLeft, int lineHeight,
    std::u16string_view line, const String& baseDirectory)
{
    QFontMetrics metrics(font);
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(brush, 1));
    int x = 0;
    for (const Piece& piece : splitLine(line, baseDirectory)) {
        switch (piece.kind) {
        case Piece::Run: {
            int top = topLeft.y() + (lineHeight - metrics.height()) / 2;
            painter.drawText(QPoint(topLeft.x() + x, top + metrics.ascent()), piece.text);
            x += metrics.horizontalAdvance(piece.text);
            break;
        }
        case Piece::Tab:
            x = nextTabStop(x);
            break;
        case Piece::Picture: {
            QSize size = pictureSize(piece);
            if (!piece.image.isNull()) {
                int top = topLeft.y() + (lineHeight - size.height()) / 2;
                painter.drawImage(QPoint(topLeft.x() + x, top), piece.image);
            }
            x += size.width();
            break;
        }
        }
    }
    painter.restore();
    return x;
}

void registerCaptionImage(const String& name, const QImage& image)
{
    CaptionImageCache& cache = imageCache();
    std::lock_guard lock(cache.mutex);
    cache.images.insert_or_assign(name, CachedImage { image, FileStamp { name } });
}

void clearCaptionImageCache()
{
    CaptionImageCache& cache = imageCache();
    std::lock_guard lock(cache.mutex);
    cache.images.clear();
}

}
