#include "forms/XmlFormBorder.h"

#include "picture/BorderPainter.h"

#include <QPainter>
#include <algorithm>

namespace lumavine {

XmlFormBorder::XmlFormBorder(QWidget* parent) : QWidget(parent)
{
}

void XmlFormBorder::setDescription(std::u16string_view text)
{
    m_description = String(text);
    m_border = BorderProperties();
    m_border.apply(text);
    update();
}

void XmlFormBorder::showChanges(const std::vector<std::pair<String, String>>& changes)
{
    BorderProperties border;
    border.apply(m_description);
    for (const auto& [key, value] : changes) {
        if (!value.empty())
            border.setProperty(key, value);
    }
    m_border = border;
    update();
}

void XmlFormBorder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // "none" shows no border, as in the generated page.
    if (m_border.borderStyle() == BorderProperties::None)
        return;
    // The rings of a box run from its corner to its far edge inclusive.
    QRect bounds = rect().adjusted(0, 0, -1, -1);
    int fits = std::min(width(), height()) / 2;
    int width = std::clamp(m_border.width(), 0, std::min(fits, BorderPainter::maximumWidth));
    BorderPainter painterOfBorder(painter, width, m_border.borderStyle(), m_border.join(), m_border.lineColor().argb);
    painterOfBorder.drawRectangle(bounds);
}

}
