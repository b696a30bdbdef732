#include "app/CommandIcons.h"

#include "app/Commands.h"
#include "picture/canvas/PageView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace lumavine {

namespace {

const QColor ink(0x30, 0x38, 0x48);
const QColor paper(0xfa, 0xfa, 0xf6);
const QColor accent(0x20, 0x70, 0xd0);
const QColor warm(0xe8, 0x8a, 0x20);

// A sheet with a folded corner, the picture of a page or a document.
void drawSheet(QPainter& p, QRectF r)
{
    QPainterPath sheet;
    const qreal fold = r.width() * 0.3;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setBrush(paper);
    p.drawPath(sheet);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void drawPicture(QPainter& p, QRectF r)
{
    p.setBrush(QColor(0xcf, 0xe6, 0xfa));
    p.drawRect(r);
    p.setBrush(warm);
    p.drawEllipse(
        QPointF(r.right() - r.width() * 0.28, r.top() + r.height() * 0.3), r.width() * 0.12, r.width() * 0.12);
    QPolygonF hills { QPointF(r.left(), r.bottom()), QPointF(r.left() + r.width() * 0.35, r.top() + r.height() * 0.4),
        QPointF(r.left() + r.width() * 0.6, r.bottom() - r.height() * 0.25),
        QPointF(r.left() + r.width() * 0.75, r.top() + r.height() * 0.55), QPointF(r.right(), r.bottom()) };
    p.setBrush(QColor(0x3a, 0x9a, 0x50));
    p.drawPolygon(hills);
}

void drawIcon(int id, QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (id) {
    case CommandId::New:
        drawSheet(p, QRectF(7, 3, 18, 26));
        p.setPen(QPen(warm, 2.2));
        p.drawLine(QPointF(22, 20), QPointF(22, 30));
        p.drawLine(QPointF(17, 25), QPointF(27, 25));
        break;
    case CommandId::Open: {
        p.setBrush(QColor(0xf0, 0xc8, 0x60));
        p.drawRect(QRectF(3, 8, 24, 19));
        QPolygonF flap { QPointF(3, 27), QPointF(8, 14), QPointF(30, 14), QPointF(27, 27) };
        p.setBrush(QColor(0xf8, 0xdc, 0x88));
        p.drawPolygon(flap);
        break;
    }
    case CommandId::Save:
        p.setBrush(accent);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(paper);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(0xd8, 0xe4, 0xf0));
        p.drawRect(QRectF(8, 18, 16, 10));
        break;
    case CommandId::Cut:
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(9, 24), 4.5, 4.5);
        p.drawEllipse(QPointF(23, 24), 4.5, 4.5);
        p.setPen(QPen(ink, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 20), QPointF(24, 4));
        p.drawLine(QPointF(20, 20), QPointF(8, 4));
        break;
    case CommandId::Copy:
        drawSheet(p, QRectF(4, 3, 15, 20));
        drawSheet(p, QRectF(13, 9, 15, 20));
        break;
    case CommandId::Paste:
        p.setBrush(QColor(0xb8, 0x8a, 0x50));
        p.drawRoundedRect(QRectF(5, 5, 20, 24), 2, 2);
        p.setBrush(QColor(0xc0, 0xc0, 0xc8));
        p.drawRect(QRectF(11, 2, 8, 6));
        drawSheet(p, QRectF(14, 12, 15, 18));
        break;
    case PageView::NewRectangle:
        p.setBrush(QColor(0x9c, 0xc8, 0xf0));
        p.drawRect(QRectF(4, 8, 24, 17));
        break;
    case PageView::NewRoundRectangle:
        p.setBrush(QColor(0x9c, 0xc8, 0xf0));
        p.drawRoundedRect(QRectF(4, 8, 24, 17), 6, 6);
        break;
    case PageView::NewEllipse:
        p.setBrush(QColor(0x9c, 0xc8, 0xf0));
        p.drawEllipse(QRectF(3, 7, 26, 19));
        break;
    case PageView::NewPolygon: {
        QPolygonF triangle { QPointF(16, 4), QPointF(3, 28), QPointF(29, 28) };
        p.setBrush(QColor(0x9c, 0xc8, 0xf0));
        p.drawPolygon(triangle);
        break;
    }
    case PageView::NewLine:
        p.setPen(QPen(ink, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 26), QPointF(27, 6));
        p.setBrush(accent);
        p.setPen(QPen(ink, 1));
        p.drawRect(QRectF(3, 24, 5, 5));
        p.drawRect(QRectF(24, 3, 5, 5));
        break;
    case PageView::NewPicture:
        drawPicture(p, QRectF(3, 6, 26, 20));
        break;
    case PageView::NewThumbnail:
        p.setBrush(paper);
        p.drawRect(QRectF(3, 3, 26, 26));
        drawPicture(p, QRectF(8, 9, 16, 13));
        break;
    case PageView::NewFrame:
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x00, 0x80, 0xff), 5));
        p.drawRect(QRectF(6, 6, 20, 20));
        break;
    case PageView::NewButton: {
        p.setBrush(QColor(0xc0, 0xc0, 0xc0));
        p.drawRoundedRect(QRectF(2, 9, 28, 15), 3, 3);
        p.setPen(QPen(Qt::white, 1.5));
        p.drawLine(QPointF(4, 11), QPointF(28, 11));
        QFont font = p.font();
        font.setPixelSize(9);
        font.setBold(true);
        p.setFont(font);
        p.setPen(ink);
        p.drawText(QRectF(2, 9, 28, 15), Qt::AlignCenter, QStringLiteral("OK"));
        break;
    }
    case PageView::Preview:
        p.setBrush(QColor(0xd8, 0xec, 0xff));
        p.drawEllipse(QRectF(4, 4, 24, 24));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(10, 4, 12, 24));
        p.drawLine(QPointF(4, 16), QPointF(28, 16));
        break;
    case PageView::PageProperties:
        drawSheet(p, QRectF(4, 3, 18, 26));
        p.setPen(QPen(warm, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 26), QPointF(28, 10));
        break;
    case PageView::Transition:
        p.setBrush(QColor(0x9c, 0xc8, 0xf0));
        p.drawRect(QRectF(3, 3, 17, 17));
        p.setBrush(QColor(0xf0, 0xc8, 0x90));
        p.drawRect(QRectF(12, 12, 17, 17));
        break;
    case PageView::Pages:
        drawSheet(p, QRectF(3, 3, 16, 20));
        drawSheet(p, QRectF(8, 6, 16, 20));
        drawSheet(p, QRectF(13, 9, 16, 20));
        break;
    case PageView::Slideshows:
        p.setBrush(ink);
        p.drawRect(QRectF(3, 6, 26, 20));
        drawPicture(p, QRectF(7, 10, 18, 12));
        break;
    case PageView::Initialize: {
        QPolygonF bolt { QPointF(18, 2), QPointF(7, 18), QPointF(15, 18), QPointF(12, 30), QPointF(25, 12),
            QPointF(17, 12) };
        p.setBrush(warm);
        p.drawPolygon(bolt);
        break;
    }
    case PageView::Publish: {
        p.setBrush(QColor(0xd8, 0xec, 0xff));
        p.drawEllipse(QRectF(3, 12, 26, 16));
        p.setPen(QPen(accent, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(16, 22), QPointF(16, 4));
        p.drawLine(QPointF(10, 10), QPointF(16, 4));
        p.drawLine(QPointF(22, 10), QPointF(16, 4));
        break;
    }
    default:
        break;
    }
}

bool hasIcon(int id)
{
    for (int shown : Commands::toolbar())
        if (shown == id)
            return true;
    return false;
}

}

QIcon commandIcon(int id)
{
    if (id == 0 || !hasIcon(id))
        return QIcon();
    QIcon icon;
    for (int scale : { 1, 2 }) {
        QPixmap pixmap(32 * scale, 32 * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.scale(scale, scale);
        drawIcon(id, painter);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}
