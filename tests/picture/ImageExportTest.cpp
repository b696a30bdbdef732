#include "picture/ImageExport.h"
#include "picture/GifWriter.h"
#include "tests/support/TemporaryFolder.h"

#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace lumavine;

namespace {

class ImageExportTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_page = QImage(120, 80, QImage::Format_ARGB32_Premultiplied);
        m_page.fill(Qt::white);
        QPainter painter(&m_page);
        painter.fillRect(10, 10, 50, 30, QColor(200, 30, 30));
        painter.fillRect(60, 40, 50, 30, QColor(30, 30, 200));
    }
    std::string path(const char* name) const { return m_directory + "/" + name; }
    static bool exists(const std::string& file)
    {
        struct stat info;
        return stat(file.c_str(), &info) == 0;
    }
    static long long sizeOf(const std::string& file)
    {
        struct stat info;
        return stat(file.c_str(), &info) == 0 ? info.st_size : -1;
    }
    int filesInDirectory() const
    {
        std::string command = "ls -A '" + m_directory + "' | wc -l";
        FILE* pipe = popen(command.c_str(), "r");
        int count = -1;
        if (pipe && fscanf(pipe, "%d", &count) != 1)
            count = -1;
        if (pipe)
            pclose(pipe);
        return count;
    }

    test::TemporaryFolder m_folder { "lumavine-export" };
    std::string m_directory = m_folder.narrow();
    QImage m_page;
};

}

TEST_F(ImageExportTest, EveryTypeWritesARealFileOfItsFormat)
{
    struct Case {
        const char* type;
        const char* file;
        const char* format;
        int tolerance;
    };
    const Case cases[] = {
        { "png", "page.png", "png", 0 },
        { "", "empty.png", "png", 0 },
        { "jpeg", "page.jpeg", "jpeg", 40 },
        { "jpg", "page.jpg", "jpeg", 40 },
        { "JPG", "upper.jpg", "jpeg", 40 },
        { "bmp", "page.bmp", "bmp", 0 },
        { "gif", "page.gif", "gif", 0 },
    };
    for (const Case& c : cases) {
        std::string file = path(c.file);
        ASSERT_TRUE(exportPageImage(m_page, String(c.type), String(file), 90)) << c.type;
        QImageReader reader(QString::fromStdString(file));
        // Decided by content, not by the name.
        reader.setDecideFormatFromContent(true);
        EXPECT_EQ(reader.format(), QByteArray(c.format)) << c.type;
        QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << c.type;
        EXPECT_EQ(back.size(), m_page.size()) << c.type;
        QColor red = back.pixelColor(30, 20), blue = back.pixelColor(90, 60), white = back.pixelColor(5, 75);
        EXPECT_NEAR(red.red(), 200, c.tolerance) << c.type;
        EXPECT_NEAR(red.blue(), 30, c.tolerance) << c.type;
        EXPECT_NEAR(blue.blue(), 200, c.tolerance) << c.type;
        EXPECT_NEAR(white.green(), 255, c.tolerance) << c.type;
    }
    // Only the pictures: no temporary files left behind.
    EXPECT_EQ(filesInDirectory(), 7);

    // Published as they are: readable by others under the usual umask.
    mode_t previous = umask(022);
    ASSERT_TRUE(exportPageImage(m_page, u"png", String(path("page.png")), 90));
    umask(previous);
    struct stat info;
    ASSERT_EQ(stat(path("page.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(ImageExportTest, JpegTakesThePageQuality)
{
    QImage busy(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < busy.height(); ++y) {
        for (int x = 0; x < busy.width(); ++x)
            busy.setPixel(x, y, qRgb((x * 7) & 255, (y * 13) & 255, (x * y) & 255));
    }
    ASSERT_TRUE(exportPageImage(busy, u"jpg", String(path("low.jpg")), 10));
    ASSERT_TRUE(exportPageImage(busy, u"jpeg", String(path("high.jpg")), 95));
    EXPECT_GT(sizeOf(path("high.jpg")), 2 * sizeOf(path("low.jpg")));
}

TEST_F(ImageExportTest, NoneWritesNothingAndFailuresKeepTheOldFile)
{
    EXPECT_TRUE(exportPageImage(m_page, u"none", String(path("page.none")), 50));
    EXPECT_TRUE(exportPageImage(QImage(), u"None", String(path("page.none")), 50));
    EXPECT_FALSE(exists(path("page.none")));

    ASSERT_TRUE(exportPageImage(m_page, u"png", String(path("keep.png")), 50));
    long long before = sizeOf(path("keep.png"));
    EXPECT_FALSE(exportPageImage(m_page, u"xyz", String(path("keep.png")), 50));
    EXPECT_FALSE(exportPageImage(QImage(), u"png", String(path("keep.png")), 50));
    EXPECT_EQ(sizeOf(path("keep.png")), before);
    EXPECT_FALSE(exportPageImage(m_page, u"png", String(path("no/such/dir/x.png")), 50));
    EXPECT_EQ(filesInDirectory(), 1);

    EXPECT_EQ(pageImagePath(u"/p", u"My Home Page", u""), String(u"/p/content/My_Home_Page.png"));
    EXPECT_EQ(pageImagePath(u"/p", u"a", u"gif"), String(u"/p/content/a.gif"));
}

TEST_F(ImageExportTest, GifKeepsFewColoursExactlyAndDithersMany)
{
    GifWriter::Indexed few = GifWriter::reduceColors(m_page);
    EXPECT_EQ(few.palette.size(), 3u);

    QImage gradient(256, 64, QImage::Format_RGB32);
    QPainter painter(&gradient);
    QLinearGradient ramp(0, 0, 255, 0);
    ramp.setColorAt(0, QColor(255, 0, 0));
    ramp.setColorAt(1, QColor(0, 100, 255));
    painter.fillRect(gradient.rect(), ramp);
    painter.fillRect(0, 32, 256, 32, QColor(0, 0, 0, 0));
    painter.end();
    GifWriter::Indexed many = GifWriter::reduceColors(gradient);
    EXPECT_LE(many.palette.size(), 256u);
    ASSERT_EQ(many.pixels.size(), size_t(256 * 64));

    ASSERT_TRUE(exportPageImage(gradient, u"gif", String(path("ramp.gif")), 50));
    QImage back(QString::fromStdString(path("ramp.gif")));
    ASSERT_EQ(back.size(), gradient.size());
    // Dithered: the average over a 4 x 4 tile stays close to the original.
    for (int x = 0; x < 256; x += 32) {
        int red = 0, original = 0;
        for (int dy = 0; dy < 4; ++dy) {
            for (int dx = 0; dx < 4; ++dx) {
                red += qRed(back.pixel(x + dx, 8 + dy));
                original += qRed(gradient.pixel(x + dx, 8 + dy));
            }
        }
        EXPECT_NEAR(red / 16, original / 16, 16) << x;
    }
}
