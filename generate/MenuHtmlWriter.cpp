#include "generate/MenuHtmlWriter.h"

#include "core/StringList.h"
#include "generate/HtmlOutput.h"
#include "generate/HtmlText.h"
#include "page/Action.h"
#include "page/Page.h"

namespace lumavine {

namespace {

String backgroundCss(const DisplayElement& element)
{
    if (element.hasBackgroundImage())
        return Background::imageCss(element.backgroundImageSource());
    Background background;
    if (element.hasBackground() && Background::fromText(element.backgroundColorText(), background))
        return background.toCss();
    return String();
}

String fontCss(const DisplayElement& element)
{
    WinFont* font = element.font();
    return font ? font->css() : String();
}

bool isMail(const String& action, String& address, String& subject)
{
    if (!action.startsWith(u"javascript:mail("))
        return false;
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, false))
        return false;
    address = arguments.get(0);
    subject = arguments.get(1);
    return true;
}

String mailLink(const String& address, const String& subject)
{
    return u"<a href=\"" + HtmlText::mailto(address, subject) + u"\"";
}

}

void MenuHtmlWriter::write(HtmlOutput& out, Page& page, PageNode& node, int number, bool pictureMode)
{
    PageMenu& menu = node.ensureMenu();
    const String name = HtmlText::attribute(node.getName());
    const String scriptName = HtmlText::scriptString(node.getName());
    const String n = String::number(number);
    const String cellClass = u"class-" + n + u"-menu-td";

    String font = fontCss(menu.itemStyle());
    if (font.empty())
        font = fontCss(node);
    if (font.empty())
        font = WinFont::defaultFont().css();
    String hoverFont = fontCss(menu.hoverStyle());
    if (hoverFont.empty())
        hoverFont = font;
    String itemBackground = backgroundCss(menu.itemStyle());
    if (itemBackground.empty())
        itemBackground = backgroundCss(node);

    out.line(u"<style type=\"text/css\">");
    out.line(u"#" + HtmlText::cssIdentifier(node.getName()) + u"-menu-div");
    out.line(u"{");
    out.line(u"\tvisibility:\thidden;");
    out.line(u"\tposition:\tabsolute;");
    out.line(u"\tleft:\t0;");
    out.line(u"\ttop:\t0;");
    out.line(u"\t" + font + u";");
    const String& menuBorder = menu.menuStyle().border().cssText();
    if (!menuBorder.empty())
        out.line(u"\t" + menuBorder + u";");
    out.line(u"}");

    out.line(u"." + cellClass);
    out.line(u"{");
    out.line(u"\tcursor:\tpointer;");
    if (!itemBackground.empty())
        out.line(u"\t" + itemBackground + u";");
    out.line(u"\t" + font + u";");
    const String& itemBorder = menu.itemStyle().border().cssText();
    if (!itemBorder.empty())
        out.line(u"\t" + itemBorder + u";");
    out.line(u"}");

    out.line(u"." + cellClass + u"-hover");
    out.line(u"{");
    out.line(u"\tcursor:\tpointer;");
    out.line(u"\t" + hoverFont + u";");
    if (menu.hoverStyle().hasBackground())
        out.line(u"\t" + backgroundCss(menu.hoverStyle()) + u";");
    const String& hoverBorder = menu.hoverStyle().border().cssText();
    if (!hoverBorder.empty())
        out.line(u"\t" + hoverBorder + u";");
    out.line(u"}");
    out.line(u"</style>");

    out.text(u"<div id=\"" + name + u"-menu-div\"");
    if (menu.isStatic())
        out.text(u" class='static-menu'");
    else if (menu.opensOnClick())
        out.text(u" class='click-menu'");
    else
        out.text(u" class='flyover-menu'");
    out.line(u">");
    out.text(u"<table id=\"" + name + u"-table\" cellspacing=\"0\" border=\"1\" style=\"border-width:0pt");
    out.line(u"\">");

    String highlight;
    if (menu.hoverStyle().hasBackground() || menu.hoverStyle().border().width() > 0) {
        highlight = u" onmouseover=\"javascript:row_class(this,'" + cellClass + u"-hover')\""
            + u" onmouseout=\"javascript:row_class(this,'" + cellClass + u"')\"";
    }
    const std::u16string_view entryEvent = menu.trigger().equals(u"onmouseover") ? u"onmousedown" : u"onmouseup";

    int index = 0;
    for (const auto& item : menu.items()) {
        const String& action = item->url();
        String address;
        String subject;
        bool mail = isMail(action, address, subject);
        String handler = mail ? u">" + mailLink(address, subject)
                              : u" " + String(entryEvent) + u"=\"" + HtmlText::action(action) + u"\"";
        bool firstStatic = menu.isStatic() && index == 0;
        page.addPreload(action);

        out.line(u"<tr>");
        if (menu.hasPictureColumn()) {
            out.text(u"<td class='" + cellClass
                + u"' style='border-right-width:0pt;text-align:left;vertical-align:middle;width:1'" + highlight
                + handler + u">");
            String picture = item->image();
            if (picture.empty() && actionCalls(action, u"show_picture")) {
                String function;
                StringList arguments;
                if (parseAction(action, function, arguments, false))
                    picture = arguments.get(1);
            }
            if (!picture.empty()) {
                String image = u"<img src='" + HtmlText::attribute(picture, u'\'') + u"'";
                if (menu.thumbWidth() > 0)
                    image.append(u" width='" + String::number(menu.thumbWidth()) + u"'");
                if (menu.thumbHeight() > 0)
                    image.append(u" height='" + String::number(menu.thumbHeight()) + u"'");
                out.text(image + u" />");
            } else {
                out.text(u"&nbsp;&nbsp;&nbsp;");
            }
            if (mail)
                out.line(u"</a>");
            out.text(u"<td class='" + cellClass + u"' style='border-left-width:0pt"
                + (firstStatic ? u";border-right-width:0pt" : u"") + u"'");
        } else {
            out.text(u"<td class='" + cellClass + u"'" + (firstStatic ? u" style ='border-right-width:0pt'" : u""));
        }
        out.text(highlight);
        if (menu.isStatic() && index > 0)
            out.text(u" colspan=2");
        out.text(handler + u"><nobr>" + HtmlText::content(item->name()));
        out.line(u"</nobr>");
        if (mail)
            out.line(u"</a>");
        out.line(u"</td>");
        if (firstStatic) {
            out.text(u"<td id='close-" + n + u"' class='" + cellClass + u"'"
                + u" title='Close' style='border-left-width:0pt;font-weight:bold;text-align:right;vertical-align:top'"
                + u" onmousedown=\"javascript:clear_menu('" + HtmlText::attribute(scriptName) + u"')\">");
            out.line(u"X</td>");
        }
        out.line(u"</tr>");
        ++index;
    }

    out.line(u"</table>");
    out.line(u"</div>");
    out.line(u"<script>");
    out.line(u"var\tmtable = document.getElementById('" + scriptName + u"-table');");
    out.line(u"var\tmdiv = document.getElementById('" + scriptName + u"-menu-div');");
    int height = menu.height();
    if (height < 1) {
        out.line(u"if (ie)");
        out.line(u"{");
        if (pictureMode)
            out.line(u"\tmdiv.style.width = mtable.offsetWidth;");
        out.line(u"}");
        out.line(u"else");
        out.line(u"{");
        out.line(u"\tmdiv.style.width = mtable.offsetWidth;");
    } else {
        const String limit = String::number(height);
        out.line(u"if (mtable.offsetHeight > " + limit + u")");
        out.line(u"{");
        out.line(u"\tmdiv.style.height = " + limit + u";");
        out.line(u"\tmdiv.style.overflow = 'auto';");
        out.line(u"\tif (ie)");
        out.line(u"\t{");
        out.line(u"\t\tmdiv.style.width = mtable.offsetWidth + 1;");
        out.line(u"\t}");
        out.line(u"\telse");
        out.line(u"\t{");
        out.line(u"\t\tmdiv.style.width = mtable.offsetWidth + 16;");
        out.line(u"\t}");
    }
    out.line(u"}");
    out.line(u"</script>");
}

}
