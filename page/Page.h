#pragma once

#include "core/PtrMap.h"
#include "core/StringList.h"
#include "page/Initialize.h"
#include "page/PageNode.h"
#include "page/Slideshow.h"
#include "picture/Pic.h"

#include <QImage>
#include <QSize>
#include <array>
#include <memory>
#include <vector>

namespace lumavine {

class ProjectContext;

// A web page: a picture with everything the generated page needs beyond the
// drawing (title, script, picture type, transitions, the styles of the areas
// inside frames, start-up entries and slideshows), the resolution of the
// files it refers to into site paths, and its page picture.
class Page : public Pic {
public:
    enum PageFlag { ScrollingOff = 1, Responsive = 2 };
    // Slots of the transitions: pictures, pages, video and menus.
    enum TransitionSlot { ImageTransition = 0, PageTransition, VideoTransition, MenuTransition };
    static constexpr int transitionSlotCount = 4;
    static constexpr int defaultImageQuality = 50;

    explicit Page(ProjectContext* project = nullptr, View* view = nullptr);
    ~Page() override;

    // Stored names of the transition slots ("image-transition", ...); empty
    // outside 0..3.
    static std::u16string_view transitionKey(int slot);
    // The image type as the user reads it: "Html" for "none", "Png" when
    // empty, otherwise the text with "_" as blank and each word capitalised.
    static String imageTypeDisplayName(const String& type);

    // Pic
    void writeXml(Element* parent) override;
    bool setProperty(std::u16string_view key, const String& value) override;
    const String& baseDirectory() const override;
    std::unique_ptr<WinImage> createImage() override;
    std::unique_ptr<PicNode> createNode() override;
    bool load(const Element* element) override;
    QPoint extent() override;

    ProjectContext* project() const { return m_project; }
    void setProject(ProjectContext* project) { m_project = project; }

    const String& id() const { return m_id; }
    void setId(const String& id) { m_id = id; }
    // The page title; fileBaseNameOf() makes it the base name of its files.
    const String& label() const { return m_label; }
    void setLabel(const String& label) { m_label = label; }
    // The base name of the files of the page labelled `label`, a plain file
    // name in the content folder: every blank becomes "_", and so does every
    // character no file name can hold or that would lead out of the folder
    // (slash, backslash, NUL and the other control characters, and the dots
    // of a "." or ".." between them). Every page file name is made by this,
    // so that the page, its picture and the links to it agree.
    static String fileBaseNameOf(std::u16string_view label);
    // fileBaseNameOf(label()).
    String fileBaseName() const;
    // The generated files: project folder + "/content/" + base name + ".html"
    // and + "." + the picture type ("png" when empty). Empty without project.
    String htmlFilePath() const;
    String imageFilePath() const;
    // The command identifier the project gives the page (from 36000).
    int commandId() const { return m_commandId; }
    void setCommandId(int id) { m_commandId = id; }

    const String& captionAlignment() const { return m_captionAlignment; }
    // Captions go below the picture only for the exact text "bottom".
    bool captionAtBottom() const { return m_captionAlignment.equals(u"bottom"); }
    int captionHeight() const { return m_captionHeight; }
    DisplayElement& imageStyle() { return m_imageStyle; }
    DisplayElement& videoStyle() { return m_videoStyle; }
    DisplayElement& frameStyle() { return m_frameStyle; }
    DisplayElement& captionStyle() { return m_captionStyle; }
    DisplayElement& outerCaptionStyle() { return m_outerCaptionStyle; }

    // The location of an external script the page loads; empty for none.
    const String& script() const { return m_script; }
    // The stored picture type: "png", "jpeg", ..., "none" for a page built of
    // HTML elements without picture; may be empty.
    const String& imageType() const { return m_imageType; }
    // The type the picture is written with: "png" when none is stored.
    String effectiveImageType() const;
    // Pages of type "none" are written without picture.
    bool hasPicture() const;
    int imageQuality() const { return m_imageQuality; }

    // The transition kind of a slot; empty outside 0..3.
    const String& transition(int slot) const;
    void setTransition(int slot, const String& kind);
    // The project's settings for the kind of a slot: empty filter, "false"
    // and 1 second outside 0..3, for "none" or without project.
    String transitionFilter(int slot) const;
    String transitionClear(int slot) const;
    double transitionDuration(int slot) const;

    Initialize& initialize() { return m_initialize; }
    const Initialize& initialize() const { return m_initialize; }

    const PtrMapOf<Slideshow>& slideshows() const { return m_slideshows; }
    Slideshow* slideshow(std::u16string_view id) const { return m_slideshows.get(id); }
    // Takes the slideshow; false (and it is destroyed) when its id is taken.
    bool addSlideshow(std::unique_ptr<Slideshow> slideshow);
    // A new slideshow with a fresh id; null for an empty name.
    Slideshow* newSlideshow(const String& name);
    bool removeSlideshow(std::u16string_view id);
    // The slideshows in map order, without casts.
    std::vector<Slideshow*> slideshowList() const;

    // Site paths of pictures that show_picture actions show, newest first;
    // rebuilt by every generation.
    const StringList& preloadList() const { return m_preload; }
    // Adds the location of a show_picture action.
    void addPreload(std::u16string_view action);
    void addPreloadPath(const String& sitePath);
    void clearPreload() { m_preload.clear(); }

    int pictureWidth() const { return m_pictureWidth; }
    int pictureHeight() const { return m_pictureHeight; }
    void setPictureSize(int width, int height)
    {
        m_pictureWidth = width;
        m_pictureHeight = height;
    }
    // The picture's extent widened to the picture width and height when set
    // (as extent() computes it, in screen pixels of the current view).
    QSize pageSize();

    const String& lastPropertiesTab() const { return m_lastPropertiesTab; }
    void setLastPropertiesTab(const String& tab) { m_lastPropertiesTab = tab; }
    const String& lastObjectTab() const { return m_lastObjectTab; }
    void setLastObjectTab(const String& tab) { m_lastObjectTab = tab; }

    int pageFlags() const { return m_pageFlags; }
    bool scrollingOff() const { return m_pageFlags & ScrollingOff; }
    void setScrollingOff(bool off) { m_pageFlags = off ? m_pageFlags | ScrollingOff : m_pageFlags & ~ScrollingOff; }
    // A responsive page scales itself down to a window narrower than it;
    // pages saved before the option existed stay as they were.
    bool responsive() const { return m_pageFlags & Responsive; }
    void setResponsive(bool on) { m_pageFlags = on ? m_pageFlags | Responsive : m_pageFlags & ~Responsive; }
    // The zoom last saved with the page, for the view to restore.
    double savedScale() const { return m_savedScale; }

    // The shapes as page nodes, in node order (ascending layer).
    std::vector<PageNode*> pageNodes() const;
    // A shape's property dialog gets the tabs "Click" and "Move" with the
    // panels of its mouse events and its tooltip; lines and frames get none.
    void addFormGroups(Element* form, PicNode* shape) override;
    // The caption of an event panel: the event's label, and the function
    // its action calls in parentheses.
    static String eventPanelCaption(std::u16string_view control, const String& action);
    // Into a panel `width` wide: the hidden input `control` holding the
    // action, and the buttons of the action dialogs and direct commands
    // that act on it (Mail only when asked).
    static void addActionControls(Element* panel, const String& control, const String& action, bool mail, int width);
    static PageNode* asPageNode(PicNode* node);
    // A frame by its node name (exact comparison).
    PageNode* findFrame(std::u16string_view name) const;

    // Turns a location that a page refers to into a site path (relative to
    // the content folder), copying or fetching the file into "files" under a
    // digest name when it lies outside the site. False when the location is
    // left as it is: "null", a web location that is not a picture, a file
    // directly in the content folder, an empty location.
    bool resolveResource(const String& location, String& sitePath);
    // Replaces every file argument of the action that resolves by its site
    // path; true when one was replaced.
    bool localizeAction(String& action);
    // Resolves the files of one node: background, picture, href and event
    // actions, menu entries. Also run when the node's dialog is confirmed.
    void prepareNode(PageNode& node);
    // Resolves every file the page refers to, rewriting the model to site
    // paths, and rebuilds the preload list.
    void prepareGeneration();
    // Draws the page as the site shows it: export mode, page background,
    // every shape.
    QImage renderPageImage();
    // Writes the page picture with `type` ("png" when empty) to
    // imageFilePath(); "none" succeeds with an empty path. On failure the
    // project is told "Error in processing " + ": ".
    bool exportPageImage(String& imagePath, const String& type);
    // What writing the page picture came to: whether it was written, where,
    // and what the project is to be told when it was not.
    struct PictureResult {
        bool written = false;
        String path;
        String problem;
    };
    // exportPageImage() without telling the project, so that pictures can be
    // drawn on worker threads, each page on one thread at a time, and the
    // failures told in page order by the thread that asked for them.
    PictureResult writePagePicture(const String& type);
    // The type a picture of `type` is written as: "png" for an empty one.
    static String pictureKind(const String& type);
    // Where writePagePicture(type) writes; empty for "none" or a page
    // outside a project.
    String picturePathFor(const String& type) const;
    // The files the last prepareGeneration() resolved: those in the site
    // the page names and the copies it made there.
    const std::vector<String>& generationFiles() const { return m_generationFiles; }

private:
    bool readStyleElement(const Element* properties, std::u16string_view name, DisplayElement& style);
    void writeStyles(Element* properties);
    void resolveImage(WinImage* image);

    ProjectContext* m_project = nullptr;
    String m_captionAlignment = String(u"bottom");
    int m_captionHeight = 10;
    DisplayElement m_imageStyle;
    DisplayElement m_videoStyle;
    DisplayElement m_frameStyle;
    DisplayElement m_captionStyle;
    DisplayElement m_outerCaptionStyle;
    String m_script;
    String m_imageType = String(u"png");
    std::array<String, transitionSlotCount> m_transitions { String(u"fade"), String(u"fade"), String(u"fade"),
        String(u"none") };
    Initialize m_initialize;
    int m_imageQuality = defaultImageQuality;
    PtrMapOf<Slideshow> m_slideshows { true };
    std::vector<std::unique_ptr<Slideshow>> m_ownedSlideshows;
    StringList m_preload;
    std::vector<String> m_generationFiles;
    String m_id;
    String m_label;
    String m_lastPropertiesTab = String(u"General");
    int m_pictureWidth = -1;
    int m_pictureHeight = -1;
    String m_lastObjectTab;
    int m_pageFlags = 0;
    int m_commandId = 0;
    double m_savedScale = 1.0;
};

}
