#pragma once

#include "picture/Background.h"
#include "picture/BorderProperties.h"
#include "picture/DisplayLine.h"
#include "picture/WinFont.h"

#include <memory>
#include <vector>

namespace lumavine {

class Element;
class View;
class WinImage;

// Anything drawn with a border, a font, a background and a caption: shapes,
// the picture itself (its page background) and the canvas.
class DisplayElement {
public:
    enum Flag {
        HasName = 1,
        HasText = 2,
        SolidBackground = 8,
        ImageBackground = 0x10,
        GradientBackground = 0x20,
        Selected = 0x40,
    };

    explicit DisplayElement(View* owner = nullptr);
    DisplayElement(const DisplayElement&) = delete;
    DisplayElement& operator=(const DisplayElement&) = delete;
    virtual ~DisplayElement();

    // Font, background and alignments as child elements of `parent`.
    virtual void writeXml(Element* parent);
    // Applies every item of a separated text through setProperty.
    virtual void setProperties(std::u16string_view text, std::u16string_view itemSeparators,
        std::u16string_view keySeparators);
    // Applies every child element (tag as key, text as value).
    virtual void readProperties(const Element* element);
    // Keys matched ignoring case; false for an unknown key.
    virtual bool setProperty(std::u16string_view key, const String& value);
    virtual void setName(const String& name);
    virtual void setText(const String& text);
    virtual void copyFrom(const DisplayElement& other);
    virtual const String& getName() const { return m_name; }
    virtual const String& getText() const { return m_text; }
    // Subclasses resolve relative image sources against their own folder.
    virtual std::unique_ptr<WinImage> createImage();

    // The view the element is shown in; an export view (identity
    // conversions) when there is none.
    View& view() const;
    virtual View* owningView() const { return m_owner; }
    void setOwner(View* owner) { m_owner = owner; }
    // Where relative sources of inline caption images are found.
    virtual const String& baseDirectory() const { return emptyString; }

    BorderProperties& border() { return m_border; }
    const BorderProperties& border() const { return m_border; }

    // The element's own font, or null when it uses the shared default.
    WinFont* font() const { return m_font && m_font->isSet() ? m_font.get() : nullptr; }
    // The font captions are drawn with: its own, or the shared default.
    WinFont& captionFont() const;
    // Creates the element's font on first use.
    bool setFont(std::u16string_view text);

    int textWidth() const { return m_textWidth; }
    int textHeight() const { return m_textHeight; }
    const std::vector<DisplayLine>& lines() const { return m_lines; }
    int imageWidth() const { return m_imageWidth; }
    int imageHeight() const { return m_imageHeight; }

    int horizontalAlignment() const { return m_halign; }
    int verticalAlignment() const { return m_valign; }
    void setHorizontalAlignment(int align) { m_halign = align; }
    void setVerticalAlignment(int align) { m_valign = align; }
    // The top-left corner of a caption block of `block` size inside `area`
    // by the alignments, 4 pixels in from the sides it is not centred on.
    QPoint alignCaption(const QRect& area, QSize block) const;

    bool hasBackground() const { return m_flags & (SolidBackground | ImageBackground | GradientBackground); }
    bool hasBackgroundColor() const { return m_flags & SolidBackground; }
    bool hasGradient() const { return m_flags & GradientBackground; }
    bool hasBackgroundImage() const { return m_flags & ImageBackground; }
    Color backgroundColor() const { return m_background.start; }
    Color gradientEndColor() const { return m_background.end; }
    int gradientMode() const { return m_background.gradientMode; }
    WinImage* backgroundImage() const { return m_backgroundImage.get(); }
    // "" clears colour and gradient; false when the text does not read.
    bool setBackgroundColor(std::u16string_view text);
    // "" removes the image.
    void setBackgroundImage(const String& source);
    // The "background-color" text, or the empty text without colour.
    String backgroundColorText() const;
    const String& backgroundImageSource() const;

    // Border CSS, then the background's, then the font's when the element
    // has its own (or `withDefaultFont` asks for the shared one).
    String cssText(bool withDefaultFont = false);

    int flags() const { return m_flags; }
    bool isSelected() const { return m_flags & Selected; }
    void setSelected(bool selected);

protected:
    View* m_owner = nullptr;
    String m_name;
    String m_text;
    BorderProperties m_border;
    int m_textWidth = 0;
    int m_textHeight = 0;
    int m_imageWidth = 40;
    int m_imageHeight = 40;
    int m_halign = 0;
    int m_valign = 0;
    Background m_background;
    std::unique_ptr<WinImage> m_backgroundImage;
    std::unique_ptr<WinFont> m_font;
    std::vector<DisplayLine> m_lines;
    int m_flags = 0;
};

}
