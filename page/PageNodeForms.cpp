#include "page/Page.h"

#include "page/Action.h"
#include "page/PageNode.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <algorithm>

namespace lumavine {

// The object-properties dialog's tabs of a page's shape: built as form
// elements only, so that the page needs no window to describe them.
namespace {

String style(int left, int top, int width, int height)
{
    return u"left:" + String::number(left) + u";top:" + String::number(top) + u";width:" + String::number(width)
        + u";height:" + String::number(height);
}

Element* groupBox(Element* parent, const String& name, const String& caption, int left, int top, int width, int height)
{
    Element* box = addElement(parent, u"button");
    box->setAttribute(u"type", u"groupbox");
    box->setAttribute(u"name", name);
    box->setAttribute(u"value", caption);
    box->setAttribute(u"style", style(left, top, width, height));
    return box;
}

void commandButton(Element* parent, const String& control, std::u16string_view command, std::u16string_view text,
    int left, int top, int width)
{
    Element* button = addElement(parent, u"button", String(text));
    button->setAttribute(u"name", control + String(command));
    button->setAttribute(u"control", control);
    button->setAttribute(u"style", style(left, top, width, 20));
}

struct Event {
    int code;
    std::u16string_view label;
};

constexpr Event events[] = {
    { PageNode::MouseDown, u"Mouse is Clicked" },
    { PageNode::MouseUp, u"Mouse is Released" },
    { PageNode::MouseOver, u"Mouse Goes Over" },
    { PageNode::MouseOut, u"Mouse Goes Out" },
};

std::u16string_view labelOf(std::u16string_view control)
{
    if (control == u"href" || control == u"url")
        return u"Hyperlink";
    if (control == u"function")
        return u"Function";
    for (const Event& event : events)
        if (control == PageNode::eventName(event.code))
            return event.label;
    return control;
}

// One event's panel: the hidden action, the action groups and the column
// of the direct commands at the right edge.
void addEventPanel(Element* form, const PageNode& node, const Event& event, int top)
{
    const String control(PageNode::eventName(event.code));
    const String& action = node.eventText(event.code);
    Element* panel = groupBox(form, control + u"-panel", Page::eventPanelCaption(control, action), 10, top, 510, 190);
    Page::addActionControls(panel, control, action, event.code == PageNode::MouseDown, 510);
}

}

void Page::addActionControls(Element* panel, const String& control, const String& action, bool mail, int width)
{
    Element* hidden = addElement(panel, u"input");
    hidden->setAttribute(u"type", u"hidden");
    hidden->setAttribute(u"name", control);
    hidden->setAttribute(u"control", control);
    hidden->setAttribute(u"value", action);
    struct Group {
        std::u16string_view suffix;
        std::u16string_view caption;
        int column;
        int top;
        std::u16string_view first;
        std::u16string_view firstCommand;
        std::u16string_view second;
        std::u16string_view secondCommand;
    };
    // Three groups side by side, narrower in a narrower panel, leaving the
    // right edge to the column of direct commands.
    const int groupWidth = std::min(120, (width - 90 - 40) / 3);
    const int step = groupWidth + 10;
    for (const Group& group :
        { Group { u":ImageBox", u"Picture", 0, 30, u"Show...", u":showimage", u"Slides...", u":showslides" },
            Group { u":AudioBox", u"Audio", 1, 30, u"Play...", u":playaudio", u"Stop", u":stopaudio" },
            Group { u":VideoBox", u"Video", 2, 30, u"Play...", u":playvideo", u"Pause...", u":pausevideo" },
            Group { u":ContentBox", u"Page", 0, 115, u"Show...", u":showcontent", {}, {} } }) {
        Element* box = groupBox(panel, control + String(group.suffix), String(group.caption), 10 + group.column * step,
            group.top, groupWidth, group.second.empty() ? 60 : 80);
        commandButton(box, control, group.firstCommand, group.first, 10, 28, groupWidth - 20);
        if (!group.second.empty())
            commandButton(box, control, group.secondCommand, group.second, 10, 52, groupWidth - 20);
    }
    // The direct commands in a column at the panel's right edge.
    const int left = width - 80;
    int row = 30;
    commandButton(panel, control, u":custom", u"Custom...", left, row, 70);
    commandButton(panel, control, u":clearframe", u"Clear...", left, row += 25, 70);
    commandButton(panel, control, u":nothing", u"Nothing", left, row += 25, 70);
    if (mail)
        commandButton(panel, control, u":mailto", u"Mail...", left, row += 25, 70);
}

String Page::eventPanelCaption(std::u16string_view control, const String& action)
{
    String caption(labelOf(control));
    const String function = actionFunction(action);
    if (!function.empty())
        caption.append(u" (" + function + u")");
    return caption;
}

void Page::addFormGroups(Element* form, PicNode* shape)
{
    PageNode* node = asPageNode(shape);
    if (!form || !node || node->kind() == ShapeKind::Line || node->isFrame())
        return;
    Element* root = form->parentNode() ? form->parentNode()->asElement() : nullptr;
    if (!root)
        return;
    setChildText(root, u"title", String(u"Object Properties"));
    setChildText(root, u"width", 360);
    setChildText(root, u"height", 435);
    setChildText(root, u"buttony", 630);

    Element* click = addElement(root, u"form");
    click->setAttribute(u"name", u"Click");
    click->setAttribute(u"drop", u"true");
    addEventPanel(click, *node, events[0], 10);
    addEventPanel(click, *node, events[1], 210);
    Element* move = addElement(root, u"form");
    move->setAttribute(u"name", u"Move");
    move->setAttribute(u"drop", u"true");
    addEventPanel(move, *node, events[2], 10);
    addEventPanel(move, *node, events[3], 210);
    Element* tooltip = groupBox(move, String(u"HtmlTitleBox"), String(u"Tooltip"), 10, 410, 510, 55);
    Element* title = addElement(tooltip, u"input");
    title->setAttribute(u"type", u"text");
    title->setAttribute(u"name", u"title");
    title->setAttribute(u"value", node->eventText(PageNode::Title));
    title->setAttribute(u"style", u"left:10;top:25;width:490");
}

}
