#pragma once

#include "core/PtrList.h"
#include "core/String.h"

#include <optional>
#include <vector>

namespace lumavine {

class Page;
class PageView;
class PicNode;

// What the canvas asks of the window around it: property dialogs, other
// pages and the document's modified mark. Every answer defaults to doing
// nothing.
class PageViewClient {
public:
    virtual ~PageViewClient() = default;

    // Opens the property dialog of the shapes (one shape or several); true
    // when the user confirmed it.
    virtual bool editShapes(PageView&, const PtrListOf<PicNode>&) { return false; }
    // The project's pages, in the order the "Go to Page" menu lists them.
    virtual std::vector<const Page*> projectPages() { return {}; }
    // Shows the page with this id in its view.
    virtual void goToPage(const String&) { }
    // The page changed.
    virtual void modified() { }
    // Asks the user for a value ("Scale" / "Times", "Rotate" / "Degrees");
    // nothing when cancelled.
    virtual std::optional<String> askValue(PageView&, const String& /*title*/, const String& /*label*/)
    {
        return std::nullopt;
    }
    // Asks the user for a picture file from the page's content folder;
    // empty when cancelled.
    virtual String choosePicture(PageView&) { return String(); }
    // A command of the page or the project that reaches the canvas (preview,
    // page properties, publishing, the page dialogs); false when nobody
    // handles it.
    virtual bool pageCommand(PageView&, int /*id*/) { return false; }
    // Something the user asked for could not be done.
    virtual void reportError(PageView&, const String& /*message*/) { }
};

}
