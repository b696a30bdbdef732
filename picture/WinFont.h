#pragma once

#include "picture/Color.h"

#include <QBrush>
#include <QFont>
#include <optional>

namespace lumavine {

// A caption font: family, size in points, style bits and text colour, with
// the platform font made at size × display scale so that text follows the
// view's zoom. A font whose string was never accepted counts as not set.
class WinFont {
public:
    enum Style { Bold = 1, Italic = 2, Underline = 4, Strikeout = 8 };

    WinFont() = default;
    explicit WinFont(std::u16string_view text) { parse(text); }
    WinFont(const WinFont&) = default;
    WinFont& operator=(const WinFont&) = default;
    virtual ~WinFont() = default;

    // A "font-family:...;font-size:...;font-color:...;font-style:..." string.
    // False, with the font unchanged, without a family or a usable size.
    bool parse(std::u16string_view text);
    bool isSet() const { return m_font.has_value(); }

    const String& family() const { return m_family; }
    float size() const { return m_size; }
    int style() const { return m_style; }
    Color color() const { return m_color; }
    const QBrush& brush() const { return m_brush; }

    // The font string, kept in the record's buffer; empty when not set.
    const String& text();
    // For generated pages; the fallback family list follows the family.
    String css() const;

    double displayScale() const { return m_displayScale; }
    // Re-makes the platform font when the scale changes.
    void setDisplayScale(double scale);
    // The platform font at size × display scale; a default font when not set.
    QFont platformFont() const { return m_font ? *m_font : QFont(); }
    // The same font at another scale (1.0 measures in picture pixels).
    QFont fontAtScale(double scale) const;

    // Families the generated pages name after the font's own.
    static void setFallbackFamilies(const String& families);
    static const String& fallbackFamilies();
    // Used by every element without a font of its own.
    static WinFont& defaultFont();
    static constexpr std::u16string_view defaultFontText = u"font-family:tahoma;font-size:12";

    // Sizes beyond this are refused: the platform would build glyph caches
    // of absurd size for them.
    static constexpr float maximumSize = 1000.0f;

private:
    void makeFont();

    std::optional<QFont> m_font;
    String m_text;
    String m_family;
    float m_size = 0;
    int m_style = 0;
    Color m_color;
    QBrush m_brush { QColor(0, 0, 0) };
    double m_displayScale = 1.0;
};

}
