#include "picture/canvas/Component.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleHints>

namespace lumavine {

namespace {

constexpr int pageMargin = 6;
const QColor outsidePage(0xc0, 0xc0, 0xc0);

}

Component::Component(QWidget* parent)
    : QWidget(parent)
    , m_doubleClickInterval(QGuiApplication::styleHints()->mouseDoubleClickInterval())
    , m_horizontal(Qt::Horizontal, this)
    , m_vertical(Qt::Vertical, this)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_clickTimer.setSingleShot(true);
    connect(&m_clickTimer, &QTimer::timeout, this, &Component::clickTimedOut);
    for (QScrollBar* bar : { &m_horizontal, &m_vertical }) {
        bar->setSingleStep(scrollLineStep);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] { update(); });
    }
}

Component::~Component() = default;

QRect Component::toScreen(const QRect& picture) const
{
    QRect moved = picture.translated(-(m_previewMode ? m_previewOrigin : m_origin));
    if (m_zoom == 1.0)
        return moved;
    return QRect(
        int(moved.x() * m_zoom), int(moved.y() * m_zoom), int(moved.width() * m_zoom), int(moved.height() * m_zoom));
}

QPoint Component::toScreen(const QPoint& picture) const
{
    return toScreen(QRect(picture, QSize(0, 0))).topLeft();
}

QPoint Component::toPicturePoint(QPoint widgetPoint) const
{
    QPoint scrolled = toScrolled(widgetPoint);
    return QPoint(toPictureLength(scrolled.x()), toPictureLength(scrolled.y()));
}

QPoint Component::scrollPosition() const
{
    return QPoint(!m_horizontal.isHidden() ? m_horizontal.value() : 0, !m_vertical.isHidden() ? m_vertical.value() : 0);
}

void Component::redraw()
{
    // Laying out the shapes asks for redraws of its own; they are already
    // answered by the paint that follows.
    if (m_layingOut)
        return;
    m_stale = true;
    m_staleByMovesOnly = false;
    update();
}

void Component::redrawArea(const QRegion& area)
{
    if (m_layingOut)
        return;
    if (!m_stale)
        m_staleByMovesOnly = true;
    m_stale = true;
    update(area.translated(-scrollPosition()) & QRect(QPoint(0, 0), m_clientSize));
}

void Component::setPointerHidden(bool hidden)
{
    if (hidden)
        setCursor(Qt::BlankCursor);
    else
        unsetCursor();
}

void Component::setZoom(double zoom)
{
    if (!(zoom > 0) || zoom == m_zoom)
        return;
    m_zoom = zoom;
    zoomChanged();
    updateLayout();
    update();
}

void Component::setPreviewMode(bool on)
{
    m_previewMode = on;
    redraw();
}

void Component::updateLayout()
{
    layOut(false);
}

void Component::layOut(bool afterMovesOnly)
{
    m_layingOut = true;
    QSize extent = afterMovesOnly ? pictureExtentAfterMoves() : pictureExtent();
    m_layingOut = false;
    m_stale = false;
    m_staleByMovesOnly = false;
    m_pageSize = QSize(extent.width() + pageMargin, extent.height() + pageMargin);
    placeScrollBars();
}

void Component::placeScrollBars()
{
    const QSize whole = size();
    bool horizontal = m_pageSize.width() > whole.width();
    bool vertical = m_pageSize.height() > whole.height();
    // One bar takes room from the other direction, which can then need its
    // own bar as well.
    if (horizontal && !vertical)
        vertical = m_pageSize.height() > whole.height() - scrollBarThickness;
    if (vertical && !horizontal)
        horizontal = m_pageSize.width() > whole.width() - scrollBarThickness;

    m_clientSize = QSize(
        whole.width() - (vertical ? scrollBarThickness : 0), whole.height() - (horizontal ? scrollBarThickness : 0));
    m_clientSize = m_clientSize.expandedTo(QSize(0, 0));

    // The bar's document runs from 0 to the page size (and the other bar's
    // thickness when that one shows), of which a client's worth is seen.
    auto place = [](QScrollBar& bar, bool shown, int document, int client, QRect geometry) {
        if (!shown) {
            bar.setValue(0);
            bar.hide();
            return;
        }
        bar.setPageStep(std::max(1, client));
        bar.setRange(0, std::max(0, document - client));
        bar.setGeometry(geometry);
        bar.show();
    };
    place(m_horizontal, horizontal, m_pageSize.width() + (vertical ? scrollBarThickness : 0), m_clientSize.width(),
        QRect(0, whole.height() - scrollBarThickness, m_clientSize.width(), scrollBarThickness));
    place(m_vertical, vertical, m_pageSize.height() + (horizontal ? scrollBarThickness : 0), m_clientSize.height(),
        QRect(whole.width() - scrollBarThickness, 0, scrollBarThickness, m_clientSize.height()));
}

void Component::paintEvent(QPaintEvent* event)
{
    const QSize pageBefore = m_pageSize;
    const QSize clientBefore = m_clientSize;
    const QPoint scrollBefore = scrollPosition();
    if (m_stale)
        layOut(m_staleByMovesOnly);
    if (m_clientSize.isEmpty())
        return;
    // A page that grew or shrank moves the edge between page and grey, and
    // can bring or take scroll bars, which moves everything: those are
    // painted next, whatever area this paint was asked for.
    if (m_clientSize != clientBefore || scrollPosition() != scrollBefore)
        update();
    else if (m_pageSize != pageBefore)
        update(
            (QRegion(QRect(QPoint(0, 0), m_pageSize)) ^ QRect(QPoint(0, 0), pageBefore)).translated(-scrollPosition())
            & QRect(QPoint(0, 0), m_clientSize));
    const qreal ratio = devicePixelRatioF();
    if (m_backBuffer.size() != m_clientSize * ratio) {
        m_backBuffer = QImage(m_clientSize * ratio, QImage::Format_ARGB32_Premultiplied);
        m_backBuffer.setDevicePixelRatio(ratio);
    }
    // Only the area this paint is for is drawn again, and only it reaches
    // the screen: the rest of the buffer may be out of date, and is never
    // shown until a paint asks for it.
    const QRegion area = event->region() & QRect(QPoint(0, 0), m_clientSize);
    if (!area.isEmpty()) {
        QPainter painter(&m_backBuffer);
        painter.setClipRegion(area);
        painter.fillRect(QRect(QPoint(0, 0), m_clientSize), outsidePage);
        painter.translate(-scrollPosition());
        painter.fillRect(QRect(QPoint(0, 0), m_pageSize), pageColor());
        drawPage(painter);
    }
    QPainter screen(this);
    screen.drawImage(0, 0, m_backBuffer);
    if (!m_horizontal.isHidden() && !m_vertical.isHidden())
        screen.fillRect(QRect(m_clientSize.width(), m_clientSize.height(), scrollBarThickness, scrollBarThickness),
            palette().window());
}

void Component::resizeEvent(QResizeEvent*)
{
    m_stale = true;
    updateLayout();
}

void Component::mousePressEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    if (event->button() != Qt::LeftButton)
        return;
    if (m_doubleClickInterval <= 0) {
        pointerPress(point, event->modifiers());
        return;
    }
    if (m_clickTimer.isActive())
        resolvePendingClick(false);
    m_pendingPoint = point;
    m_pendingModifiers = event->modifiers();
    m_doubleClickArrived = false;
    m_pendingReleased = false;
    m_clickTimer.start(m_doubleClickInterval);
}

void Component::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_clickTimer.isActive()) {
        m_doubleClickArrived = true;
        return;
    }
    // Without click timing, or the timer ran out between the two clicks.
    pointerDoubleClick(event->position().toPoint(), event->modifiers());
}

void Component::mouseMoveEvent(QMouseEvent* event)
{
    // A drag that starts before the timer runs out is no double click: the
    // press is handled now so that the move finds it.
    if (m_clickTimer.isActive() && (event->buttons() & Qt::LeftButton) && !m_pendingReleased)
        resolvePendingClick(false);
    pointerMove(event->position().toPoint(), event->buttons(), event->modifiers());
}

void Component::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_clickTimer.isActive()) {
        if (!m_doubleClickArrived) {
            m_pendingReleased = true;
            m_pendingReleasePoint = event->position().toPoint();
        }
        return;
    }
    pointerRelease(event->position().toPoint(), event->modifiers());
}

void Component::clickTimedOut()
{
    resolvePendingClick(m_doubleClickArrived);
}

void Component::resolvePendingClick(bool asDoubleClick)
{
    m_clickTimer.stop();
    m_doubleClickArrived = false;
    if (asDoubleClick) {
        pointerDoubleClick(m_pendingPoint, m_pendingModifiers);
        return;
    }
    pointerPress(m_pendingPoint, m_pendingModifiers);
    if (m_pendingReleased) {
        m_pendingReleased = false;
        pointerRelease(m_pendingReleasePoint, m_pendingModifiers);
    }
}

}
