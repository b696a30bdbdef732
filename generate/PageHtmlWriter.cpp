#include "generate/PageHtmlWriter.h"

#include "core/StringList.h"
#include "generate/HtmlOutput.h"
#include "generate/HtmlText.h"
#include "generate/MenuHtmlWriter.h"
#include "generate/ScriptRuntime.h"
#include "generate/Transitions.h"
#include "page/Action.h"
#include "page/Page.h"
#include "picture/Alignment.h"
#include "picture/WinImage.h"

#include <QImageReader>
#include <algorithm>

namespace lumavine {

struct PageHtmlWriter::NodeValues {
    // The name as an element id in an attribute, and inside script strings.
    String name;
    String scriptName;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    int bw = 0;
    int z = 1;
    bool clickable = false;
    bool mail = false;
    String address;
    String subject;
    bool frame = false;
};

namespace {

String number(long long value)
{
    return String::number(value);
}

String backgroundCss(const DisplayElement& element)
{
    if (element.hasBackgroundImage())
        return Background::imageCss(HtmlText::attribute(element.backgroundImageSource()));
    Background background;
    if (element.hasBackground() && Background::fromText(element.backgroundColorText(), background))
        return background.toCss();
    return String();
}

String fileNameOf(const String& path)
{
    size_t slash = path.find_last_of(u"/\\");
    return slash == String::npos ? path : path.substring(slash + 1);
}

String mailOpening(const String& address, const String& subject)
{
    return u"<a href=\"" + HtmlText::mailto(address, subject) + u"\">";
}

}

PageHtmlWriter::PageHtmlWriter(Page& page, const String& picturePath)
    : m_page(page)
    , m_picturePath(picturePath)
    , m_pictureMode(page.hasPicture())
{
}

void PageHtmlWriter::write(std::ostream& stream)
{
    HtmlOutput out(stream);
    // The picture keeps its shapes by layer; a layer changed without a
    // re-sort must still not put a lower shape's area over an upper one.
    std::vector<PageNode*> nodes = m_page.pageNodes();
    std::stable_sort(
        nodes.begin(), nodes.end(), [](const PageNode* a, const PageNode* b) { return a->layer() < b->layer(); });
    m_lowestLayer = 1000000;
    for (PageNode* node : nodes)
        m_lowestLayer = std::min(m_lowestLayer, node->layer());

    writeHead(out);
    out.line(u"<body onload='initialize()' onunload='exit()' onkeydown='javascript:keyhandler(event)' "
             u"onclick='javascript:clicked()' onresize='pagesize()' onscroll='scrollhandler()'>");
    out.line(u"<span id='custom-html' style='position:absolute;display:none'></span>");
    out.line(u"<span id='page-audio-container'></span>");
    out.line(u"<div id=\"page_div\" style=\"position:absolute;left:0;top:0\">");
    if (m_pictureMode) {
        out.line(u"<img id=\"page_image\" src=\"" + HtmlText::attribute(fileNameOf(m_picturePath)) + u"\" alt=\""
            + HtmlText::attribute(m_page.label())
            + u"\" usemap=\"#pagemap\" style=\"width:1;height:1\" border=\"0\" />");
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i]->menu())
            MenuHtmlWriter::write(out, m_page, *nodes[i], int(i), m_pictureMode);
    }
    if (m_pictureMode)
        out.line(u"<map name=\"pagemap\">");
    // The upper shape comes first, so that where areas overlap the browser
    // gives the point to the shape the user sees.
    for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
        writeNode(out, **node);
    out.line(u"</div>");
    if (m_pictureMode)
        out.line(u"</map>");
    for (const String* path : m_page.preloadList()) {
        out.line(u"<img src='" + HtmlText::attribute(*path, u'\'')
            + u"' alt='' style='position:absolute;left:-10000;top:-10000' onload='javascript:storeDimension(this)' />");
    }
    out.line(u"<span id=\"tm\" style=\"position:absolute;font-family:verdana;font-size:8pt;background:transparent\">"
             u"<nobr><a style=\"color:#000000\" href="
        + String(makerSiteAddress) + u" target=_blank>Designed with Lumavine</a></nobr></span>");
    out.line(u"</body>");
    out.line(u"</html>");
}

void PageHtmlWriter::writeHead(HtmlOutput& out)
{
    // Screen readers pick their voice by the page's language; the designer
    // and the texts it writes are English.
    out.line(u"<html lang=\"en\">");
    out.line(u"<head>");
    out.line(u"<title>" + HtmlText::content(m_page.label()) + u"</title>");
    if (!m_page.script().empty())
        out.line(u"<script src=\"" + HtmlText::attribute(m_page.script()) + u"\"></script>");

    out.line(u"<style type=\"text/css\">");
    out.line(u"body");
    out.line(u"{");
    out.line(u"\tmargin:\t0pt;");
    if (m_page.scrollingOff())
        out.line(u"\toverflow:\thidden;");
    out.line(u"}");
    out.line();
    for (std::u16string_view element : { u"div", u"iframe" }) {
        out.line(element);
        out.line(u"{");
        out.line(u"\tposition:\tabsolute;");
        out.line(u"}");
        out.line();
    }
    out.line(u"a");
    out.line(u"{");
    out.line(u"\ttext-decoration:\tnone;");
    out.line(u"}");

    if (m_page.hasBackground()) {
        out.line(u"body");
        out.line(u"{");
        if (m_page.hasBackgroundImage()) {
            String sitePath;
            // A picture the site already holds as it is keeps its location
            // rather than losing the background.
            if (!m_page.resolveResource(m_page.backgroundImageSource(), sitePath))
                sitePath = m_page.backgroundImageSource();
            out.line(u"\tbackground-image:\turl(" + sitePath + u");");
        } else if (m_page.hasBackgroundColor()) {
            out.line(u"\tbackground-color:\t" + m_page.backgroundColor().toText() + u";");
        }
        out.line(u"}");
    }

    out.line();
    out.line(u".menuitem");
    out.line(u"{");
    out.line(u"\tcursor:\tpointer;");
    out.line(u"}");
    out.line(u"</style>");
    writeScript(out);
    out.line(u"</head>");
}

void PageHtmlWriter::writeScript(HtmlOutput& out)
{
    QSize size;
    if (m_pictureMode && !m_picturePath.empty())
        size = QImageReader(QString::fromStdU16String(m_picturePath)).size();
    if (!size.isValid())
        size = m_page.pageSize();

    out.line(u"<script language=\"javascript\">");
    out.line();
    out.line(u"var\t_imageWidth = " + number(size.width()) + u";");
    out.line(u"var\t_imageHeight = " + number(size.height()) + u";");
    out.line();

    ScriptRuntime runtime;
    std::vector<String> transitionLines;
    for (int slot = 0; slot < Transitions::slotCount; ++slot) {
        String index = number(slot);
        // The filter sits in a script string: a quote or backslash in a
        // setting must not end it early.
        String filter = m_page.transitionFilter(slot);
        filter.replaceAll(u"\\", u"\\\\").replaceAll(u"\"", u"\\\"").replaceAll(u"<", u"\\x3c");
        transitionLines.push_back(u"transitions[" + index + u"] = \"" + filter + u"\";");
        transitionLines.push_back(
            u"durations[" + index + u"] = " + Transitions::durationText(m_page.transitionDuration(slot)) + u";");
        // Anything but "true" would be a bare word the script cannot run.
        bool clear = m_page.transitionClear(slot).equalsIgnoreCase(u"true");
        transitionLines.push_back(u"clears[" + index + u"] = " + (clear ? u"true" : u"false") + u";");
    }
    runtime.setBlock(String(u"transitions"), std::move(transitionLines));
    runtime.setValue(String(u"frameBorderWidth"), m_page.frameStyle().border().width());
    runtime.setValue(String(u"captionHeight"), m_page.captionHeight());
    runtime.setValue(String(u"imageBorderWidth"), m_page.imageStyle().border().width());
    runtime.setValue(String(u"videoBorderWidth"), m_page.videoStyle().border().width());
    runtime.setValue(String(u"responsive"), m_page.responsive() ? 1 : 0);

    StringList entries;
    m_page.initialize().dataLines(entries, &m_page);
    runtime.setBlock(String(u"initialize"), entries);
    StringList slides;
    for (Slideshow* slideshow : m_page.slideshowList())
        slideshow->dataLines(slides);
    runtime.setBlock(String(u"slides"), slides);

    runtime.write([&](const String& line) { out.line(line); });
    out.line(u"</script>");
}

PageHtmlWriter::NodeValues PageHtmlWriter::valuesOf(PageNode& node) const
{
    NodeValues values;
    values.name = HtmlText::attribute(node.getName());
    values.scriptName = HtmlText::scriptString(node.getName());
    QRect bounds = node.getBounds();
    values.x = bounds.x();
    values.y = bounds.y();
    values.w = bounds.width();
    values.h = bounds.height();
    values.bw = node.border().width();
    values.z = node.layer() - m_lowestLayer + 1;
    values.frame = node.isFrame();

    const String& mouseDown = node.eventText(PageNode::MouseDown);
    if (mouseDown.startsWith(u"javascript:mail(")) {
        String function;
        StringList arguments;
        if (parseAction(mouseDown, function, arguments, false)) {
            values.mail = true;
            values.address = arguments.get(0);
            values.subject = arguments.get(1);
        }
    }
    bool clickMenu = node.hasMenuItems() && node.menu()->opensOnClick();
    values.clickable = clickMenu || (!values.mail && !mouseDown.empty());
    return values;
}

void PageHtmlWriter::writeNode(HtmlOutput& out, PageNode& node)
{
    if (node.isLine())
        return;
    NodeValues values = valuesOf(node);
    if (m_pictureMode) {
        if (values.frame)
            writePictureModeFrame(out, node, values);
        else
            writeArea(out, node, values);
        return;
    }
    ShapeKind kind = node.kind();
    if (kind == ShapeKind::Image || kind == ShapeKind::Rectangle || kind == ShapeKind::RoundRectangle)
        writeDivision(out, node, values);
}

void PageHtmlWriter::writeArea(HtmlOutput& out, PageNode& node, const NodeValues& values)
{
    String shape;
    switch (node.kind()) {
    case ShapeKind::Ellipse:
        shape = u"shape=\"circle\" coords=\"" + number(values.x + values.w / 2) + u"," + number(values.y + values.h / 2)
            + u"," + number(std::min(values.w, values.h) / 2) + u"\" ";
        break;
    case ShapeKind::Rectangle:
    case ShapeKind::RoundRectangle:
        shape = u"shape=\"rectangle\" coords=\"" + number(values.x) + u"," + number(values.y) + u","
            + number(values.x + values.w) + u"," + number(values.y + values.h) + u"\" ";
        break;
    default: {
        shape = String(u"shape=\"polygon\" coords=\"");
        bool first = true;
        for (const QPoint& point : node.points()) {
            if (!first)
                shape.push_back(u',');
            first = false;
            shape.append(number(point.x()) + u"," + number(point.y()));
        }
        shape.append(u"\" ");
        break;
    }
    }
    out.text(u"<area " + shape + u" id=\"" + values.name + u"\" alt=\"" + HtmlText::attribute(alternativeText(node))
        + u"\"");
    writeNodeAttributes(out, node, values);
    out.text(u">");
    out.line();
    out.line(u"</area>");
}

String PageHtmlWriter::alternativeText(PageNode& node)
{
    // What a screen reader says for the shape: what its tooltip tells a
    // pointing visitor, else the text drawn on it, else at least its name.
    if (!node.title().empty())
        return node.title();
    if (!node.getText().empty())
        return node.getText();
    return node.getName();
}

void PageHtmlWriter::writePictureModeFrame(HtmlOutput& out, PageNode& node, const NodeValues& values)
{
    out.line();
    out.text(u"<div id=\"" + values.name + u"\" style=\"background:transparent;position:absolute;left:"
        + number(values.x + values.bw) + u";top:" + number(values.y + values.bw) + u";width:"
        + number(values.w - 2 * values.bw + 1) + u";height:" + number(values.h - 2 * values.bw + 1) + u";z-index:"
        + number(values.z) + u"\"");
    writeNodeAttributes(out, node, values);
    out.text(u">");
    out.line();
    writeFrameContents(out, values);
    out.line(u"</div>");
}

void PageHtmlWriter::writeDivision(HtmlOutput& out, PageNode& node, const NodeValues& values)
{
    const String border = HtmlText::attribute(node.border().cssText());
    const String background = backgroundCss(node);
    const String z = number(values.z - 1);
    const String place = u"position:absolute;left:" + number(values.x) + u";top:" + number(values.y) + u";width:"
        + number(values.w) + u";height:" + number(values.h) + u";";
    if (!values.frame) {
        out.line();
        out.text(u"<div id=\"" + values.name + u"\"" + u" style=\"" + place + border + u";" + background + u";z-index:"
            + z + u"\"");
        writeNodeAttributes(out, node, values);
        out.text(u">");
        writeDivisionContents(out, node, values);
        out.line();
        out.line(u"</div>");
        writeSizeFix(out, values.scriptName, values);
        return;
    }

    out.line(u"<div id=\"" + values.name + u"-outer\" style=\"" + place + border + u";z-index:" + z + u"\"></div>");
    writeSizeFix(out, values.scriptName + u"-outer", values);
    out.text(u"<div id=\"" + values.name + u"\" style=\"position:absolute;left:" + number(values.x + values.bw)
        + u";top:" + number(values.y + values.bw) + u";width:" + number(values.w - 2 * values.bw) + u";height:"
        + number(values.h - 2 * values.bw) + u";" + background + u";z-index:" + z + u"\"");
    writeNodeAttributes(out, node, values);
    out.text(u">");
    writeDivisionContents(out, node, values);
    out.line();
    writeFrameContents(out, values);
    out.line(u"</div>");
    writeSizeFix(out, values.scriptName, values);
}

String PageHtmlWriter::divisionLink(PageNode& node, const NodeValues& values) const
{
    if (values.mail)
        return mailOpening(values.address, values.subject);
    const String& hyperlink = node.eventText(PageNode::Href);
    if (node.hasMenuItems() || hyperlink.empty())
        return String();
    return u"<a href=\"" + HtmlText::hyperlink(hyperlink) + u"\">";
}

void PageHtmlWriter::writeDivisionContents(HtmlOutput& out, PageNode& node, const NodeValues& values)
{
    // A division follows no href, and a link between a row and its cell is
    // moved out of the table by the browser; so one link holds both tables,
    // and a click anywhere on the shape, picture or caption, reaches it.
    const String link = divisionLink(node, values);
    const std::u16string_view cursor = values.clickable || !link.empty() ? u"cursor:pointer" : u"cursor:default";
    out.text(link);
    if (node.isPicture() && node.image() && !node.image()->source().empty()) {
        QRect inner = node.getInnerBounds();
        out.text(u"<table cellspacing=0 cellpadding=0 style=\"position:absolute;left:0;top:0;width:100%;height:100%\">"
                 u"<tr><td style=\"text-align:center;vertical-align:center\">");
        out.text(u"<img border=0 src=\"" + HtmlText::attribute(node.image()->source()) + u"\" alt=\""
            + HtmlText::attribute(alternativeText(node)) + u"\" style=\"width:" + number(inner.width()) + u";height:"
            + number(inner.height()) + u";" + String(cursor));
        out.line(u"\" />");
        out.text(u"</td></tr></table>");
    }

    out.text(
        u"<table cellspacing=0 cellpadding=4 style=\"position:absolute;left:0;top:0;width:100%;height:100%\"><tr>");
    std::u16string_view horizontal = u"left";
    if (node.horizontalAlignment() == Alignment::HCenter)
        horizontal = u"center";
    else if (node.horizontalAlignment() == Alignment::Right)
        horizontal = u"right";
    std::u16string_view vertical = u"top";
    if (node.verticalAlignment() == Alignment::VCenter)
        vertical = u"center";
    else if (node.verticalAlignment() == Alignment::Bottom)
        vertical = u"bottom";
    out.text(u"<td style=\"" + String(cursor) + u";width:100%;height:100%;text-align:" + String(horizontal)
        + u";vertical-align:" + String(vertical) + u";" + HtmlText::attribute(node.captionFont().css()) + u"\">");
    const String& caption = node.getText();
    out.text(caption.empty() ? String(u"&nbsp;") : HtmlText::content(caption));
    out.text(u"</td></tr></table>");
    if (!link.empty())
        out.text(u"</a>");
}

void PageHtmlWriter::writeSizeFix(HtmlOutput& out, const String& scriptId, const NodeValues& values)
{
    out.line(u"<script>");
    out.line(u"if (ie == false)");
    out.line(u"{");
    out.line(u"\tvar\tdiv = document.getElementById('" + scriptId + u"');");
    out.line(u"\tdiv.style.width = " + number(values.w - 2 * values.bw) + u";");
    out.line(u"\tdiv.style.height = " + number(values.h - 2 * values.bw) + u";");
    out.line(u"}");
    out.line(u"</script>");
}

void PageHtmlWriter::writeNodeAttributes(HtmlOutput& out, PageNode& node, const NodeValues& values)
{
    if (node.hasMenuItems()) {
        PageMenu& menu = *node.menu();
        String trigger = menu.trigger().empty() ? String(u"onmousedown") : menu.trigger();
        if (m_pictureMode && menu.opensOnClick())
            out.text(u" onmouseover=\"javascript:hand()\" onmouseout=\"javascript:pointer()\"");
        out.text(u" " + trigger + u"=\"javascript:show_menu('" + HtmlText::attribute(values.scriptName) + u"','"
            + HtmlText::attribute(menu.alignment()) + u"'," + number(menu.menuStyle().border().width()) + u")\"");
        // The shape's own actions on the other events still run: a menu
        // opened by pointing must not swallow what a click does. The
        // pointer's shape is the menu's to set.
        for (int event = PageNode::MouseDown; event < PageNode::eventCount; ++event) {
            const String& text = node.eventText(event);
            if (text.empty() || trigger.equalsIgnoreCase(PageNode::eventName(event))
                || (menu.opensOnClick() && m_pictureMode
                    && (event == PageNode::MouseOver || event == PageNode::MouseOut)))
                continue;
            m_page.addPreload(text);
            out.text(u" " + String(PageNode::eventName(event)) + u"=\"" + HtmlText::action(text) + u"\"");
        }
        if (!node.eventText(PageNode::Title).empty())
            out.text(u" title=\"" + HtmlText::attribute(node.eventText(PageNode::Title)) + u"\"");
    } else if (!values.mail) {
        if (!node.eventText(PageNode::MouseDown).empty() && m_pictureMode) {
            if (node.eventText(PageNode::MouseOver).empty())
                out.text(u" onmouseover=\"javascript:hand()\"");
            if (node.eventText(PageNode::MouseOut).empty())
                out.text(u" onmouseout=\"javascript:pointer()\"");
        }
        for (int event = 0; event < PageNode::eventCount; ++event) {
            const String& text = node.eventText(event);
            if (text.empty())
                continue;
            m_page.addPreload(text);
            // Without a picture the hyperlink is a link around the shape's
            // contents (writeDivisionContents).
            if (event == PageNode::Href && !m_pictureMode)
                continue;
            String value;
            if (event == PageNode::Title)
                value = HtmlText::attribute(text);
            else if (event == PageNode::Href)
                value = HtmlText::hyperlink(text);
            else
                value = HtmlText::action(text);
            if (m_pictureMode && values.clickable) {
                if (event == PageNode::MouseOver)
                    value.append(u";hand()");
                else if (event == PageNode::MouseOut)
                    value.append(u";pointer()");
            }
            out.text(u" " + String(PageNode::eventName(event)) + u"=\"" + value + u"\"");
        }
    }
    if (m_pictureMode && values.mail) {
        out.text(u" href=\"" + HtmlText::mailto(values.address, values.subject) + u"\"");
    }
}

void PageHtmlWriter::writeFrameContents(HtmlOutput& out, const NodeValues& values)
{
    const String& k = values.name;
    const String width = number(values.w - 2 * values.bw);
    const String height = number(values.h - 2 * values.bw);
    const String zs = m_pictureMode ? String() : u";z-index:" + number(values.z + 1);
    const String imageBorder = HtmlText::attribute(m_page.imageStyle().border().cssText());

    out.text(u"\t<iframe id=\"" + k + u"-iframe\" onload=\"javascript:frame_loaded(this)\" frameborder=\"0\" "
        + u"style=\"display:none;" + HtmlText::attribute(m_page.frameStyle().border().cssText()) + u";left:0;top:0"
        + u";width:" + width + u";height:" + height);
    if (!m_pictureMode)
        out.text(u";position:absolute;z-index:" + number(values.z + 1));
    out.line(u"\">");
    out.line(u"\t</iframe>");

    out.text(u"\t<div id=\"" + k + u"-video-div\" style=\"visibility:hidden;position:absolute" + u";left:0;top:0;width:"
        + width + u";height:" + height + u";" + HtmlText::attribute(m_page.videoStyle().border().cssText()));
    out.line(u"\">");
    out.line(u"\t</div>");

    const bool captionFirst = !m_page.captionAtBottom();
    // The caption shown beside a frame's picture says what it is, so the
    // picture itself asks nothing of a screen reader.
    String linkPicture
        = u"<a id=\"" + k + u"-image-link\">" + u"<img border=\"0\" id=\"" + k + u"-link-image\" alt=\"\" /></a>";
    String linkCaption = captionBlock(k + u"-link-caption", k + u"-link-caption-cell");
    out.text(u"\t<div id=\"" + k + u"-image-link-div\" " + u"style=\"overflow:hidden;display:none;width:0;height:0; "
        + imageBorder + zs + u"\">");
    out.text(captionFirst ? linkCaption + linkPicture : linkPicture + linkCaption);
    out.line();
    out.line(u"\t</div>");

    String picture = u"<img border=\"0\" id=\"" + k + u"-image\" alt=\"\" />";
    String caption = captionBlock(k + u"-caption", k + u"-caption-cell");
    out.text(u"\t<div id=\"" + k + u"-image-div\" " + u"style=\"overflow:hidden;display:none;width:0;height:0; "
        + imageBorder + zs + u"\">");
    out.text(captionFirst ? caption + picture : picture + caption);
    out.line();
    out.line(u"\t</div>");
}

String PageHtmlWriter::captionBlock(const String& id, const String& cellId)
{
    return u"<span id=\"" + id + u"\" style=\"width:100%;"
        + HtmlText::attribute(m_page.outerCaptionStyle().border().cssText()) + u"\">"
        + u"<table border=0 cellspacing=0 cellpadding=0 style=\"width:100%;height:100%\"><tr>" + u"<td id=\"" + cellId
        + u"\" style=\"width:100%;text-align:center;" + HtmlText::attribute(m_page.captionStyle().cssText()) + u"\">"
        + u"</td></tr></table></span>";
}

void writePageHtml(Page& page, std::ostream& out, const String& picturePath)
{
    PageHtmlWriter(page, picturePath).write(out);
}

}
