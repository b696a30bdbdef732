#include "generate/MediaFormats.h"

#include "core/StringList.h"
#include "page/Action.h"
#include "page/EntryList.h"
#include "page/Page.h"
#include "page/PageMenu.h"
#include "page/PageMenuItem.h"
#include "page/PageNode.h"
#include "page/Slideshow.h"

#include <algorithm>

namespace lumavine {

namespace {

bool listed(const String& extension, std::initializer_list<std::u16string_view> extensions)
{
    for (std::u16string_view known : extensions) {
        if (extension.equalsIgnoreCase(known))
            return true;
    }
    return false;
}

// The extension of a file a page names: the part after the last dot of
// its last path step, without a query or fragment.
String extensionOf(const String& location)
{
    size_t end = location.find_first_of(u"?#");
    String path = end == String::npos ? location : location.substring(0, end);
    size_t slash = path.find_last_of(u"/\\");
    size_t dot = path.rfind(u'.');
    if (dot == String::npos || (slash != String::npos && dot < slash))
        return String();
    return path.substring(dot + 1);
}

void addOldMedia(const String& location, std::vector<String>& found)
{
    String trimmed(location);
    trimmed.trim();
    if (trimmed.empty() || !isOldMediaExtension(extensionOf(trimmed)))
        return;
    if (std::find(found.begin(), found.end(), trimmed) == found.end())
        found.push_back(trimmed);
}

void addFromAction(const String& action, std::vector<String>& found)
{
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, false))
        return;
    for (int position : fileArgumentPositions(function)) {
        if (size_t(position) <= arguments.count())
            addOldMedia(arguments.get(size_t(position) - 1), found);
    }
}

}

bool isVideoExtension(const String& extension)
{
    return listed(extension, { u"webm", u"mp4", u"m4v", u"ogv", u"wmv", u"mpeg", u"mpg", u"avi" });
}

bool isAudioExtension(const String& extension)
{
    return listed(extension, { u"mp3", u"ogg", u"oga", u"opus", u"m4a", u"wav", u"wma" });
}

bool isOldMediaExtension(const String& extension)
{
    return listed(extension,
        { u"wmv", u"wma", u"asf", u"asx", u"avi", u"mpeg", u"mpg", u"mpe", u"mid", u"midi", u"rm", u"ram", u"ra" });
}

std::vector<String> oldMediaFiles(const Page& page)
{
    std::vector<String> found;
    for (Element* entry : page.initialize().entries())
        addFromAction(EntryList::actionOf(entry), found);
    for (PageNode* node : page.pageNodes()) {
        for (int event = PageNode::Href; event < PageNode::eventCount; ++event)
            addFromAction(node->eventText(event), found);
        if (PageMenu* menu = node->menu()) {
            for (const auto& item : menu->items())
                addFromAction(item->url(), found);
        }
    }
    for (Slideshow* slideshow : page.slideshowList()) {
        for (Element* slide : slideshow->slides())
            addFromAction(EntryList::actionOf(slide), found);
        addOldMedia(slideshow->audio(), found);
    }
    return found;
}

}
