#pragma once

#include "core/String.h"

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QRect>
#include <cstdint>
#include <optional>
#include <string_view>

namespace lumavine {

// A picture a shape shows: where it comes from (a file under the project, an
// absolute path, a "file://" or web location), the decoded image, and how it
// is drawn (display size, aspect, opacity, transparent colour).
class WinImage {
public:
    enum Flags {
        HasScheme = 1,
        HasBaseDirectory = 2,
        SourceHasScheme = 4,
        BaseHasScheme = 8,
        KeepAspect = 0x10,
    };
    enum Scheme { NoScheme = 0, Http, Https, File };

    // Decoding refuses images whose pixels would need more than this, so a
    // forged header cannot make us allocate gigabytes.
    static constexpr int allocationLimitMegabytes = 256;

    WinImage() = default;
    explicit WinImage(const String& baseDirectory) { setBaseDirectory(baseDirectory); }
    virtual ~WinImage() = default;

    void setBaseDirectory(const String& directory);
    const String& baseDirectory() const { return m_baseDirectory; }

    // A different source (case ignored) releases the old image; nothing is
    // loaded until load(). Answers whether the source changed.
    bool setSource(const String& source);
    const String& source() const { return m_source; }
    // Loads the current source; false leaves no image.
    bool load();
    bool load(const String& source)
    {
        setSource(source);
        return load();
    }
    // Decodes an image from bytes held in memory (a web response, a file).
    bool loadFromMemory(std::string_view bytes);
    void release();

    // Where load() reads from: the web location or the file path.
    String location() const;
    bool isWebLocation() const;
    static Scheme schemeOf(std::u16string_view text);

    // The ";"-separated "key=value" form: source (loaded at once),
    // transparency (a colour) and opacity.
    void setImageString(std::u16string_view text);

    bool isLoaded() const { return !m_image.isNull(); }
    const QImage& image() const { return m_image; }
    int naturalWidth() const { return m_naturalWidth; }
    int naturalHeight() const { return m_naturalHeight; }
    // 0 means the natural size.
    void setDisplaySize(int width, int height)
    {
        m_displayWidth = width;
        m_displayHeight = height;
    }
    int displayWidth() const { return m_displayWidth ? m_displayWidth : m_naturalWidth; }
    int displayHeight() const { return m_displayHeight ? m_displayHeight : m_naturalHeight; }

    int flags() const { return m_flags; }
    bool keepAspect() const { return m_flags & KeepAspect; }
    void setKeepAspect(bool keep);

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    const std::optional<uint32_t>& transparentColor() const { return m_transparentColor; }
    void setTransparentColor(std::optional<uint32_t> argb);

    // The whole image at its display size with its top-left corner at `at`,
    // or stretched into `target`. Nothing is drawn without an image.
    void draw(QPainter& painter, QPoint at) const;
    void draw(QPainter& painter, const QRect& target) const;

private:
    void updateFlags();
    const QImage& drawnImage() const;

    String m_baseDirectory;
    String m_source;
    Scheme m_baseScheme = NoScheme;
    Scheme m_sourceScheme = NoScheme;
    int m_naturalWidth = 0;
    int m_naturalHeight = 0;
    int m_displayWidth = 0;
    int m_displayHeight = 0;
    double m_opacity = 1.0;
    QImage m_image;
    std::optional<uint32_t> m_transparentColor;
    // The image with the transparent colour keyed out, made when first drawn.
    mutable QImage m_keyedImage;
    int m_flags = 0;
};

}
