#include "page/Page.h"

#include "core/UniqueId.h"
#include "picture/View.h"
#include "xml/Elements.h"

#include <cmath>

namespace lumavine {

namespace {

// Zooms outside this range are no zoom a view can show; they read as 1.
constexpr double smallestScale = 0.01;
constexpr double largestScale = 100.0;

}

void Page::writeStyles(Element* properties)
{
    auto borderOnly = [&](std::u16string_view name, DisplayElement& style) {
        Element* element = addElement(properties, String(name));
        addElement(element, String(u"border"), style.border().borderText());
    };
    borderOnly(u"image-html", m_imageStyle);
    borderOnly(u"video-html", m_videoStyle);
    borderOnly(u"frame-html", m_frameStyle);
    Element* caption = addElement(properties, String(u"caption-html"));
    addElement(caption, String(u"border"), m_captionStyle.border().borderText());
    WinFont* font = m_captionStyle.font();
    addElement(caption, String(u"font"), font ? font->text() : emptyString);
    addElement(caption, String(u"background"), m_captionStyle.backgroundColorText());
    borderOnly(u"outer-caption-html", m_outerCaptionStyle);
}

void Page::writeXml(Element* parent)
{
    if (!parent)
        return;
    if (m_id.empty())
        makeUniqueId(m_id, u'-');
    parent->setAttribute(u"id", m_id);
    addElement(parent, String(u"label"), m_label);
    Pic::writeXml(parent);
    Element* properties = findChildElement(parent, u"properties", true);
    if (!properties)
        properties = addElement(parent, String(u"properties"));
    if (scrollingOff())
        addElement(properties, String(u"scrolling"), String(u"false"));
    // Written only when on, so that saving a page that never used it leaves
    // its file as it was.
    if (responsive())
        addElement(properties, String(u"responsive"), String(u"true"));
    for (int slot = 0; slot < transitionSlotCount; ++slot)
        addElement(properties, String(transitionKey(slot)), m_transitions[size_t(slot)]);
    addElement(properties, String(u"caption-alignment"), m_captionAlignment);
    addElement(properties, String(u"caption-height"), m_captionHeight);
    writeStyles(properties);
    Element* size = addElement(properties, String(u"size"));
    addElement(size, String(u"width"), m_pictureWidth);
    addElement(size, String(u"height"), m_pictureHeight);
    addElement(properties, String(u"scale"), view() ? view()->zoom() : m_savedScale, 2);
    m_initialize.write(parent);
    if (!m_slideshows.isEmpty()) {
        Element* slideshows = addElement(parent, String(u"slideshows"));
        for (Slideshow* slideshow : slideshowList())
            slideshow->write(slideshows);
    }
    if (!m_script.empty())
        addElement(parent, String(u"script"), m_script);
    addElement(parent, String(u"imagetype"), m_imageType);
    addElement(parent, String(u"imagequality"), m_imageQuality);
}

bool Page::readStyleElement(const Element* properties, std::u16string_view name, DisplayElement& style)
{
    const Element* element = findChildElement(properties, name, true);
    if (!element)
        return false;
    const String& border = getChildText(element, u"border");
    if (!border.empty())
        style.setProperty(u"border", border);
    const String& font = getChildText(element, u"font");
    if (!font.empty())
        style.setFont(font);
    const String& background = getChildText(element, u"background");
    if (!background.empty())
        style.setBackgroundColor(background);
    return true;
}

bool Page::load(const Element* element)
{
    if (!element)
        return false;
    m_id = element->getAttribute(u"id");
    if (m_id.empty())
        makeUniqueId(m_id, u'-');
    m_label = getChildText(element, u"label");
    // Absent means scrolling; the picture's reader only reports what it finds.
    setScrollingOff(false);
    setResponsive(false);
    Pic::load(element);

    if (const Element* properties = findChildElement(element, u"properties", true)) {
        readStyleElement(properties, u"image-html", m_imageStyle);
        readStyleElement(properties, u"video-html", m_videoStyle);
        readStyleElement(properties, u"frame-html", m_frameStyle);
        readStyleElement(properties, u"caption-html", m_captionStyle);
        readStyleElement(properties, u"outer-caption-html", m_outerCaptionStyle);
        const Element* size = findChildElement(properties, u"size", true);
        auto readDimension = [&](std::u16string_view name) {
            int value = -1;
            if (!getChildText(size, name).readInt(value) || value < -1 || value > DisplayNode::coordinateLimit)
                value = -1;
            return value;
        };
        m_pictureWidth = readDimension(u"width");
        m_pictureHeight = readDimension(u"height");
        double scale = 0;
        getChildText(properties, u"scale").readDouble(scale);
        m_savedScale = std::isfinite(scale) && scale >= smallestScale && scale <= largestScale ? scale : 1.0;
    }

    m_initialize.read(findChildElement(element, u"initialize", true));

    if (const Element* slideshows = findChildElement(element, u"slideshows", true)) {
        for (const Node* child : slideshows->childNodes()) {
            const Element* slideshowElement = child->asElement();
            if (!slideshowElement || !slideshowElement->nodeName().equals(u"slideshow"))
                continue;
            const String& id = slideshowElement->getAttribute(u"id");
            if (id.empty() || m_slideshows.contains(id))
                continue;
            auto slideshow = std::make_unique<Slideshow>(id);
            slideshow->read(slideshowElement);
            addSlideshow(std::move(slideshow));
        }
    }

    m_script = getChildText(element, u"script");
    if (const Element* type = findChildElement(element, u"imagetype", true))
        m_imageType = lumavine::getText(type);
    int quality = 0;
    getChildText(element, u"imagequality").readInt(quality);
    m_imageQuality = quality >= 10 && quality <= 100 ? quality : defaultImageQuality;
    return true;
}

}
