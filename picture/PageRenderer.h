#pragma once

#include <QImage>
#include <QSize>

namespace lumavine {

class Pic;

// Draws the picture as the generated site shows it: through an export view
// (no zoom, scrolling, handles, guides or grid), over the picture's
// background (its image as a texture, else its colour, else white) on the
// page rectangle of its extent plus 6 pixels. An empty size takes that
// rectangle's size.
QImage renderPagePicture(Pic& picture, QSize size = QSize());

}
