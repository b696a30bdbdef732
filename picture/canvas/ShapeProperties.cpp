#include "picture/canvas/ShapeProperties.h"

#include "forms/FormStyle.h"
#include "forms/PropertyGroups.h"
#include "picture/Color.h"
#include "picture/Pic.h"
#include "picture/WinImage.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <memory>

namespace lumavine {

namespace {

// Which groups a form shows: lines have their own; pictures and plain
// rectangles have a size; everything else is a box.
enum class FormKind { Line, Picture, Rectangle, Box };

FormKind formKindOf(ShapeKind kind)
{
    switch (kind) {
    case ShapeKind::Line:
        return FormKind::Line;
    case ShapeKind::Image:
        return FormKind::Picture;
    case ShapeKind::Rectangle:
        return FormKind::Rectangle;
    default:
        return FormKind::Box;
    }
}

Element* findOrAddForm(Document& formDocument)
{
    Element* root = formDocument.documentElement();
    for (Node* node : root->childNodes()) {
        Element* element = node->asElement();
        if (element && element->tagName().equals(u"form")
            && element->getAttribute(u"name").equals(ShapeProperties::formName))
            return element;
    }
    Element* form = addElement(root, u"form");
    form->setAttribute(u"name", String(ShapeProperties::formName));
    return form;
}

// The dialog's own frame: title, place and size, unless the document (or a
// group the page added) says otherwise.
void setDialogFrame(Document& formDocument)
{
    Element* root = formDocument.documentElement();
    if (!findChildElement(root, u"title", true))
        addElement(root, u"title", String(u"Properties"));
    setChildText(root, u"x", 10);
    setChildText(root, u"y", 10);
    if (!findChildElement(root, u"width", true))
        addElement(root, u"width", 350);
    if (!findChildElement(root, u"height", true))
        addElement(root, u"height", 400);
}

int buttonTop(const Document& formDocument)
{
    const Element* root = formDocument.documentElement();
    if (!findChildElement(root, u"buttony", true))
        return ShapeProperties::defaultButtonTop;
    return getChildInt(root, u"buttony");
}

void addButtons(Element* form, int top, std::u16string_view okText)
{
    Element* ok = addElement(form, u"button", String(okText));
    ok->setAttribute(u"name", u"ok");
    ok->setAttribute(u"style", FormStyle::format(10, top, 100, 25));
    Element* cancel = addElement(form, u"button", String(u"Cancel"));
    cancel->setAttribute(u"name", u"cancel");
    cancel->setAttribute(u"style", FormStyle::format(120, top, 100, 25));
}

// The groups of one kind of shape. `object` fills them (null leaves them
// empty); `narrowing` takes pixels off the right-hand column.
void addGroups(Element* form, FormKind kind, const PicNode* object, int narrowing, const String& contentFolder)
{
    const int right = 260;
    const int rightWidth = 250 - narrowing;
    if (kind == FormKind::Line) {
        PropertyGroups::addLineBox(form, object, { 10, 80, 435, 150 });
        return;
    }
    const bool picture = kind == FormKind::Picture;
    const bool sized = picture || kind == FormKind::Rectangle;
    if (picture)
        PropertyGroups::addAspectBox(form, object, { right, 20, rightWidth, 50 });
    PropertyGroups::addTextGroup(form, object, { 10, 80, 240, 145 });
    PropertyGroups::addBorderGroup(form, object, { right, 80, rightWidth, 145 }, String(u"Border"), String(),
        PropertyGroups::BorderStyleRow | PropertyGroups::BorderJoinRow);
    PropertyGroups::addFontGroup(form, object, { 10, 235, 240, 150 }, String(u"Font"), String());
    PropertyGroups::addAlignmentGroup(form, object, { right, 235, sized ? 150 : rightWidth, 85 });
    if (sized)
        PropertyGroups::addSizeGroup(form, object, { 415, 235, 95 - narrowing, 85 });
    PropertyGroups::addLayerBox(form, object, { right, 330, rightWidth, 55 });
    if (picture)
        PropertyGroups::addPictureGroup(form, object, { 10, 395, 500, 90 }, contentFolder);
    else
        PropertyGroups::addBackgroundGroup(form, object, { 10, 395, 500, 150 }, String(u"Background"), String(),
            PropertyGroups::GradientRows | PropertyGroups::PictureRow);
}

// Every list of a form for several shapes starts at an empty entry, so that
// a list the user leaves alone changes nothing.
void startListsEmpty(Element* form)
{
    std::unique_ptr<NodeList> selects = form->getElementsByTagName(u"select");
    for (Node* node : *selects) {
        Element* select = node->asElement();
        for (Node* child : select->childNodes())
            if (Element* option = child->asElement())
                option->removeAttribute(u"selected");
        Element* first = nullptr;
        for (Node* child : select->childNodes())
            if ((first = child->asElement()))
                break;
        if (first && first->getAttribute(u"value").empty()) {
            first->setAttribute(u"selected", u"true");
            continue;
        }
        Element* empty = form->ownerDocument()->createElement(String(u"option"));
        empty->setAttribute(u"value", String());
        empty->setAttribute(u"selected", u"true");
        select->insertBefore(empty, select->firstChild());
    }
}

String quoted(const String& text)
{
    return u"\"" + text + u"\"";
}

// The picture's "image" text: the chosen source, with the opacity and the
// transparent colour the picture has, which the form does not show.
String imageText(const PicNode& shape, const String& source)
{
    String text = u"source=" + quoted(source);
    const WinImage* image = shape.image();
    text.append(u";opacity=");
    if (image)
        text.appendInt(int(image->opacity()));
    text.append(u";transparency=");
    if (image && image->transparentColor())
        text.append(Color(*image->transparentColor()).toText());
    return text;
}

}

Element* ShapeProperties::buildSingle(Document& formDocument, Pic& picture, PicNode& shape, const String& contentFolder)
{
    Element* form = findOrAddForm(formDocument);
    setDialogFrame(formDocument);
    PropertyGroups::addNameBox(form, &shape, { 10, 20, 240, 50 });
    addGroups(form, formKindOf(shape.kind()), &shape, 0, contentFolder);
    picture.addFormGroups(form, &shape);
    // Every tab the picture added confirms and cancels as well.
    const int top = buttonTop(formDocument);
    for (Node* node : formDocument.documentElement()->childNodes())
        if (Element* each = node->asElement(); each && each->tagName().equals(u"form"))
            addButtons(each, top, u"OK");
    return form;
}

Element* ShapeProperties::buildMultiple(
    Document& formDocument, const PtrListOf<PicNode>& shapes, const String& contentFolder)
{
    Element* form = findOrAddForm(formDocument);
    setDialogFrame(formDocument);
    FormKind kind = FormKind::Box;
    if (!shapes.isEmpty()) {
        kind = formKindOf(shapes.first()->kind());
        for (const PicNode* shape : shapes)
            if (formKindOf(shape->kind()) != kind)
                kind = FormKind::Box;
    }
    addGroups(form, kind, nullptr, 20, contentFolder);
    startListsEmpty(form);
    addButtons(form, defaultButtonTop, u"Ok");
    return form;
}

void ShapeProperties::applySingle(Pic& picture, PicNode& shape, Element* result)
{
    PropertyGroups::appendComposedTexts(result, {});
    if (shape.kind() == ShapeKind::Image && findChildElement(result, u"source", true))
        addElement(result, u"image", imageText(shape, getChildText(result, u"source")));
    shape.readProperties(result);
    picture.select(&shape, true, true);
    picture.layerChanged(&shape);
    picture.lineEndsChanged();
}

void ShapeProperties::applyMultiple(Pic& picture, const PtrListOf<PicNode>& shapes, Element* result)
{
    // Only what the user gave: every control started empty or unchecked.
    Document given(String(u"dialog"));
    Element* values = given.documentElement();
    for (Node* node : result->childNodes()) {
        const Element* child = node->asElement();
        if (!child)
            continue;
        const String& text = getText(child);
        if (text.empty() || text.equals(u"false"))
            continue;
        addElement(values, child->tagName(), text);
    }
    // The composed texts come only from the values they start with.
    const String font = PropertyGroups::fontText(result, {});
    if (!font.empty())
        addElement(values, u"font", font);
    if (!getChildText(result, u"background-start").empty())
        addElement(values, u"background-color", PropertyGroups::gradientText(result, {}));
    const String& source = getChildText(result, u"source");
    for (PicNode* shape : shapes) {
        Element* applied = values;
        Document own(String(u"dialog"));
        if (!source.empty() && shape->kind() == ShapeKind::Image) {
            applied = own.documentElement();
            for (Node* node : values->childNodes())
                if (const Element* child = node->asElement())
                    addElement(applied, child->tagName(), getText(child));
            addElement(applied, u"image", imageText(*shape, source));
        }
        shape->readProperties(applied);
        picture.layerChanged(shape);
    }
    picture.lineEndsChanged();
}

}
