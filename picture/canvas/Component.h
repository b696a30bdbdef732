#pragma once

#include "picture/View.h"

#include <QImage>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

namespace lumavine {

// The generic canvas: zoom, scrolling, the conversions between picture and
// screen, click timing and painting through a back buffer kept between
// paints. What is drawn and what a click does belong to the subclass.
class Component : public QWidget, public View {
    Q_OBJECT

public:
    static constexpr int scrollBarThickness = 16;
    static constexpr int scrollLineStep = 50;

    explicit Component(QWidget* parent = nullptr);
    ~Component() override;

    // View
    double zoom() const override { return m_zoom; }
    QRect toScreen(const QRect& picture) const override;
    QPoint toScreen(const QPoint& picture) const override;
    int toScreenLength(int pictureLength) const override { return int(pictureLength * m_zoom); }
    int toPictureLength(int screenLength) const override { return int(screenLength / m_zoom); }
    // Main thread only: marks the page size stale and asks for a paint.
    void redraw() override;
    // Main thread only: asks for a paint of the area alone, for shapes
    // moved; the page size is checked against the picture's extent as kept
    // through moves, and the whole view is painted when it changed enough to
    // bring or take scroll bars.
    void redrawArea(const QRegion& area) override;
    bool isPreviewMode() const override { return m_previewMode; }
    QSize clientSize() const override { return m_clientSize; }
    void raiseLargestPointCount(int count) override { m_largestPointCount = std::max(m_largestPointCount, count); }
    void setPointerHidden(bool hidden) override;

    // Zoom factors not above 0 are refused.
    void setZoom(double zoom);
    void setPreviewMode(bool on);
    int largestPointCount() const { return m_largestPointCount; }

    // A pointer position in the widget as the picture's drag and move
    // operations take it: offset by the scroll position, still in screen
    // pixels.
    QPoint toScrolled(QPoint widgetPoint) const { return widgetPoint + scrollPosition(); }
    // A pointer position in the widget as a picture point.
    QPoint toPicturePoint(QPoint widgetPoint) const;
    QPoint scrollPosition() const;

    // How long a press waits for a second one; 0 handles every press at once.
    int doubleClickInterval() const { return m_doubleClickInterval; }
    void setDoubleClickInterval(int milliseconds) { m_doubleClickInterval = std::max(0, milliseconds); }
    bool isClickPending() const { return m_clickTimer.isActive(); }

    QScrollBar& horizontalBar() { return m_horizontal; }
    QScrollBar& verticalBar() { return m_vertical; }
    // Recomputes the page size, the scroll bars and the client area now
    // instead of at the next paint.
    void updateLayout();
    // The page rectangle: the picture's extent and a margin of 6, in screen
    // pixels of the current zoom.
    QSize pageSize() const override { return m_pageSize; }

protected:
    // The picture's extent in screen pixels of the current zoom.
    virtual QSize pictureExtent() { return QSize(); }
    // The same when nothing but moves reported through redrawArea changed
    // the picture since the last time it was asked; a picture that keeps its
    // extent through moves can answer without laying itself out again.
    virtual QSize pictureExtentAfterMoves() { return pictureExtent(); }
    // Draws the page; the painter is already moved by the scroll position.
    virtual void drawPage(QPainter&) { }
    virtual QColor pageColor() const { return Qt::white; }
    // The zoom changed: sizes kept in screen pixels are out of date.
    virtual void zoomChanged() { }

    // Pointer input after click timing, with widget positions. A press the
    // timer held back comes with the modifiers it had.
    virtual void pointerPress(QPoint, Qt::KeyboardModifiers) { }
    virtual void pointerDoubleClick(QPoint, Qt::KeyboardModifiers) { }
    virtual void pointerMove(QPoint, Qt::MouseButtons, Qt::KeyboardModifiers) { }
    virtual void pointerRelease(QPoint, Qt::KeyboardModifiers) { }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void clickTimedOut();
    // Handles the press the timer holds, and the release that came while it
    // waited.
    void resolvePendingClick(bool asDoubleClick);
    void placeScrollBars();
    // The page size from the picture's extent, asked the cheaper way when
    // only moves changed the picture since.
    void layOut(bool afterMovesOnly);

    double m_zoom = 1.0;
    QPoint m_origin;
    QPoint m_previewOrigin;
    bool m_previewMode = false;
    QSize m_pageSize;
    QSize m_clientSize;
    QImage m_backBuffer;
    bool m_stale = true;
    // Whether every change since the last layout came through redrawArea.
    bool m_staleByMovesOnly = false;
    bool m_layingOut = false;
    int m_largestPointCount = 0;

    int m_doubleClickInterval = 0;
    QTimer m_clickTimer;
    QPoint m_pendingPoint;
    Qt::KeyboardModifiers m_pendingModifiers;
    bool m_doubleClickArrived = false;
    bool m_pendingReleased = false;
    QPoint m_pendingReleasePoint;

    QScrollBar m_horizontal;
    QScrollBar m_vertical;
};

}
