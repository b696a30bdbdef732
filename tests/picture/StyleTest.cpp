#include "picture/Alignment.h"
#include "picture/Background.h"
#include "picture/BorderProperties.h"
#include "picture/DisplayElement.h"
#include "picture/WinFont.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace lumavine;

TEST(Color, TextFormsReadAndWriteBack)
{
    Color color;
    ASSERT_TRUE(Color::fromText(u"#ff8000", color));
    EXPECT_EQ(color.argb, 0xFFFF8000u);
    EXPECT_EQ(color.toText(), u"#ff8000");

    ASSERT_TRUE(Color::fromText(u"#ff800080", color));
    EXPECT_EQ(color.argb, 0x80FF8000u);
    EXPECT_EQ(color.toText(), u"#ff800080");
    EXPECT_EQ(color.toCss(), u"#ff8000");
    EXPECT_EQ(color.opacityPercent(), 50);

    ASSERT_TRUE(Color::fromText(u"#", color));
    EXPECT_EQ(color, opaqueBlack);
    // Short texts fill what they have; a pair that is not hexadecimal is 0.
    ASSERT_TRUE(Color::fromText(u"#12", color));
    EXPECT_EQ(color.argb, 0xFF120000u);
    ASSERT_TRUE(Color::fromText(u"#zz80ff", color));
    EXPECT_EQ(color.argb, 0xFF0080FFu);
    ASSERT_TRUE(Color::fromText(u"#AbCdEf00", color));
    EXPECT_EQ(color.argb, 0x00ABCDEFu);
    EXPECT_EQ(color.opacityPercent(), 0);
    EXPECT_EQ(color.toText(), u"#abcdef00");
}

TEST(Color, TextWithoutHashIsRejectedAndTheOldColourStays)
{
    Color color(0x12345678u);
    EXPECT_FALSE(Color::fromText(u"ff8000", color));
    EXPECT_FALSE(Color::fromText(u"", color));
    EXPECT_EQ(color.argb, 0x12345678u);
}

TEST(Color, PlatformFormSwapsRedAndBlue)
{
    EXPECT_EQ(Color::toPlatform(u"#102030"), 0x302010);
    EXPECT_EQ(Color::toPlatform(u"#10203040"), 0x302010);
    EXPECT_EQ(Color::toPlatform(u"102030"), -1);
}

TEST(LineProperties, DefaultAndFullLineStrings)
{
    LineProperties line;
    EXPECT_EQ(line.lineText(), u"type:straight;width:1;enda:none;endz:none");

    line.apply(u"type:Bezier;width:3;color:#ff000080;style:DashDot;join:round;enda:arrow;endz:dot;"
               u"endcolora:#00ff00;endcolorz:#0000ff");
    EXPECT_EQ(line.lineType(), LineProperties::Bezier);
    EXPECT_EQ(line.dashStyle(), LineProperties::DashDot);
    EXPECT_EQ(line.join(), LineProperties::Round);
    EXPECT_EQ(line.endStyle(0), LineProperties::EndArrow);
    EXPECT_EQ(line.endStyle(1), LineProperties::EndDot);
    EXPECT_EQ(line.lineColor().argb, 0x80FF0000u);
    String text = line.lineText();
    EXPECT_EQ(text, u"type:bezier;width:3;color:#ff000080;style:dashdot;join:round;enda:arrow;endz:dot;"
                    u"endcolora:#00ff00;endcolorz:#0000ff");

    LineProperties copy;
    copy.apply(text);
    EXPECT_EQ(copy.lineText(), text);
}

TEST(LineProperties, BadValuesKeepOrResetAsTheKeyDecides)
{
    LineProperties line;
    line.setProperty(u"width", String(u"4"));
    EXPECT_FALSE(line.setProperty(u"line-width", String(u"wide")));
    EXPECT_FALSE(line.setProperty(u"width", String(u"-3")));
    EXPECT_EQ(line.width(), 4);
    EXPECT_FALSE(line.setProperty(u"color", String(u"red")));
    EXPECT_FALSE(line.hasLineColor());
    EXPECT_EQ(line.lineColor(), opaqueBlack);
    // An unknown keyword is the first entry of its list.
    line.setProperty(u"style", String(u"dot"));
    line.setProperty(u"style", String(u"wavy"));
    EXPECT_EQ(line.dashStyle(), LineProperties::SolidDash);
    EXPECT_FALSE(line.setProperty(u"thickness", String(u"2")));
}

TEST(BorderProperties, ButtonDefaultBorderIsWrittenBackInOrder)
{
    BorderProperties border;
    border.apply(u"border-color:#ffffff;border-width:4;border-style:outset");
    EXPECT_EQ(border.width(), 4);
    EXPECT_EQ(border.borderStyle(), BorderProperties::Outset);
    EXPECT_EQ(border.lineColor(), opaqueWhite);
    EXPECT_EQ(border.borderText(), u"type:straight;width:4;color:#ffffff;enda:none;endz:none;border-style:outset");
    EXPECT_EQ(border.cssText(), u"border-style:outset;border-width:4px;border-color:#ffffff");
}

TEST(BorderProperties, StyleNamesTheBorderStyleAndBadWidthIsOne)
{
    BorderProperties border;
    border.setProperty(u"width", String(u"7"));
    border.setProperty(u"WIDTH", String(u"seven"));
    EXPECT_EQ(border.width(), 1);
    border.setProperty(u"style", String(u"Groove"));
    EXPECT_EQ(border.borderStyle(), BorderProperties::Groove);
    EXPECT_EQ(border.dashStyle(), LineProperties::SolidDash);
    border.setProperty(u"line-style", String(u"DashDot"));
    EXPECT_EQ(border.dashStyle(), LineProperties::DashDot);
    border.setProperty(u"border-join", String(u"bevel"));
    border.setProperty(u"color", String(u"#00000000"));
    EXPECT_EQ(border.join(), LineProperties::Bevel);
    EXPECT_EQ(border.cssText(),
        u"border-style:groove;border-width:1px;border-color:#000000;filter:alpha(opacity=0)");
}

TEST(WinFont, StringsAreReadWrittenAndRejected)
{
    WinFont font;
    EXPECT_FALSE(font.parse(u"font-family:arial"));
    EXPECT_FALSE(font.parse(u"font-size:12"));
    EXPECT_FALSE(font.parse(u"font-family:arial;font-size:0"));
    EXPECT_FALSE(font.parse(u"font-family:arial;font-size:-5"));
    EXPECT_FALSE(font.parse(u"font-family:arial;font-size:100000"));
    EXPECT_FALSE(font.isSet());
    EXPECT_EQ(font.text(), u"");

    ASSERT_TRUE(font.parse(u"Font-Family:arial;FONT-SIZE:10.5;font-style:underline, Bold,wavy,italic"));
    EXPECT_EQ(font.style(), WinFont::Bold | WinFont::Italic | WinFont::Underline);
    EXPECT_EQ(font.color(), opaqueBlack);
    EXPECT_EQ(font.text(), u"font-family:arial;font-size:10.5;font-color:#000000;font-style:italic,bold,underline");

    ASSERT_TRUE(font.parse(u"font-family:verdana;font-size:12;font-color:#336699"));
    EXPECT_EQ(font.text(), u"font-family:verdana;font-size:12;font-color:#336699");
    // A rejected string leaves the font as it was.
    EXPECT_FALSE(font.parse(u"font-family:courier"));
    EXPECT_EQ(font.family(), u"verdana");
}

TEST(WinFont, CssNamesFallbacksWeightStyleAndDecoration)
{
    WinFont font(u"font-family:arial;font-size:9;font-color:#ff0000;font-style:bold,italic,underline");
    WinFont::setFallbackFamilies(String(u"verdana,tahoma"));
    EXPECT_EQ(font.css(), u"font-family:arial,verdana,tahoma;font-size:9pt;color:#ff0000;font-weight:bold;"
                          u"font-style:italic;text-decoration:underline");
    WinFont::setFallbackFamilies(String());
    WinFont struck(u"font-family:arial;font-size:9;font-style:underline,strikeout");
    EXPECT_EQ(struck.css(), u"font-family:arial;font-size:9pt;color:#000000;text-decoration:underline line-through");
}

TEST(WinFont, PlatformFontFollowsDisplayScaleAndFallsBack)
{
    WinFont font(u"font-family:NoSuchFamilyAnywhere;font-size:10;font-style:bold,strikeout");
    ASSERT_TRUE(font.isSet());
    EXPECT_DOUBLE_EQ(font.platformFont().pointSizeF(), 10.0);
    EXPECT_TRUE(font.platformFont().bold());
    EXPECT_TRUE(font.platformFont().strikeOut());
    EXPECT_NE(font.platformFont().family(), QStringLiteral("NoSuchFamilyAnywhere"));
    font.setDisplayScale(2.5);
    EXPECT_DOUBLE_EQ(font.platformFont().pointSizeF(), 25.0);
    EXPECT_DOUBLE_EQ(font.fontAtScale(1.0).pointSizeF(), 10.0);
    EXPECT_TRUE(font.brush().color() == QColor(0, 0, 0));

    EXPECT_TRUE(WinFont::defaultFont().isSet());
    EXPECT_EQ(WinFont::defaultFont().text(), u"font-family:tahoma;font-size:12;font-color:#000000");
}

TEST(Background, ColoursGradientsAndTheirCss)
{
    Background background;
    ASSERT_TRUE(Background::fromText(u"#000000,#ffffff,backward", background));
    EXPECT_TRUE(background.gradient);
    EXPECT_EQ(background.gradientMode, Background::BackwardDiagonal);
    EXPECT_EQ(background.toText(), u"#000000,#ffffff,backward");
    EXPECT_EQ(background.toCss(), u"background:#000000;filter:progid:DXImageTransform.Microsoft.gradient("
                                  u"enabled='true',startColorStr=#000000,endColorStr=#ffffff,gradientType=1)");

    ASSERT_TRUE(Background::fromText(u"#ff000080, #00ff00 ,Vertical", background));
    EXPECT_EQ(background.gradientMode, Background::Vertical);
    EXPECT_EQ(background.toCss(), u"background:#ff0000;filter:progid:DXImageTransform.Microsoft.gradient("
                                  u"enabled='true',startColorStr=#ff0000,endColorStr=#00ff00,gradientType=0)"
                                  u" alpha(opacity=50)");

    ASSERT_TRUE(Background::fromText(u"#336699cc", background));
    EXPECT_FALSE(background.gradient);
    EXPECT_EQ(background.toText(), u"#336699cc");
    EXPECT_EQ(background.toCss(), u"background:#336699;filter:alpha(opacity=80)");

    EXPECT_FALSE(Background::fromText(u"", background));
    EXPECT_FALSE(Background::fromText(u"#000000,white", background));
    EXPECT_EQ(background.toText(), u"#336699cc");
    EXPECT_EQ(Background::imageCss(String(u"pics/a.png")), u"background:url(pics/a.png)");
}

TEST(DisplayElement, StyleKeysAndElementCss)
{
    DisplayElement element;
    EXPECT_TRUE(element.setProperty(u"HALIGN", String(u"Right")));
    EXPECT_TRUE(element.setProperty(u"valign", String(u"middle")));
    EXPECT_EQ(element.horizontalAlignment(), Alignment::Right);
    EXPECT_EQ(element.verticalAlignment(), Alignment::Top);
    EXPECT_TRUE(element.setProperty(u"border", String(u"width:2;color:#ff0000;style:inset")));
    EXPECT_TRUE(element.setProperty(u"border-width", String(u"3")));
    EXPECT_EQ(element.border().width(), 3);
    EXPECT_EQ(element.border().borderStyle(), BorderProperties::Inset);
    EXPECT_FALSE(element.setProperty(u"colour", String(u"#000000")));

    EXPECT_EQ(element.cssText(), u"border-style:inset;border-width:3px;border-color:#ff0000");
    element.setProperty(u"background-color", String(u"#00ff00"));
    EXPECT_TRUE(element.hasBackgroundColor());
    element.setProperty(u"background-color", String(u"#000000,#ffffff"));
    EXPECT_TRUE(element.hasGradient());
    EXPECT_FALSE(element.hasBackgroundColor());
    element.setProperty(u"font", String(u"font-family:arial;font-size:8"));
    EXPECT_EQ(element.cssText(),
        u"border-style:inset;border-width:3px;border-color:#ff0000;background:#000000;filter:progid:"
        u"DXImageTransform.Microsoft.gradient(enabled='true',startColorStr=#000000,endColorStr=#ffffff,"
        u"gradientType=1);font-family:arial;font-size:8pt;color:#000000");
    element.setProperty(u"background-color", String());
    EXPECT_FALSE(element.hasBackground());

    DisplayElement plain;
    EXPECT_EQ(plain.cssText(true), u"border-style:solid;border-width:1px;border-color:#000000;"
                                   u"font-family:tahoma;font-size:12pt;color:#000000");
}

TEST(DisplayElement, CaptionAlignmentInsideAnArea)
{
    DisplayElement element;
    QRect area(10, 20, 100, 50);
    QSize block(30, 10);
    EXPECT_EQ(element.alignCaption(area, block), QPoint(14, 24));
    element.setProperty(u"halign", String(u"center"));
    element.setProperty(u"valign", String(u"center"));
    EXPECT_EQ(element.alignCaption(area, block), QPoint(45, 40));
    element.setProperty(u"halign", String(u"right"));
    element.setProperty(u"valign", String(u"bottom"));
    EXPECT_EQ(element.alignCaption(area, block), QPoint(76, 56));
}
