#pragma once

#include "core/String.h"

namespace lumavine {

class DisplayElement;
class DisplayNode;
class Element;

// The rectangle of a group box in pixels of the form or group it is put in.
struct GroupRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The labelled groups that property dialogs are made of. Each appends one
// group box to a form (or to a group box), fills its controls from the
// object being edited (which may be absent: the controls then start empty or
// at their first entry), and names the controls after the property keys of
// the object, behind a prefix P where the builder takes one, so that the
// result document can be applied to the object as it is.
class PropertyGroups {
public:
    enum BorderRows { BorderStyleRow = 1, BorderJoinRow = 2 };
    enum BackgroundRows { GradientRows = 1, PictureRow = 2 };

    // "BorderGroup": colour, style and join when asked, width 0 to 50, and a
    // preview P"border-display" that follows the other controls.
    static Element* addBorderGroup(Element* parent, const DisplayElement* object, const GroupRect& rect,
        const String& caption, const String& prefix, int rows = 0);
    // "FontGroup": family with the font chooser button P"FontDialog", size,
    // style, colour, and the underline and strikeout boxes.
    static Element* addFontGroup(
        Element* parent, const DisplayElement* object, const GroupRect& rect, const String& caption, const String& prefix);
    // "BackgroundGroup": the gradient's start, end and direction, or one
    // colour with its alpha; and the picture when asked.
    static Element* addBackgroundGroup(Element* parent, const DisplayElement* object, const GroupRect& rect,
        const String& caption, const String& prefix, int rows = 0);

    static Element* addNameBox(Element* parent, const DisplayElement* object, const GroupRect& rect);
    static Element* addAspectBox(Element* parent, const DisplayNode* node, const GroupRect& rect);
    static Element* addLayerBox(Element* parent, const DisplayNode* node, const GroupRect& rect);
    static Element* addTextGroup(Element* parent, const DisplayElement* object, const GroupRect& rect);
    static Element* addLineBox(Element* parent, const DisplayNode* node, const GroupRect& rect);
    // The picture's source, its chooser starting in `imageRoot`.
    static Element* addPictureGroup(
        Element* parent, const DisplayNode* node, const GroupRect& rect, const String& imageRoot);
    static Element* addAlignmentGroup(Element* parent, const DisplayElement* object, const GroupRect& rect);
    static Element* addSizeGroup(Element* parent, const DisplayNode* node, const GroupRect& rect);

    // The font text that a font group's values in a result document make;
    // empty when the family is.
    static String fontText(const Element* result, std::u16string_view prefix);
    // The "background-color" text of a background group's gradient rows;
    // empty (no colour) when there is no start colour.
    static String gradientText(const Element* result, std::u16string_view prefix);
    // Appends P"font" and, for gradient rows, P"background-color" to a result
    // document's root, for whatever groups the form held, so that the object
    // can read the result as properties.
    static void appendComposedTexts(Element* result, std::u16string_view prefix);
};

}
