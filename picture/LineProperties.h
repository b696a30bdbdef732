#pragma once

#include "picture/Color.h"
#include "picture/KeywordList.h"

namespace lumavine {

// The style of a line shape, and the base of a border: type, width, colour,
// dash style, join and the two end styles with their colours.
class LineProperties {
public:
    enum LineType { Straight = 0, Curve = 1, Bezier = 2 };
    enum DashStyle { SolidDash = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };
    enum Join { Miter = 0, Bevel = 1, Round = 2 };
    enum EndStyle { EndNone = 0, EndArrow = 1, EndDot = 2 };
    enum Flag { LineColorSet = 1, EndColorASet = 2, EndColorZSet = 4 };

    static const KeywordList lineTypes;
    static const KeywordList dashStyles;
    static const KeywordList joins;
    static const KeywordList endStyles;

    LineProperties() = default;
    LineProperties(const LineProperties&) = default;
    LineProperties& operator=(const LineProperties&) = default;
    virtual ~LineProperties() = default;

    // False for an unknown key or a value that is rejected (a width that is
    // not an integer, a colour without "#").
    virtual bool setProperty(std::u16string_view key, const String& value);
    // A whole "key:value;..." string; unknown keys are ignored.
    void apply(std::u16string_view text);
    // The line string, kept in the record's buffer.
    const String& lineText();

    int lineType() const { return m_lineType; }
    void setLineType(int type) { m_lineType = type; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    int dashStyle() const { return m_dashStyle; }
    void setDashStyle(int style) { m_dashStyle = style; }
    int join() const { return m_join; }
    void setJoin(int join) { m_join = join; }
    // End 0 is A (first point), end 1 is Z (last point).
    int endStyle(int end) const { return end == 0 ? m_endA : m_endZ; }
    void setEndStyle(int end, int style) { (end == 0 ? m_endA : m_endZ) = style; }

    // Unset colours draw as opaque black.
    bool hasLineColor() const { return m_flags & LineColorSet; }
    Color lineColor() const { return hasLineColor() ? m_lineColor : opaqueBlack; }
    void setLineColor(Color color);
    bool hasEndColor(int end) const { return m_flags & (end == 0 ? EndColorASet : EndColorZSet); }
    Color endColor(int end) const;
    void setEndColor(int end, Color color);
    int flags() const { return m_flags; }

protected:
    // Sets the colour flag and the colour when the text is a colour.
    bool readColor(const String& value, Color& color, int flag);

    int m_lineType = Straight;
    int m_endA = EndNone;
    Color m_endColorA;
    int m_endZ = EndNone;
    Color m_endColorZ;
    Color m_lineColor;
    int m_width = 1;
    int m_dashStyle = SolidDash;
    int m_join = Miter;
    String m_text;
    int m_flags = 0;
};

}
