#pragma once

#include "core/PtrList.h"
#include "core/String.h"

namespace lumavine {

class Document;
class Element;
class Pic;
class PicNode;

// The property forms of shapes as form documents, and their results applied
// back: the model side of the property dialogs, without a window, so that
// what a confirmation does can be read off the result alone.
class ShapeProperties {
public:
    static constexpr std::u16string_view formName = u"Properties";
    static constexpr int defaultButtonTop = 570;

    // Fills the form "Properties" of `formDocument` (made when the document
    // has none) with the groups of this shape's kind, filled from the shape;
    // then the picture adds its own groups, and the form gets its OK and
    // Cancel buttons. Pictures choose their files from `contentFolder`.
    static Element* buildSingle(Document& formDocument, Pic& picture, PicNode& shape, const String& contentFolder);
    // The form of several shapes: the groups of their common kind (those of
    // boxes when the kinds differ), without the name, every control empty,
    // so that only what the user fills in is applied.
    static Element* buildMultiple(
        Document& formDocument, const PtrListOf<PicNode>& shapes, const String& contentFolder);

    // Applies a confirmed single-shape result: the composed background, font
    // and picture texts are appended to the result, its values are read as
    // the shape's properties in order, and the shape goes back into the
    // drawing order its layer asks for, selected.
    static void applySingle(Pic& picture, PicNode& shape, Element* result);
    // Applies a confirmed multi-shape result to every shape: only the values
    // the user gave (a text that is not empty, a list entry chosen, a box
    // checked) and the composed texts whose first value is given.
    static void applyMultiple(Pic& picture, const PtrListOf<PicNode>& shapes, Element* result);
};

}
