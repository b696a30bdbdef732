#include "picture/CaptionText.h"
#include "tests/support/TemporaryFolder.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace lumavine;

namespace {

class CaptionTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        clearCaptionImageCache();
        m_font = QFont(QStringLiteral("sans-serif"));
        m_font.setPixelSize(14);
    }
    void TearDown() override { clearCaptionImageCache(); }
    String base() const { return String(m_directory); }
    void writeImage(const char* name, QSize size, QColor color)
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(QString::fromStdString(m_directory + "/" + name)));
    }

    test::TemporaryFolder m_folder { "lumavine-caption" };
    std::string m_directory = m_folder.narrow();
    QFont m_font;
};

int advanceOf(const QFont& font, const char* text)
{
    return QFontMetrics(font).horizontalAdvance(QString::fromUtf8(text));
}

}

TEST_F(CaptionTextTest, TabsMoveToTheNextMultipleOfForty)
{
    // A 55-pixel picture stands in for 55 pixels of text.
    registerCaptionImage(u"wide", QImage(55, 8, QImage::Format_RGB32));
    QSize size = measureCaptionLine(m_font, u"[img name=wide]\tX", base());
    EXPECT_EQ(size.width(), 80 + advanceOf(m_font, "X"));
    // Exactly on a stop still moves to the next one.
    registerCaptionImage(u"forty", QImage(40, 8, QImage::Format_RGB32));
    EXPECT_EQ(measureCaptionLine(m_font, u"[img name=forty]\t", base()).width(), 80);
    EXPECT_EQ(measureCaptionLine(m_font, u"\t\t", base()).width(), 80);
}

TEST_F(CaptionTextTest, OtherTagsAreDroppedWithTheirBracketedText)
{
    QSize plain = measureCaptionLine(m_font, u"abcd", base());
    EXPECT_EQ(measureCaptionLine(m_font, u"ab[b]cd", base()), plain);
    EXPECT_EQ(measureCaptionLine(m_font, u"[font color=red size=4]abcd", base()), plain);
    // An unclosed bracket is kept as text rather than swallowing the rest.
    EXPECT_EQ(measureCaptionLine(m_font, u"ab[cd", base()).width(), advanceOf(m_font, "ab[cd"));
    // Empty lines keep the font's height.
    EXPECT_EQ(measureCaptionLine(m_font, u"", base()), QSize(0, QFontMetrics(m_font).height()));
}

TEST_F(CaptionTextTest, MissingPicturesMeasureTenByTen)
{
    QSize size = measureCaptionLine(m_font, u"[img src=missing.png]", base());
    EXPECT_EQ(size.width(), 10);
    EXPECT_EQ(size.height(), std::max(10, QFontMetrics(m_font).height()));
    EXPECT_EQ(measureCaptionLine(m_font, u"[img name=nobody]", base()).width(), 10);
}

TEST_F(CaptionTextTest, InlinePictureIsDrawnCentredAndFollowsItsFile)
{
    writeImage("red.png", QSize(20, 40), Qt::red);
    std::u16string line = u"A[img src=red.png]B";
    QSize size = measureCaptionLine(m_font, line, base());
    ASSERT_EQ(size.height(), 40);
    EXPECT_EQ(size.width(), advanceOf(m_font, "A") + 20 + advanceOf(m_font, "B"));

    QImage canvas(200, 100, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    int lineHeight = 60;
    int width = drawCaptionLine(painter, m_font, QBrush(Qt::blue), QPoint(10, 20), lineHeight, line, base());
    painter.end();
    EXPECT_EQ(width, size.width());
    int left = 10 + advanceOf(m_font, "A");
    // Centred in the 60-pixel row: rows 30 to 69.
    EXPECT_EQ(canvas.pixel(left, 30), QColor(Qt::red).rgb());
    EXPECT_EQ(canvas.pixel(left + 19, 69), QColor(Qt::red).rgb());
    EXPECT_EQ(canvas.pixel(left, 29), QColor(Qt::white).rgb());
    EXPECT_EQ(canvas.pixel(left, 70), QColor(Qt::white).rgb());
    EXPECT_EQ(canvas.pixel(left + 20, 50), QColor(Qt::white).rgb());

    // The text runs are drawn with the brush: some blue appears left of the
    // picture, and nothing else but white, red and blue shades.
    int blue = 0;
    for (int y = 20; y < 80; ++y) {
        for (int x = 10; x < left; ++x) {
            QColor c = canvas.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 100)
                ++blue;
        }
    }
    EXPECT_GT(blue, 5);

    // The picture is remembered while its file stays as it was: a file
    // replaced or removed while the program runs shows as it is now.
    writeImage("red.png", QSize(30, 50), Qt::green);
    EXPECT_EQ(
        measureCaptionLine(m_font, line, base()), QSize(advanceOf(m_font, "A") + 30 + advanceOf(m_font, "B"), 50));
    ASSERT_EQ(std::remove((m_directory + "/red.png").c_str()), 0);
    EXPECT_EQ(measureCaptionLine(m_font, line, base()).height(), std::max(10, QFontMetrics(m_font).height()));
}
