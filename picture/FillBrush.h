#pragma once

#include <QBrush>
#include <QRectF>

namespace lumavine {

class DisplayElement;

// The brush an element's background fills `area` with: its gradient over the
// area, else its background image as a texture tiled from the surface's
// origin, else its solid colour (translucent colours blend with what lies
// below). NoBrush when the element has no background.
QBrush fillBrush(const DisplayElement& element, const QRectF& area);

// The end points of a linear gradient over `area` for a gradient mode:
// 0 left to right, 1 top to bottom, 2 top-left to bottom-right, 3 top-right
// to bottom-left.
void gradientLine(int mode, const QRectF& area, QPointF& start, QPointF& end);

}
