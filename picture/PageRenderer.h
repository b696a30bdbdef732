#pragma once

#include "core/String.h"

#include <QImage>
#include <QSize>

namespace lumavine {

class Pic;

// Page pictures with more pixels than this are refused before any pixel
// memory is asked for: a shape dragged or typed far out would otherwise make
// the picture gigabytes large.
constexpr long long largestPagePicturePixels = 64LL * 1024 * 1024;

// Empty when a page picture of this size may be drawn; otherwise why not, in
// words for the user.
String pagePictureSizeProblem(QSize size);

// Draws the picture as the generated site shows it: through an export view
// (no zoom, scrolling, handles, guides or grid), over the picture's
// background (its image as a texture, else its colour, else white) on the
// page rectangle of its extent plus 6 pixels. An empty size takes that
// rectangle's size. A picture too large to draw gives a null image, with the
// reason in `problem` when it is given.
QImage renderPagePicture(Pic& picture, QSize size = QSize(), String* problem = nullptr);

}
