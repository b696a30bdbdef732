#pragma once

#include "picture/LineProperties.h"

namespace lumavine {

// The border of a shape or page: a line style plus the border style that
// decides how the rings are shaded.
class BorderProperties : public LineProperties {
public:
    enum BorderStyle { Solid = 0, Inset = 1, Outset = 2, Ridge = 3, Groove = 4, None = 5 };

    static const KeywordList borderStyles;

    BorderProperties() = default;
    BorderProperties(const BorderProperties&) = default;
    BorderProperties& operator=(const BorderProperties&) = default;
    ~BorderProperties() override = default;

    // The border keys first ("style" names the border style here), then
    // those of the line.
    bool setProperty(std::u16string_view key, const String& value) override;
    // The line string followed by ";border-style:" and the style name.
    const String& borderText();
    const String& cssText();

    int borderStyle() const { return m_borderStyle; }
    void setBorderStyle(int style) { m_borderStyle = style; }

private:
    int m_borderStyle = Solid;
    String m_css;
};

}
