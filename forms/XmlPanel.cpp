#include "forms/XmlPanel.h"

#include "forms/QtText.h"
#include "forms/XmlForm.h"

#include <QFontMetrics>
#include <QPainter>

namespace lumavine {

XmlPanel::XmlPanel(XmlForm* form, const String& caption, QWidget* parent)
    : QWidget(parent)
    , m_form(form)
    , m_caption(caption)
{
    setFocusPolicy(Qt::ClickFocus);
}

int XmlPanel::captionHeight() const
{
    return QFontMetrics(font()).height() + 10;
}

void XmlPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(QRect(0, 0, width(), captionHeight()), QColor::fromRgba(0xFFD2D2D2));
    painter.setPen(QColor(0x70, 0x70, 0x70));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    QFontMetrics metrics(font());
    painter.drawText(QRect(3, 2, width() - 6, metrics.height()), Qt::AlignLeft | Qt::AlignTop, toQString(m_caption));
    m_form->paintFrames(painter, this);
}

void XmlPanel::mousePressEvent(QMouseEvent*)
{
    setFocus(Qt::MouseFocusReason);
}

void XmlPanel::focusInEvent(QFocusEvent*)
{
    // The panel itself takes no input: the first control inside it does.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isVisible() && child->focusPolicy() != Qt::NoFocus) {
            child->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

}
