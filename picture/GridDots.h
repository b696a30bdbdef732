#pragma once

#include <QPainter>
#include <QSize>

namespace lumavine {

// The canvas grid: one black dot at every intersection of rows and columns
// `step` screen pixels apart, from (0, 0) across `area`. Steps below 4
// pixels would blacken the canvas and draw nothing.
void drawGridDots(QPainter& painter, int step, QSize area);

}
