#pragma once

#include "picture/Delta.h"

#include <QRect>
#include <QRegion>
#include <QSize>

namespace lumavine {

// What a picture and its shapes ask of whatever shows them: the canvas on
// screen, or the export view that renders page pictures.
class View {
public:
    virtual ~View() = default;

    virtual double zoom() const = 0;
    virtual QRect toScreen(const QRect& picture) const = 0;
    virtual QPoint toScreen(const QPoint& picture) const = 0;
    // Picture length to screen length (times the zoom) and back (divided by
    // it); conversions truncate toward zero.
    virtual int toScreenLength(int pictureLength) const = 0;
    virtual int toPictureLength(int screenLength) const = 0;
    // Where pointer moves become picture moves: each axis goes through
    // toPictureLength.
    PictureDelta toPicture(ScreenDelta delta) const
    {
        return PictureDelta { toPictureLength(delta.dx), toPictureLength(delta.dy) };
    }
    virtual void redraw() { }
    // Asks for only this area (screen pixels, as toScreen answers them) to
    // be painted again. Pictures ask it for moves of shapes alone, which
    // touch nothing else and whose extent they keep themselves; a view that
    // cannot paint part of itself redraws the whole.
    virtual void redrawArea(const QRegion&) { redraw(); }
    // The page rectangle from (0, 0) in screen pixels, where the page's own
    // decorations such as the grid go; empty when the view does not know it.
    virtual QSize pageSize() const { return QSize(); }
    // Export draws the page picture: identity conversions, no handles,
    // guides or grid. Preview shows the page as the site will.
    virtual bool isExportMode() const { return false; }
    virtual bool isPreviewMode() const { return false; }
    virtual QSize clientSize() const { return QSize(); }
    // Shapes report their point counts so the view can size shared buffers.
    virtual void raiseLargestPointCount(int) { }
    // The pointer is hidden while a handle is dragged.
    virtual void setPointerHidden(bool) { }
};

// The view page pictures are drawn through: no zoom, no scrolling.
class ExportView : public View {
public:
    double zoom() const override { return 1.0; }
    QRect toScreen(const QRect& picture) const override { return picture; }
    QPoint toScreen(const QPoint& picture) const override { return picture; }
    int toScreenLength(int pictureLength) const override { return pictureLength; }
    int toPictureLength(int screenLength) const override { return screenLength; }
    bool isExportMode() const override { return true; }
};

}
