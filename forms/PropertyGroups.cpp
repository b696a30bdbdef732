#include "forms/PropertyGroups.h"

#include "core/Properties.h"
#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "picture/Alignment.h"
#include "picture/DisplayNode.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

#include <algorithm>
#include <array>

namespace lumavine {

namespace {

// Rows of a group: labels at the left, controls to their right, all rows
// the same distance apart.
struct Rows {
    int left = 10;
    int labelWidth = 45;
    int controlLeft = 60;
    int controlRight = 0;
    int top = 25;
    int step = 26;

    int y(int row) const { return top + row * step; }
    int controlWidth() const { return controlRight - controlLeft; }
};

// Rows that share the space under the caption band, never further apart
// than a comfortable line.
int rowStep(const GroupRect& rect, int rows)
{
    return std::clamp((rect.height - 30) / std::max(rows, 1), 18, 26);
}

Element* groupBox(Element* parent, std::u16string_view name, const String& caption, const GroupRect& rect)
{
    Element* box = addElement(parent, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", String(name));
    box->setAttribute(u"value", caption);
    box->setAttribute(u"style", FormStyle::format(rect.left, rect.top, rect.width, rect.height));
    return box;
}

Element* groupBoxFromList(Element* parent, std::u16string_view list, const GroupRect& rect)
{
    Element* box = FormDocument::addControl(parent, u"button", list);
    box->setAttribute(u"style", FormStyle::format(rect.left, rect.top, rect.width, rect.height));
    return box;
}

void addLabel(Element* box, const String& forName, const String& text, int left, int top, int width)
{
    Element* label = addElement(box, u"label", text);
    label->setAttribute(u"for", forName);
    label->setAttribute(u"style", FormStyle::format(left, top, width));
}

Element* addTextInput(Element* box, const String& name, const String& value, int left, int top, int width,
    std::u16string_view extension = {})
{
    Element* input = addElement(box, u"input");
    input->setAttribute(u"type", u"text");
    input->setAttribute(u"name", name);
    if (!extension.empty())
        input->setAttribute(u"extension", String(extension));
    input->setAttribute(u"value", value);
    input->setAttribute(u"style", FormStyle::format(left, top, width));
    return input;
}

// A colour input. A colour that is not opaque gets the alpha controls so
// that confirming the dialog does not make it opaque.
Element* addColorInput(
    Element* box, const String& name, const String& value, int left, int top, int width, bool withAlpha)
{
    Element* input = addTextInput(box, name, value, left, top, width, u"color");
    Color color;
    if (withAlpha || (Color::fromText(value, color) && !color.isOpaque()))
        input->setAttribute(u"alpha", u"true");
    return input;
}

Element* addSelect(Element* box, const String& name, int left, int top, int width)
{
    Element* select = addElement(box, u"select");
    select->setAttribute(u"name", name);
    // The height is that of the open list.
    select->setAttribute(u"style", FormStyle::format(left, top, width, 120));
    return select;
}

void addOption(Element* select, std::u16string_view value, std::u16string_view text, bool selected)
{
    Element* option = addElement(select, u"option", String(text));
    option->setAttribute(u"value", String(value));
    if (selected)
        option->setAttribute(u"selected", u"true");
}

// One option per keyword, the entry of `current` selected (none when it is -1).
void addKeywordOptions(Element* select, const KeywordList& keywords, int current)
{
    for (int code = 0; code < keywords.count(); ++code)
        addOption(select, keywords.name(code), keywords.displayName(code), code == current);
}

Element* addCheckBox(
    Element* box, const String& name, const String& caption, bool checked, int left, int top, int width)
{
    Element* input = addElement(box, u"input", caption);
    input->setAttribute(u"type", u"checkbox");
    input->setAttribute(u"name", name);
    if (checked)
        input->setAttribute(u"selected", u"true");
    input->setAttribute(u"style", FormStyle::format(left, top, width));
    return input;
}

String colorTextIf(bool set, Color color)
{
    return set ? color.toText() : String();
}

constexpr std::array<std::u16string_view, 4> fontStyles = { u"Regular", u"Italic", u"Bold", u"Bold Italic" };

}

Element* PropertyGroups::addBorderGroup(Element* parent, const DisplayElement* object, const GroupRect& rect,
    const String& caption, const String& prefix, int rows)
{
    Element* box = groupBox(parent, prefix + u"BorderGroup", caption, rect);
    const BorderProperties* border = object ? &object->border() : nullptr;
    int count = 2 + ((rows & BorderStyleRow) ? 1 : 0) + ((rows & BorderJoinRow) ? 1 : 0);
    // A wide group shows the preview beside the rows, a narrow one under them.
    bool previewBeside = rect.width >= 220;
    Rows r;
    r.step = rowStep(rect, previewBeside ? count : count + 1);
    r.controlRight = rect.width - 10 - (previewBeside ? 70 : 0);

    int row = 0;
    String name = prefix + u"border-color";
    addLabel(box, name, u"Color", r.left, r.y(row), r.labelWidth);
    addColorInput(box, name, border ? colorTextIf(border->hasLineColor(), border->lineColor()) : String(),
        r.controlLeft, r.y(row), r.controlWidth(), false);
    ++row;
    if (rows & BorderStyleRow) {
        name = prefix + u"border-style";
        addLabel(box, name, u"Style", r.left, r.y(row), r.labelWidth);
        Element* select = addSelect(box, name, r.controlLeft, r.y(row), r.controlWidth());
        addKeywordOptions(select, BorderProperties::borderStyles, border ? border->borderStyle() : 0);
        ++row;
    }
    name = prefix + u"border-width";
    addLabel(box, name, u"Width", r.left, r.y(row), r.labelWidth);
    Element* width = addTextInput(box, name, border ? String::number(border->width()) : String(), r.controlLeft,
        r.y(row), std::min(r.controlWidth(), 80), u"spin");
    width->setAttribute(u"low", u"0");
    width->setAttribute(u"high", u"50");
    ++row;
    if (rows & BorderJoinRow) {
        name = prefix + u"border-join";
        addLabel(box, name, u"Join", r.left, r.y(row), r.labelWidth);
        Element* select = addSelect(box, name, r.controlLeft, r.y(row), r.controlWidth());
        addKeywordOptions(select, LineProperties::joins, border ? border->join() : 0);
        ++row;
    }

    Element* preview = addElement(box, u"button");
    preview->setAttribute(u"type", u"border");
    preview->setAttribute(u"name", prefix + u"border-display");
    if (border) {
        BorderProperties copy = *border;
        preview->setAttribute(u"value", copy.borderText());
    }
    if (previewBeside) {
        int height = std::max(count * r.step - 6, 20);
        preview->setAttribute(u"style", FormStyle::format(rect.width - 70, r.top + 2, 60, height));
    } else {
        int top = r.y(row) + 2;
        preview->setAttribute(
            u"style", FormStyle::format(r.left, top, rect.width - 20, std::max(rect.height - top - 8, 12)));
    }
    return box;
}

Element* PropertyGroups::addFontGroup(
    Element* parent, const DisplayElement* object, const GroupRect& rect, const String& caption, const String& prefix)
{
    Element* box = groupBox(parent, prefix + u"FontGroup", caption, rect);
    WinFont* own = object ? object->font() : nullptr;
    String family, size, color;
    int style = 0;
    if (own) {
        WinFont font = *own;
        Properties items(font.text(), u";", u":", Properties::KeysLower);
        family = font.family();
        size = items.get(u"font-size");
        color = font.color().toText();
        style = font.style();
    }
    Rows r;
    r.step = rowStep(rect, 4);
    r.controlRight = rect.width - 10;

    String name = prefix + u"font-family";
    addLabel(box, name, u"Name", r.left, r.y(0), r.labelWidth);
    addTextInput(box, name, family, r.controlLeft, r.y(0), r.controlWidth() - 30);
    Element* chooser = addElement(box, u"button", String(u"..."));
    chooser->setAttribute(u"name", prefix + u"FontDialog");
    chooser->setAttribute(u"style", FormStyle::format(r.controlRight - 25, r.y(0), 25, r.step - 4));

    // Size and style share a row, so that the group keeps to four rows.
    name = prefix + u"font-size";
    addLabel(box, name, u"Size", r.left, r.y(1), r.labelWidth);
    addTextInput(box, name, size, r.controlLeft, r.y(1), 36);
    name = prefix + u"font-style";
    int styleLabelLeft = r.controlLeft + 42;
    addLabel(box, name, u"Style", styleLabelLeft, r.y(1), 33);
    Element* select = addSelect(box, name, styleLabelLeft + 35, r.y(1), r.controlRight - styleLabelLeft - 35);
    int current = ((style & WinFont::Italic) ? 1 : 0) + ((style & WinFont::Bold) ? 2 : 0);
    for (size_t i = 0; i < fontStyles.size(); ++i)
        addOption(select, fontStyles[i], fontStyles[i], int(i) == current);

    name = prefix + u"font-color";
    addLabel(box, name, u"Color", r.left, r.y(2), r.labelWidth);
    addColorInput(box, name, color, r.controlLeft, r.y(2), r.controlWidth(), false);

    int half = (rect.width - 20) / 2;
    addCheckBox(box, prefix + u"underline", u"Underline", style & WinFont::Underline, r.left, r.y(3), half);
    addCheckBox(box, prefix + u"strikeout", u"Strikeout", style & WinFont::Strikeout, r.left + half, r.y(3), half);
    return box;
}

Element* PropertyGroups::addBackgroundGroup(Element* parent, const DisplayElement* object, const GroupRect& rect,
    const String& caption, const String& prefix, int rows)
{
    Element* box = groupBox(parent, prefix + u"BackgroundGroup", caption, rect);
    bool gradientRows = rows & GradientRows;
    bool pictureRow = rows & PictureRow;
    // A wide group puts the picture beside the colours. Each half then needs
    // about 245 pixels: a colour row with its alpha controls still shows the
    // whole colour, and the picture row keeps its thumbnail and a readable path.
    bool pictureBeside = pictureRow && rect.width >= 490;
    int colorRows = gradientRows ? 3 : 1;
    Rows r;
    r.labelWidth = 70;
    r.controlLeft = 85;
    // A picture under the colours takes about two rows' height.
    r.step = rowStep(rect, pictureRow && !pictureBeside ? colorRows + 2 : colorRows);
    r.controlRight = pictureBeside ? rect.width / 2 - 10 : rect.width - 10;

    if (gradientRows) {
        bool hasColor = object && (object->hasBackgroundColor() || object->hasGradient());
        bool hasGradient = object && object->hasGradient();
        String name = prefix + u"background-start";
        addLabel(box, name, u"Start Color", r.left, r.y(0), r.labelWidth);
        addColorInput(box, name, hasColor ? object->backgroundColor().toText() : String(), r.controlLeft, r.y(0),
            r.controlWidth(), false);
        name = prefix + u"background-end";
        addLabel(box, name, u"End Color", r.left, r.y(1), r.labelWidth);
        addColorInput(box, name, hasGradient ? object->gradientEndColor().toText() : String(), r.controlLeft, r.y(1),
            r.controlWidth(), false);
        name = prefix + u"gradient-mode";
        addLabel(box, name, u"Direction", r.left, r.y(2), r.labelWidth);
        Element* select = addSelect(box, name, r.controlLeft, r.y(2), r.controlWidth());
        int mode = hasGradient ? object->gradientMode() : Background::Horizontal;
        addOption(select, u"horizontal", u"Horizontal", mode == Background::Horizontal);
        addOption(select, u"vertical", u"Vertical", mode == Background::Vertical);
        // A diagonal gradient made elsewhere keeps its direction through the dialog.
        if (mode == Background::ForwardDiagonal)
            addOption(select, u"forward", u"Forward Diagonal", true);
        else if (mode == Background::BackwardDiagonal)
            addOption(select, u"backward", u"Backward Diagonal", true);
    } else {
        String name = prefix + u"background-color";
        addLabel(box, name, u"Color", r.left, r.y(0), r.labelWidth);
        addColorInput(box, name, object ? object->backgroundColorText() : String(), r.controlLeft, r.y(0),
            r.controlWidth(), true);
    }

    if (pictureRow) {
        int left = pictureBeside ? rect.width / 2 : 0;
        // Under the colours, the thumbnail starts a whole row below the last
        // colour row, however close the rows are, so that it never covers
        // that row's swatch; it then takes the height that is left.
        int top = pictureBeside ? r.top : r.y(colorRows - 1) + std::max(r.step, 24);
        int thumb = std::clamp(rect.height - top - (pictureBeside ? 8 : 4), 16, 60);
        // Beside the colours the short label leaves the edit more room.
        int labelWidth = pictureBeside ? 50 : r.labelWidth;
        int controlLeft = pictureBeside ? 65 : r.controlLeft;
        String name = prefix + u"background-image";
        addLabel(box, name, u"Picture", left + r.left, top, labelWidth);
        int inputWidth = rect.width - 10 - left - controlLeft;
        // A short thumbnail is made wider, up to the usual 60, so that its
        // browse strip stays readable, as long as the path keeps 100 pixels.
        int thumbWidth = std::clamp(inputWidth - 20 - 100, thumb, 60);
        Element* input = addTextInput(box, name,
            object && object->hasBackgroundImage() ? object->backgroundImageSource() : String(), left + controlLeft,
            top, inputWidth, u"image");
        input->setAttribute(u"thumbwidth", String::number(thumbWidth));
        input->setAttribute(u"thumbheight", String::number(thumb));
        if (object && !object->baseDirectory().empty())
            input->setAttribute(u"imageroot", object->baseDirectory());
    }
    return box;
}

Element* PropertyGroups::addNameBox(Element* parent, const DisplayElement* object, const GroupRect& rect)
{
    Element* box = groupBox(parent, u"NameBox", u"Display Name", rect);
    addTextInput(box, u"name", object ? object->getName() : String(), 10, 25, rect.width - 20);
    return box;
}

Element* PropertyGroups::addAspectBox(Element* parent, const DisplayNode* node, const GroupRect& rect)
{
    Element* box = groupBoxFromList(parent, u"type:groupbox;name:AspectRatioBox;value:Aspect Ratio", rect);
    bool keeps = node && node->image() && node->image()->keepAspect();
    addCheckBox(box, u"image-aspect", u"Aspect Ratio On", keeps, 10, 25, rect.width - 20);
    return box;
}

Element* PropertyGroups::addLayerBox(Element* parent, const DisplayNode* node, const GroupRect& rect)
{
    Element* box = groupBoxFromList(parent, u"type:groupbox;name:LayerBox;value:Layer", rect);
    Element* input = addTextInput(
        box, u"layer", node ? String::number(node->layer()) : String(), 10, 25, rect.width - 20, u"spin");
    input->setAttribute(u"id", u"layer");
    input->setAttribute(u"low", u"-5000");
    input->setAttribute(u"high", u"5000");
    return box;
}

Element* PropertyGroups::addTextGroup(Element* parent, const DisplayElement* object, const GroupRect& rect)
{
    Element* box = groupBoxFromList(parent, u"type:groupbox;name:TextGroup;value:Text", rect);
    Element* area = addElement(box, u"textarea", object ? object->getText() : String());
    area->setAttribute(u"name", u"text");
    area->setAttribute(u"style", FormStyle::format(10, 25, rect.width - 20, std::max(rect.height - 35, 20)));
    return box;
}

Element* PropertyGroups::addLineBox(Element* parent, const DisplayNode* node, const GroupRect& rect)
{
    Element* box = groupBox(parent, u"LineBox", u"Line Properties", rect);
    const LineProperties* line = node ? &node->lineStyle() : nullptr;
    // Two columns when there is room: type, colour and style; join and width.
    bool twoColumns = rect.width >= 400;
    int perColumn = twoColumns ? 3 : 5;
    int columnWidth = twoColumns ? rect.width / 2 : rect.width;
    auto place = [&](int index, Rows& r) {
        int column = index / perColumn;
        r.left = 10 + column * columnWidth;
        r.controlLeft = r.left + 50;
        r.controlRight = (column + 1) * columnWidth - 10;
        return index % perColumn;
    };
    Rows r;
    r.step = rowStep(rect, perColumn);

    int row = place(0, r);
    String name = u"line-type";
    addLabel(box, name, u"Type", r.left, r.y(row), r.labelWidth);
    Element* type = addSelect(box, name, r.controlLeft, r.y(row), r.controlWidth());
    addOption(type, u"", u"", !line);
    addKeywordOptions(type, LineProperties::lineTypes, line ? line->lineType() : -1);

    row = place(1, r);
    name = u"line-color";
    addLabel(box, name, u"Color", r.left, r.y(row), r.labelWidth);
    addColorInput(box, name, line ? colorTextIf(line->hasLineColor(), line->lineColor()) : String(), r.controlLeft,
        r.y(row), r.controlWidth(), false);

    row = place(2, r);
    name = u"line-style";
    addLabel(box, name, u"Style", r.left, r.y(row), r.labelWidth);
    Element* dash = addSelect(box, name, r.controlLeft, r.y(row), r.controlWidth());
    addKeywordOptions(dash, LineProperties::dashStyles, line ? line->dashStyle() : 0);

    row = place(3, r);
    name = u"line-join";
    addLabel(box, name, u"Join", r.left, r.y(row), r.labelWidth);
    Element* join = addSelect(box, name, r.controlLeft, r.y(row), r.controlWidth());
    addKeywordOptions(join, LineProperties::joins, line ? line->join() : 0);

    row = place(4, r);
    name = u"line-width";
    addLabel(box, name, u"Width", r.left, r.y(row), r.labelWidth);
    Element* width = addTextInput(box, name, line ? String::number(line->width()) : String(), r.controlLeft, r.y(row),
        std::min(r.controlWidth(), 80), u"spin");
    width->setAttribute(u"low", u"0");
    width->setAttribute(u"high", u"100");
    return box;
}

Element* PropertyGroups::addPictureGroup(
    Element* parent, const DisplayNode* node, const GroupRect& rect, const String& imageRoot)
{
    Element* box = groupBox(parent, u"ImageGroup", u"Picture", rect);
    String name = u"source";
    int thumb = std::clamp(rect.height - 25 - 5, 16, 60);
    addLabel(box, name, u"Source", 10, 25, 50);
    Element* input = addTextInput(
        box, name, node && node->image() ? node->image()->source() : String(), 65, 25, rect.width - 75, u"image");
    input->setAttribute(u"imageroot", imageRoot);
    input->setAttribute(u"default", u"jpg");
    input->setAttribute(u"thumbwidth", String::number(thumb));
    input->setAttribute(u"thumbheight", String::number(thumb));
    return box;
}

Element* PropertyGroups::addAlignmentGroup(Element* parent, const DisplayElement* object, const GroupRect& rect)
{
    Element* box = groupBox(parent, u"AlignGroup", u"Alignment", rect);
    // The narrow group of boxes and pictures needs every pixel for its lists.
    Rows r;
    r.left = 8;
    r.labelWidth = 60;
    r.controlLeft = 70;
    r.controlRight = rect.width - 8;
    r.step = rowStep(rect, 2);
    addLabel(box, u"halign", u"Horizontal", r.left, r.y(0), r.labelWidth);
    Element* horizontal = addSelect(box, u"halign", r.controlLeft, r.y(0), r.controlWidth());
    addKeywordOptions(horizontal, Alignment::horizontal, object ? object->horizontalAlignment() : 0);
    addLabel(box, u"valign", u"Vertical", r.left, r.y(1), r.labelWidth);
    Element* vertical = addSelect(box, u"valign", r.controlLeft, r.y(1), r.controlWidth());
    addKeywordOptions(vertical, Alignment::vertical, object ? object->verticalAlignment() : 0);
    return box;
}

Element* PropertyGroups::addSizeGroup(Element* parent, const DisplayNode* node, const GroupRect& rect)
{
    Element* box = groupBox(parent, u"SizeGroup", u"Size", rect);
    Rows r;
    r.left = 8;
    r.labelWidth = 40;
    r.controlLeft = 50;
    r.controlRight = rect.width - 8;
    r.step = rowStep(rect, 2);
    QRect bounds = node ? node->getBounds() : QRect();
    addLabel(box, u"width", u"Width", r.left, r.y(0), r.labelWidth);
    addTextInput(box, u"width", node ? String::number(bounds.width()) : String(), r.controlLeft, r.y(0),
        r.controlWidth(), u"int");
    addLabel(box, u"height", u"Height", r.left, r.y(1), r.labelWidth);
    addTextInput(box, u"height", node ? String::number(bounds.height()) : String(), r.controlLeft, r.y(1),
        r.controlWidth(), u"int");
    return box;
}

String PropertyGroups::fontText(const Element* result, std::u16string_view prefix)
{
    String p(prefix);
    const String& family = getChildText(result, p + u"font-family");
    if (family.empty())
        return String();
    String text = u"font-family:" + family;
    text.append(u";font-size:" + getChildText(result, p + u"font-size"));
    text.append(u";font-color:" + getChildText(result, p + u"font-color"));
    // The style list's entries are words for people; the font reads the
    // comma-separated keywords.
    String words;
    if (getChildText(result, p + u"underline").equals(u"true"))
        words.append(u"underline,");
    if (getChildText(result, p + u"strikeout").equals(u"true"))
        words.append(u"strikeout,");
    const String& style = getChildText(result, p + u"font-style");
    if (style.equalsIgnoreCase(u"Italic"))
        words.append(u"italic");
    else if (style.equalsIgnoreCase(u"Bold"))
        words.append(u"bold");
    else if (style.equalsIgnoreCase(u"Bold Italic"))
        words.append(u"bold,italic");
    text.append(u";font-style:" + words);
    return text;
}

String PropertyGroups::gradientText(const Element* result, std::u16string_view prefix)
{
    String p(prefix);
    String text = getChildText(result, p + u"background-start");
    text.trim();
    if (text.empty())
        return text;
    String end = getChildText(result, p + u"background-end");
    end.trim();
    // A direction without an end colour would make the text unreadable.
    if (end.empty())
        return text;
    text.append(u"," + end);
    const String& mode = getChildText(result, p + u"gradient-mode");
    if (!mode.empty())
        text.append(u"," + mode);
    return text;
}

void PropertyGroups::appendComposedTexts(Element* result, std::u16string_view prefix)
{
    String p(prefix);
    String font = fontText(result, prefix);
    if (!font.empty())
        addElement(result, p + u"font", font);
    if (findChildElement(result, p + u"background-start", true))
        addElement(result, p + u"background-color", gradientText(result, prefix));
}

}
