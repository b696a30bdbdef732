#include "bench/support/SiteProject.h"

#include "page/Page.h"
#include "page/PageNode.h"

#include <QColor>
#include <QImage>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace lumavine::bench {

namespace {

String colorText(std::mt19937& random)
{
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", unsigned(random() & 0xFFFFFF));
    return String(text);
}

String quoted(const String& text)
{
    return String(u"'") + text + u"'";
}

}

// The first generation copies them into content/files.
std::vector<std::string> writeSourcePictures(const std::string& folder)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(QColor::fromHsv(i * 80, 200, 220));
        std::string path = folder + "/picture" + std::to_string(i) + ".png";
        picture.save(QString::fromStdString(path));
        paths.push_back(path);
    }
    return paths;
}

void fillSitePage(
    Page& page, int pageIndex, int shapeCount, const std::vector<std::string>& pictures, const String& otherPageLabel)
{
    static const char16_t* borders[] = { u"solid", u"inset", u"outset", u"ridge", u"groove" };
    static const char16_t* lineTypes[] = { u"straight", u"curve", u"bezier" };
    std::mt19937 random(unsigned(20261208 + pageIndex));
    constexpr int side = 1200;

    PicNode* frame = page.addRectangle(QRect(side - 300, 10, 280, 220));
    frame->setProperty(u"frame", String(u"true"));
    String target = quoted(frame->getName());
    String picture = quoted(String(pictures[size_t(pageIndex) % pictures.size()]));
    String showPicture
        = String(u"javascript:show_picture(") + target + u"," + picture + u",'A caption',null,null,null,100,true)";
    String showPage = String(u"javascript:show_page(") + target + u",'" + otherPageLabel + u".html',null,100)";

    for (int i = 1; i < shapeCount; ++i) {
        int x = int(random() % (side - 360));
        int y = int(random() % (side - 140));
        int w = 24 + int(random() % 120);
        int h = 20 + int(random() % 90);
        PicNode* node = nullptr;
        switch (i % 6) {
        case 0:
        case 1:
            node = page.addRectangle(QRect(x, y, w, h));
            node->setText(String(u"Button ") + String::number(i));
            node->setProperty(u"halign", String(u"center"));
            node->setProperty(u"valign", String(u"center"));
            break;
        case 2:
            node = page.addEllipse(QRect(x, y, w, h));
            break;
        case 3: {
            std::vector<QPoint> points;
            for (int k = 0; k < 5; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addPolygon(points);
            break;
        }
        case 4: {
            std::vector<QPoint> points;
            for (int k = 0; k < 3; ++k)
                points.emplace_back(x + int(random() % unsigned(w)), y + int(random() % unsigned(h)));
            node = page.addLine(points);
            node->setProperty(u"line",
                String(u"type:") + lineTypes[i % 3] + u";width:2;color:" + colorText(random)
                    + u";enda:arrow;endz:arrow");
            break;
        }
        default:
            node = page.addPicture(x, y, String(pictures[size_t(i) % pictures.size()]));
            break;
        }
        if (!node)
            continue;
        if (i % 6 != 4 && i % 6 != 5) {
            node->setProperty(u"border",
                String(u"border-width:") + String::number(1 + int(random() % 4)) + u";border-style:"
                    + borders[random() % 5] + u";border-color:" + colorText(random));
            String background = colorText(random);
            if (i % 4 == 1)
                background = background + u"," + colorText(random) + u",vertical";
            node->setProperty(u"background-color", background);
        }
        switch (i % 10) {
        case 0:
            node->setProperty(u"onmousedown", showPicture);
            node->setProperty(u"title", String(u"Shows a picture"));
            break;
        case 3:
            node->setProperty(u"onmouseover", showPage);
            node->setProperty(u"onmouseout", String(u"javascript:clear_frame(") + target + u")");
            break;
        case 7:
            node->setProperty(u"href", String(u"https://example.org/") + String::number(i));
            break;
        default:
            break;
        }
    }
    page.initialize().list().add(String(u"Start"), showPicture);
}

ResidentSize residentSize()
{
    ResidentSize size;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string name;
        long kilobytes = 0;
        fields >> name >> kilobytes;
        if (name == "VmRSS:")
            size.current = kilobytes;
        else if (name == "VmHWM:")
            size.peak = kilobytes;
    }
    return size;
}

}
