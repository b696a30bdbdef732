#include "page/Page.h"

#include "page/Action.h"
#include "page/ProjectContext.h"
#include "picture/ImageExport.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <algorithm>

namespace lumavine {

namespace {

constexpr std::u16string_view transitionKeys[Page::transitionSlotCount]
    = { u"image-transition", u"page-transition", u"video-transition", u"menu-transition" };

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

}

Page::Page(ProjectContext* project, View* view) : Pic(view), m_project(project)
{
}

Page::~Page()
{
    // The shapes go first, while the page they belong to is still whole.
    clear();
}

std::u16string_view Page::transitionKey(int slot)
{
    return slot >= 0 && slot < transitionSlotCount ? transitionKeys[slot] : std::u16string_view();
}

String Page::imageTypeDisplayName(const String& type)
{
    if (type.equalsIgnoreCase(u"none"))
        return String(u"Html");
    if (type.empty())
        return String(u"Png");
    String shown(type);
    shown.replaceChar(u'_', u' ');
    bool wordStart = true;
    for (char16_t& c : shown) {
        if (wordStart)
            c = String::foldUpper(c);
        wordStart = c == u' ';
    }
    return shown;
}

bool Page::setProperty(std::u16string_view key, const String& value)
{
    for (int slot = 0; slot < transitionSlotCount; ++slot) {
        if (is(key, transitionKeys[slot])) {
            m_transitions[size_t(slot)] = value;
            return true;
        }
    }
    struct StyleKey {
        std::u16string_view prefix;
        DisplayElement* style;
    };
    const StyleKey styles[] = { { u"image", &m_imageStyle }, { u"video", &m_videoStyle }, { u"frame", &m_frameStyle },
        { u"caption", &m_captionStyle }, { u"outer-caption", &m_outerCaptionStyle } };
    for (const StyleKey& style : styles) {
        for (std::u16string_view part : { u"-border-color", u"-border-width", u"-border-style" }) {
            if (is(key, String(style.prefix) + part)) {
                style.style->setProperty(part.substr(1), value);
                return true;
            }
        }
    }
    if (is(key, u"caption-background-color")) {
        m_captionStyle.setBackgroundColor(value);
        return true;
    }
    if (is(key, u"caption-font")) {
        m_captionStyle.setFont(value);
        return true;
    }
    if (is(key, u"caption-alignment")) {
        m_captionAlignment = value;
        return true;
    }
    auto readNumber = [&](int& into, int low, int high) {
        int number = 0;
        if (value.readInt(number))
            into = std::clamp(number, low, high);
        return true;
    };
    if (is(key, u"caption-height"))
        return readNumber(m_captionHeight, 0, 100);
    if (is(key, u"pic-width"))
        return readNumber(m_pictureWidth, -1, DisplayNode::coordinateLimit);
    if (is(key, u"pic-height"))
        return readNumber(m_pictureHeight, -1, DisplayNode::coordinateLimit);
    if (is(key, u"script")) {
        m_script = value;
        return true;
    }
    if (is(key, u"imagetype")) {
        m_imageType = value;
        return true;
    }
    if (is(key, u"imagequality")) {
        int quality = 0;
        m_imageQuality = value.readInt(quality) && quality >= 10 && quality <= 100 ? quality : defaultImageQuality;
        return true;
    }
    if (is(key, u"scrolling")) {
        setScrollingOff(value.equalsIgnoreCase(u"false"));
        return true;
    }
    if (is(key, u"responsive")) {
        setResponsive(value.equalsIgnoreCase(u"true"));
        return true;
    }
    return Pic::setProperty(key, value);
}

const String& Page::baseDirectory() const
{
    return m_project ? m_project->contentDirectory() : emptyString;
}

std::unique_ptr<WinImage> Page::createImage()
{
    return std::make_unique<WinImage>(baseDirectory());
}

std::unique_ptr<PicNode> Page::createNode()
{
    return std::make_unique<PageNode>(this);
}

QPoint Page::extent()
{
    QPoint computed = Pic::extent();
    double zoom = view() ? view()->zoom() : 1.0;
    if (m_pictureWidth > 0)
        computed.setX(std::max(computed.x(), int(m_pictureWidth * zoom)));
    if (m_pictureHeight > 0)
        computed.setY(std::max(computed.y(), int(m_pictureHeight * zoom)));
    return computed;
}

QSize Page::pageSize()
{
    QPoint size = extent();
    return QSize(size.x(), size.y());
}

String Page::fileBaseNameOf(std::u16string_view label)
{
    auto isSeparator = [](char16_t c) { return c == u'/' || c == u'\\'; };
    String name(label);
    size_t segmentStart = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isSeparator(name[i]))
            continue;
        // A "." or ".." between separators (or the whole label) names a
        // folder, never a file; its dots go with the separators.
        std::u16string_view segment = std::u16string_view(name).substr(segmentStart, i - segmentStart);
        if (segment == u"." || segment == u"..") {
            for (size_t dot = segmentStart; dot < i; ++dot)
                name[dot] = u'_';
        }
        segmentStart = i + 1;
    }
    // "#" and "?" would end the file's name in every link to it, and "%"
    // would be read as the start of an escape.
    for (char16_t& c : name) {
        if (c == u' ' || c < 0x20 || c == 0x7F || isSeparator(c) || c == u'#' || c == u'?' || c == u'%')
            c = u'_';
    }
    return name;
}

String Page::fileBaseName() const
{
    return fileBaseNameOf(m_label);
}

String Page::effectiveImageType() const
{
    String type(m_imageType);
    type.trim();
    return type.empty() ? String(u"png") : type;
}

bool Page::hasPicture() const
{
    return !effectiveImageType().equalsIgnoreCase(u"none");
}

String Page::htmlFilePath() const
{
    if (!m_project)
        return String();
    return m_project->projectDirectory() + u"/content/" + fileBaseName() + u".html";
}

String Page::imageFilePath() const
{
    if (!m_project || !hasPicture())
        return String();
    return pageImagePath(m_project->projectDirectory(), fileBaseName(), effectiveImageType());
}

const String& Page::transition(int slot) const
{
    return slot >= 0 && slot < transitionSlotCount ? m_transitions[size_t(slot)] : emptyString;
}

void Page::setTransition(int slot, const String& kind)
{
    if (slot >= 0 && slot < transitionSlotCount)
        m_transitions[size_t(slot)] = kind;
}

String Page::transitionFilter(int slot) const
{
    if (!m_project || slot < 0 || slot >= transitionSlotCount || transition(slot).equalsIgnoreCase(u"none"))
        return String();
    return m_project->transitionFilter(transition(slot));
}

String Page::transitionClear(int slot) const
{
    if (!m_project || slot < 0 || slot >= transitionSlotCount)
        return String(u"false");
    String clear = m_project->transitionClear(transition(slot));
    return clear.empty() ? String(u"false") : clear;
}

double Page::transitionDuration(int slot) const
{
    if (!m_project || slot < 0 || slot >= transitionSlotCount)
        return 1.0;
    return m_project->transitionDuration(transition(slot));
}

bool Page::addSlideshow(std::unique_ptr<Slideshow> slideshow)
{
    if (!slideshow || slideshow->id().empty() || m_slideshows.contains(slideshow->id()))
        return false;
    m_slideshows.add(slideshow->id(), slideshow.get());
    m_ownedSlideshows.push_back(std::move(slideshow));
    return true;
}

Slideshow* Page::newSlideshow(const String& name)
{
    if (name.empty())
        return nullptr;
    auto slideshow = std::make_unique<Slideshow>(Slideshow::newId());
    slideshow->setName(name);
    Slideshow* added = slideshow.get();
    return addSlideshow(std::move(slideshow)) ? added : nullptr;
}

bool Page::removeSlideshow(std::u16string_view id)
{
    Slideshow* slideshow = m_slideshows.remove(id);
    if (!slideshow)
        return false;
    std::erase_if(m_ownedSlideshows, [&](const auto& owned) { return owned.get() == slideshow; });
    return true;
}

std::vector<Slideshow*> Page::slideshowList() const
{
    std::vector<Slideshow*> list;
    for (const PtrMap::Entry* entry : m_slideshows)
        list.push_back(PtrMapOf<Slideshow>::valueOf(entry));
    return list;
}

void Page::addPreload(std::u16string_view action)
{
    String text(action);
    text.trim();
    if (text.size() < 23 || !text.substring(0, 23).equalsIgnoreCase(u"javascript:show_picture"))
        return;
    String function;
    StringList arguments;
    if (parseAction(text, function, arguments, false) && function.equalsIgnoreCase(u"show_picture"))
        addPreloadPath(arguments.get(1));
}

void Page::addPreloadPath(const String& sitePath)
{
    if (!sitePath.empty() && !sitePath.equalsIgnoreCase(u"null"))
        m_preload.addUnique(sitePath);
}

PageNode* Page::asPageNode(PicNode* node)
{
    return dynamic_cast<PageNode*>(node);
}

std::vector<PageNode*> Page::pageNodes() const
{
    std::vector<PageNode*> nodes;
    for (PicNode* node : shapes()) {
        if (PageNode* pageNode = asPageNode(node))
            nodes.push_back(pageNode);
    }
    return nodes;
}

PageNode* Page::findFrame(std::u16string_view name) const
{
    for (PageNode* node : pageNodes()) {
        if (node->isFrame() && node->getName().equals(name))
            return node;
    }
    return nullptr;
}

}
