#include "picture/PageRenderer.h"

#include "picture/Pic.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <QPainter>

namespace lumavine {

namespace {

// Shapes reach their view through the picture, so the picture is shown in
// the export view for as long as the drawing takes.
class ViewSwap {
public:
    ViewSwap(Pic& picture, View& view) : m_picture(picture), m_old(picture.view()) { picture.setView(&view); }
    ~ViewSwap() { m_picture.setView(m_old); }
    ViewSwap(const ViewSwap&) = delete;
    ViewSwap& operator=(const ViewSwap&) = delete;

private:
    Pic& m_picture;
    View* m_old;
};

QBrush pageBrush(const Pic& picture)
{
    if (picture.hasBackgroundImage()) {
        if (WinImage* image = picture.backgroundImage(); image && image->isLoaded())
            return QBrush(image->image());
    }
    if (picture.hasBackgroundColor() || picture.hasGradient())
        return QBrush(picture.backgroundColor().toQColor());
    return QBrush(Qt::white);
}

}

String pagePictureSizeProblem(QSize size)
{
    if ((long long)size.width() * size.height() <= largestPagePicturePixels)
        return String();
    return String::number(size.width()) + u" x " + String::number(size.height()) + u" pixels is more than the "
        + String::number(largestPagePicturePixels)
        + u" a page picture may have; shapes far from the top left or a large picture size make it so large";
}

QImage renderPagePicture(Pic& picture, QSize size, String* problem)
{
    ExportView exportView;
    ViewSwap swap(picture, exportView);
    QPoint extent = picture.extent();
    QRect page(0, 0, extent.x() + 6, extent.y() + 6);
    if (!size.isValid() || size.isEmpty())
        size = page.size();
    if (String tooLarge = pagePictureSizeProblem(size); !tooLarge.empty()) {
        if (problem)
            *problem = tooLarge;
        return QImage();
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(page, pageBrush(picture));
    picture.draw(painter);
    painter.end();
    return image;
}

}
