// Exporting a 1500 x 1500 page of 2,000 shapes of every kind: the time to
// draw the shapes, the time to encode the bitmap, and the whole export
// against the PNG encoding alone of the same bitmap.
//
//   page_export_bench [--rounds N] [--save DIRECTORY]
//
// --save writes the page in every image type and a sheet of border styles
// into DIRECTORY, to look at.
#include "picture/BorderPainter.h"
#include "picture/DisplayNode.h"
#include "picture/ImageExport.h"
#include "picture/View.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace lumavine;

namespace {

constexpr int pageSide = 1500;
constexpr int shapeCount = 2000;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

String colorText(std::mt19937& random, bool translucent = false)
{
    char text[16];
    unsigned value = random() & 0xFFFFFF;
    if (translucent)
        std::snprintf(text, sizeof text, "#%06x%02x", value, unsigned(random() % 200 + 40));
    else
        std::snprintf(text, sizeof text, "#%06x", value);
    return String(text);
}

std::vector<std::unique_ptr<DisplayNode>> makeShapes(View& view)
{
    static const char16_t* styles[] = { u"solid", u"inset", u"outset", u"ridge", u"groove" };
    static const char16_t* joins[] = { u"miter", u"bevel", u"round" };
    static const char16_t* modes[] = { u"", u",vertical", u",forward", u",backward" };
    std::mt19937 random(20240601);
    std::vector<std::unique_ptr<DisplayNode>> shapes;
    for (int i = 0; i < shapeCount; ++i) {
        auto node = std::make_unique<DisplayNode>(&view);
        int x = int(random() % (pageSide - 160));
        int y = int(random() % (pageSide - 120));
        int w = 20 + int(random() % 140);
        int h = 20 + int(random() % 100);
        switch (i % 8) {
        case 0:
        case 1:
            node->setKind(ShapeKind::Rectangle);
            break;
        case 2:
            node->setKind(ShapeKind::Ellipse);
            break;
        case 3:
            node->setKind(ShapeKind::RoundRectangle);
            break;
        case 4: {
            node->setKind(ShapeKind::Polygon, 5);
            std::vector<QPoint> points;
            for (int k = 0; k < 5; ++k)
                points.emplace_back(x + int(random() % w), y + int(random() % h));
            node->setPoints(points);
            break;
        }
        case 5: {
            static const char16_t* types[] = { u"straight", u"curve", u"bezier" };
            node->setKind(ShapeKind::Line, 4);
            std::vector<QPoint> points;
            for (int k = 0; k < 4; ++k)
                points.emplace_back(x + int(random() % w), y + int(random() % h));
            node->setPoints(points);
            String line = String(u"type:") + types[i % 3] + u";width:" + String::number(1 + int(random() % 4))
                + u";color:" + colorText(random) + u";enda:arrow;endz:arrow";
            node->setProperty(u"line", line);
            node->computeLineEnds();
            break;
        }
        case 6:
            node->setKind(ShapeKind::Text);
            node->setText(u"Caption text\nsecond line");
            break;
        default:
            node->setKind(ShapeKind::Rectangle);
            node->setText(u"Button");
            node->setProperty(u"halign", u"center");
            node->setProperty(u"valign", u"center");
            break;
        }
        if (node->kind() != ShapeKind::Polygon && node->kind() != ShapeKind::Line)
            node->setBounds(QRect(x, y, w, h));
        if (node->kind() != ShapeKind::Line) {
            String border = String(u"border-width:") + String::number(int(random() % 7)) + u";border-style:"
                + styles[random() % 5] + u";border-join:" + joins[random() % 3] + u";border-color:" + colorText(random);
            node->setProperty(u"border", border);
            String background = colorText(random, i % 3 == 0);
            if (i % 4 == 1)
                background = background + u"," + colorText(random) + modes[random() % 4];
            node->setProperty(u"background-color", background);
        }
        QPoint extent;
        node->layout(extent);
        shapes.push_back(std::move(node));
    }
    return shapes;
}

QImage drawPage(std::vector<std::unique_ptr<DisplayNode>>& shapes)
{
    QImage page(pageSide, pageSide, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QPainter painter(&page);
    for (auto& shape : shapes)
        shape->draw(painter);
    return page;
}

double encodeInMemory(const QImage& page, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    auto start = Clock::now();
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(page);
    return millisecondsSince(start);
}

void saveBorderSheet(const std::string& directory)
{
    ExportView view;
    QImage sheet(760, 420, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    static const char16_t* styles[] = { u"solid", u"inset", u"outset", u"ridge", u"groove", u"none" };
    static const ShapeKind kinds[] = { ShapeKind::Rectangle, ShapeKind::Ellipse, ShapeKind::RoundRectangle };
    for (int s = 0; s < 6; ++s) {
        for (int k = 0; k < 3; ++k) {
            DisplayNode node(&view);
            node.setKind(kinds[k]);
            node.setBounds(QRect(10 + s * 125, 10 + k * 135, 110, 120));
            node.setProperty(u"border", String(u"border-color:#c0c0c0;border-width:8;border-style:") + styles[s]);
            node.setProperty(u"background-color", u"#c0c0c0");
            node.setText(String(styles[s]));
            node.setProperty(u"halign", u"center");
            node.setProperty(u"valign", u"center");
            node.draw(painter);
        }
    }
    painter.end();
    sheet.save(QString::fromStdString(directory + "/borders.png"));
}

}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication application(argc, argv);
    int rounds = 5;
    std::string saveDirectory;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--save") && i + 1 < argc)
            saveDirectory = argv[++i];
    }

    ExportView view;
    auto shapes = makeShapes(view);
    std::string target = (saveDirectory.empty() ? std::string("/tmp") : saveDirectory) + "/bench-page.png";

    std::vector<double> draw, png, jpeg, gif, whole;
    QImage page;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        page = drawPage(shapes);
        draw.push_back(millisecondsSince(start));
        png.push_back(encodeInMemory(page, "png", -1));
        jpeg.push_back(encodeInMemory(page, "jpeg", 50));
        start = Clock::now();
        exportPageImage(page, u"gif", String(target + ".gif"), 50);
        gif.push_back(millisecondsSince(start));
        start = Clock::now();
        QImage exported = drawPage(shapes);
        exportPageImage(exported, u"png", String(target), 50);
        whole.push_back(millisecondsSince(start));
    }
    std::printf("page %dx%d, %d shapes, median of %d rounds\n", pageSide, pageSide, shapeCount, rounds);
    std::printf("draw                 %8.1f ms\n", median(draw));
    std::printf("encode png           %8.1f ms\n", median(png));
    std::printf("encode jpeg (q 50)   %8.1f ms\n", median(jpeg));
    std::printf("export gif (giflib)  %8.1f ms\n", median(gif));
    std::printf("whole png export     %8.1f ms (draw + encode + write)\n", median(whole));
    std::printf("draw / png encode    %8.2f  (target <= 1)\n", median(draw) / median(png));
    std::printf("whole / png encode   %8.2f\n", median(whole) / median(png));

    if (!saveDirectory.empty()) {
        for (const char16_t* type : { u"png", u"jpg", u"gif", u"bmp" })
            exportPageImage(page, type, String(saveDirectory) + u"/page." + type, 50);
        saveBorderSheet(saveDirectory);
    }
    std::remove(target.c_str());
    std::remove((target + ".gif").c_str());
    return 0;
}
