#include "page/Slideshow.h"

#include "core/StringList.h"
#include "page/Action.h"
#include "xml/Elements.h"

namespace lumavine {

Slideshow::Slideshow(const String& id) : m_id(id), m_slides(u"slides", u"slide")
{
}

Slideshow::~Slideshow() = default;

String Slideshow::newId()
{
    return EntryList::newId();
}

void Slideshow::read(const Element* element)
{
    if (!element)
        return;
    if (element->hasAttribute(u"name"))
        m_name = element->getAttribute(u"name");
    if (m_name.empty())
        m_name = String(u"Slideshow");
    m_audio = getChildText(element, u"audio");
    m_slides.read(element);
}

void Slideshow::write(Element* parent) const
{
    if (!parent)
        return;
    Element* element = addElement(parent, String(u"slideshow"));
    element->setAttribute(u"id", m_id);
    element->setAttribute(u"name", m_name);
    if (!m_audio.empty())
        addElement(element, String(u"audio"), m_audio);
    m_slides.writeEntries(element);
}

void Slideshow::copyFrom(const Slideshow& other)
{
    m_name = other.m_name;
    m_audio = other.m_audio;
    m_slides.copyFrom(other.m_slides);
}

void Slideshow::dataLines(StringList& lines) const
{
    // The id and the audio location are the user's texts inside script
    // strings; one quote left as it is would stop every script of the page.
    const String id = escapeScriptString(m_id);
    String slides = u"_slides['" + id + u"']";
    lines.append(slides + u" = new Array();");
    if (m_audio.empty())
        lines.append(u"_slideshowAudios['" + id + u"'] = null;");
    else
        lines.append(u"_slideshowAudios['" + id + u"'] = \"" + escapeScriptString(m_audio) + u"\";");
    int ratio = 0;
    int index = 0;
    for (const Element* slide : m_slides.entries()) {
        String function;
        StringList arguments;
        int position = index++;
        if (!parseAction(EntryList::actionOf(slide), function, arguments, true))
            continue;
        // Missing arguments are written as null rather than left out, so
        // the Slide constructor always gets its seven values.
        auto argument = [&](size_t n) -> String {
            const String& text = arguments.get(n - 1);
            return n <= arguments.count() ? text : String(u"null");
        };
        auto readRatio = [&](size_t n) {
            String text = unquoteArgument(arguments.get(n - 1));
            int value = 0;
            if (!text.empty() && text.readInt(value))
                ratio = value;
        };
        String prefix = slides + u"[" + String::number(position) + u"] = new Slide(";
        if (function.equalsIgnoreCase(u"show_picture")) {
            readRatio(7);
            String joined = argument(2);
            for (size_t n = 3; n <= 6; ++n)
                joined += u"," + argument(n);
            lines.append(prefix + u"'picture'," + joined + u"," + String::number(ratio) + u"," + argument(8) + u");");
        } else if (function.equalsIgnoreCase(u"show_page")) {
            readRatio(4);
            if (ratio == 0)
                ratio = 100;
            lines.append(prefix + u"'page'," + argument(2) + u",null,null,null," + argument(3) + u","
                + String::number(ratio) + u",null);");
        }
    }
}

}
