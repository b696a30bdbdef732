#pragma once

#include "core/String.h"

#include <vector>

namespace lumavine {

class Page;

// What a page asks of the project that holds it: its folders, its
// transition settings, the other pages and the list of files the site uses.
// The project document implements it; a page keeps a non-owning link.
class ProjectContext {
public:
    virtual ~ProjectContext() = default;

    // The folder of the project file; the site goes to its "content" folder.
    virtual const String& projectDirectory() const = 0;
    // projectDirectory() + "/content": generated pages and pictures.
    virtual const String& contentDirectory() const = 0;
    // contentDirectory() + "/files": media copied into the project.
    virtual String filesDirectory() const { return contentDirectory() + u"/files"; }
    // contentDirectory() + "/custom": the user's own files, published as
    // they are.
    virtual String customDirectory() const { return contentDirectory() + u"/custom"; }
    // The installation folder (with "images/page.jpg" and the guide); empty
    // when unknown.
    virtual const String& installationDirectory() const { return emptyString; }

    // The project's pages in project order.
    virtual std::vector<Page*> pages() const { return {}; }
    // A page of the project by its identifier, or by its label.
    virtual Page* findPage(std::u16string_view id) const = 0;
    virtual Page* findPageByLabel(std::u16string_view label) const = 0;

    // Transition settings of a transition kind ("fade", "barn", ...): the
    // filter text (empty for "none" or an unknown kind), the clear flag text
    // ("true" or "false") and the duration in seconds.
    virtual String transitionFilter(std::u16string_view kind) const = 0;
    virtual String transitionClear(std::u16string_view kind) const = 0;
    virtual double transitionDuration(std::u16string_view kind) const = 0;

    // A site path ("files/...", "custom/...") that a page uses, so that the
    // project keeps the file and publishes it.
    virtual void addReferencedFile(const String& sitePath) = 0;

    // A file directly in the content folder that a page names by its plain
    // name: the user's own, which clearing out old page files must spare.
    virtual void addContentFile(const String& name) { (void)name; }

    // The image quality a new page starts with.
    virtual int defaultImageQuality() const { return 50; }

    // A failure the user must be told about ("Error in processing " ...);
    // the project shows it in a message box, or prints it without a window.
    virtual void reportError(const String& message) { (void)message; }
    // Something the user should know that does not stop the work, such as
    // a page playing media that current browsers cannot play.
    virtual void reportWarning(const String& message) { (void)message; }
};

}
