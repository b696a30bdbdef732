#include "forms/XmlFormImage.h"

#include "forms/QtText.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace lumavine {

XmlFormImage::XmlFormImage(QWidget* parent) : QWidget(parent)
{
}

String XmlFormImage::resolve(const String& path, const String& root)
{
    String location = path;
    location.replaceChar(u'\\', u'/');
    if (location.startsWith(u"file://"))
        location = location.substring(7);
    if (location.empty() || location.startsWith(u"/") || location.contains(u"://") || root.empty())
        return location;
    String joined = root;
    joined.replaceChar(u'\\', u'/');
    if (!joined.endsWith(u"/"))
        joined.push_back(u'/');
    return joined + location;
}

bool XmlFormImage::load(const String& path, const String& root)
{
    m_location = resolve(path, root);
    // Only local files: pictures at web locations come into the project first.
    QImage picture;
    if (!m_location.empty() && !m_location.contains(u"://"))
        picture.load(toQString(m_location));
    m_picture = picture;
    updateRatio();
    update();
    return !m_picture.isNull();
}

void XmlFormImage::clear()
{
    m_picture = QImage();
    m_location.clear();
    m_ratio = 0;
    update();
}

void XmlFormImage::setBrowse(bool on)
{
    m_browse = on;
    setCursor(Qt::ArrowCursor);
    updateRatio();
    update();
}

QRect XmlFormImage::browseStrip() const
{
    if (!m_browse)
        return QRect();
    int strip = QFontMetrics(font()).height() * 3 / 2;
    return QRect(0, std::max(0, height() - strip), width(), std::min(strip, height()));
}

void XmlFormImage::updateRatio()
{
    m_ratio = 0;
    if (m_picture.isNull())
        return;
    QRect area(0, 0, width(), height() - browseStrip().height());
    if (area.width() <= 0 || area.height() <= 0)
        return;
    m_ratio = std::min(double(area.width()) / m_picture.width(), double(area.height()) / m_picture.height());
}

void XmlFormImage::resizeEvent(QResizeEvent*)
{
    updateRatio();
}

void XmlFormImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xF4, 0xF4, 0xF4));
    QRect strip = browseStrip();
    if (m_ratio > 0) {
        int w = int(m_picture.width() * m_ratio);
        int h = int(m_picture.height() * m_ratio);
        int areaHeight = height() - strip.height();
        QRect target((width() - w) / 2, (areaHeight - h) / 2, w, h);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_picture);
    }
    if (!strip.isEmpty()) {
        painter.fillRect(strip, QColor(0xD2, 0xD2, 0xD2));
        painter.setPen(QColor(0x70, 0x70, 0x70));
        painter.drawLine(strip.topLeft(), strip.topRight());
        painter.setPen(Qt::black);
        painter.drawText(strip, Qt::AlignCenter, tr("Browse..."));
    }
}

void XmlFormImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && browseStrip().contains(event->position().toPoint()))
        emit clicked();
}

}
