#pragma once

#include "core/String.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QSize>
#include <string_view>

namespace lumavine {

// One caption line is a row of text runs and inline pictures: a tab moves on
// to the next multiple of 40 pixels, "[img src=a.png]" (or name=...) places a
// picture, and any other bracketed tag is dropped with its text. Relative
// picture sources are found under baseDirectory.

// The size the line takes: the sum of the advances, and the tallest run or
// picture (at least the font's height, so that empty lines keep their place).
QSize measureCaptionLine(const QFont& font, std::u16string_view line, const String& baseDirectory);

// Draws the line with its top-left corner at topLeft in a row lineHeight
// high, each run and picture centred vertically in the row; answers the
// width drawn.
int drawCaptionLine(QPainter& painter, const QFont& font, const QBrush& brush, QPoint topLeft, int lineHeight,
    std::u16string_view line, const String& baseDirectory);

// The pictures of caption tags, shared by the whole process and kept until
// cleared. A "name" tag finds a picture registered here; a "src" tag loads
// its file (or web location) once and remembers it, failures included.
void registerCaptionImage(const String& name, const QImage& image);
void clearCaptionImageCache();

}
