#pragma once

#include "core/String.h"

#include <ostream>

namespace lumavine {

class HtmlOutput;
class Page;
class PageNode;

// Writes the HTML file of a page: the page picture under a client-side
// image map (or, for pages without picture, the shapes built of elements),
// the frames and menus over it, the script runtime with the page's values,
// and the preloaded pictures. The page has been prepared for generation, so
// every file it names is a site path.
class PageHtmlWriter {
public:
    // Where the credit line of every page points.
    static constexpr std::u16string_view makerSiteAddress = u"https://www.lumavine.org/";

    PageHtmlWriter(Page& page, const String& picturePath);

    void write(std::ostream& out);

private:
    struct NodeValues;

    void writeHead(HtmlOutput& out);
    void writeScript(HtmlOutput& out);
    void writeNode(HtmlOutput& out, PageNode& node);
    void writeArea(HtmlOutput& out, PageNode& node, const NodeValues& values);
    void writePictureModeFrame(HtmlOutput& out, PageNode& node, const NodeValues& values);
    void writeDivision(HtmlOutput& out, PageNode& node, const NodeValues& values);
    void writeDivisionContents(HtmlOutput& out, PageNode& node, const NodeValues& values);
    // The opening tag of the link a division's contents are wrapped in: the
    // mail link, or the hyperlink; empty for none.
    String divisionLink(PageNode& node, const NodeValues& values) const;
    // scriptId goes into a script string as it is.
    void writeSizeFix(HtmlOutput& out, const String& scriptId, const NodeValues& values);
    void writeNodeAttributes(HtmlOutput& out, PageNode& node, const NodeValues& values);
    void writeFrameContents(HtmlOutput& out, const NodeValues& values);
    String captionBlock(const String& id, const String& cellId);
    static String alternativeText(PageNode& node);
    NodeValues valuesOf(PageNode& node) const;

    Page& m_page;
    String m_picturePath;
    bool m_pictureMode = true;
    int m_lowestLayer = 0;
};

// The page's HTML into `out`; `picturePath` is the page picture just written
// (empty for a page without picture).
void writePageHtml(Page& page, std::ostream& out, const String& picturePath);

}
