#include "forms/SpinButton.h"

#include "forms/QtText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace lumavine {

SpinButton::SpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void SpinButton::setRange(int low, int high)
{
    m_low = std::min(low, high);
    m_high = std::max(low, high);
}

void SpinButton::setBuddy(QLineEdit* buddy)
{
    if (m_buddyGuard)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    m_buddyGuard = buddy;
    if (m_buddy)
        m_buddy->installEventFilter(this);
}

void SpinButton::step(int steps)
{
    if (!m_buddyGuard)
        return;
    int value = m_low;
    if (!fromQString(m_buddy->text()).readInt(value))
        value = m_low;
    long long span = (long long)m_high - m_low + 1;
    long long next = (long long)value - m_low + steps;
    next = ((next % span) + span) % span;
    m_buddy->setText(QString::number(m_low + next));
}

void SpinButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int half = height() / 2;
    const QRect parts[2] = { QRect(0, 0, width(), half), QRect(0, half, width(), height() - half) };
    const QStyle::PrimitiveElement arrows[2] = { QStyle::PE_IndicatorArrowUp, QStyle::PE_IndicatorArrowDown };
    for (int i = 0; i < 2; ++i) {
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = parts[i];
        button.state |= QStyle::State_Raised;
        style()->drawPrimitive(QStyle::PE_PanelButtonBevel, &button, &painter, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = parts[i].adjusted(2, 1, -2, -1);
        style()->drawPrimitive(arrows[i], &arrow, &painter, this);
    }
}

void SpinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        step(event->position().y() < height() / 2 ? 1 : -1);
}

bool SpinButton::eventFilter(QObject* watched, QEvent* event)
{
    if (m_buddyGuard && watched == m_buddyGuard.data() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}
