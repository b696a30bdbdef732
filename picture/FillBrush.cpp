#include "picture/FillBrush.h"

#include "picture/DisplayElement.h"
#include "picture/WinImage.h"

#include <QLinearGradient>

namespace lumavine {

void gradientLine(int mode, const QRectF& area, QPointF& start, QPointF& end)
{
    switch (mode) {
    case 1:
        start = area.topLeft();
        end = area.bottomLeft();
        break;
    case 2:
        start = area.topLeft();
        end = area.bottomRight();
        break;
    case 3:
        start = area.topRight();
        end = area.bottomLeft();
        break;
    default:
        start = area.topLeft();
        end = area.topRight();
        break;
    }
}

QBrush fillBrush(const DisplayElement& element, const QRectF& area)
{
    if (element.hasGradient()) {
        QPointF start;
        QPointF end;
        gradientLine(element.gradientMode(), area, start, end);
        QLinearGradient gradient(start, end);
        gradient.setColorAt(0, element.backgroundColor().toQColor());
        gradient.setColorAt(1, element.gradientEndColor().toQColor());
        gradient.setSpread(QGradient::RepeatSpread);
        return QBrush(gradient);
    }
    if (element.hasBackgroundImage()) {
        WinImage* image = element.backgroundImage();
        if (image && image->isLoaded())
            return QBrush(image->image());
        return QBrush();
    }
    if (element.hasBackgroundColor())
        return QBrush(element.backgroundColor().toQColor());
    return QBrush();
}

}
