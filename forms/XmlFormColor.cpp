#include "forms/XmlFormColor.h"

#include <QMouseEvent>
#include <QPainter>

namespace lumavine {

XmlFormColor::XmlFormColor(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void XmlFormColor::setColor(std::uint32_t argb)
{
    if (argb == m_color)
        return;
    m_color = argb;
    update();
}

void XmlFormColor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // A see-through colour shows over a checkerboard so that its alpha can be judged.
    if ((m_color >> 24) < 255) {
        const int cell = 4;
        for (int y = 0; y < height(); y += cell) {
            for (int x = 0; x < width(); x += cell)
                painter.fillRect(x, y, cell, cell, ((x + y) / cell) % 2 ? QColor(0xC0, 0xC0, 0xC0) : Qt::white);
        }
    }
    painter.fillRect(rect(), QColor::fromRgba(m_color));
}

void XmlFormColor::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

}
