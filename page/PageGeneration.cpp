#include "core/PathInfo.h"
#include "page/Action.h"
#include "page/DigestName.h"
#include "page/Page.h"
#include "page/ProjectContext.h"
#include "picture/FillBrush.h"
#include "picture/ImageExport.h"
#include "picture/PageRenderer.h"
#include "picture/View.h"
#include "picture/WinImage.h"

#include <QPainter>

namespace lumavine {

namespace {

bool isPictureExtension(const String& extension)
{
    for (std::u16string_view picture : { u"gif", u"jpg", u"jpeg", u"png", u"bmp" }) {
        if (extension.equalsIgnoreCase(picture))
            return true;
    }
    return false;
}

bool isJpegExtension(const String& extension)
{
    return extension.equalsIgnoreCase(u"jpg") || extension.equalsIgnoreCase(u"jpeg");
}

// The size of the page picture as generation draws it: the extent in the
// export view, at least the page's picture size.
QSize exportedPictureSize(Page& page)
{
    ExportView exportView;
    View* shownIn = page.view();
    page.setView(&exportView);
    QPoint size = page.extent();
    page.setView(shownIn);
    return QSize(std::max(size.x() + 6, page.pictureWidth()), std::max(size.y() + 6, page.pictureHeight()));
}

}

bool Page::resolveResource(const String& location, String& sitePath)
{
    sitePath.clear();
    String trimmed(location);
    trimmed.trim();
    if (trimmed.empty() || !m_project)
        return false;
    const String& content = m_project->contentDirectory();
    if (content.empty())
        return false;
    PathInfo info(trimmed, content);
    if (info.fileName().empty() || info.fileName().equalsIgnoreCase(u"null"))
        return false;
    if (info.isWebLocation()) {
        if (!isPictureExtension(info.extension()))
            return false;
    } else if (!info.scheme().empty() && !info.scheme().equalsIgnoreCase(u"file")) {
        // ftp://, mailto: and the like name nothing that could be copied.
        return false;
    } else if (trimmed.find(u':') != String::npos && !trimmed.startsWith(u"file:")) {
        return false;
    }

    String rest;
    bool inSite = false;
    if (info.relativeTo(m_project->customDirectory(), rest) && !rest.empty()) {
        sitePath = u"custom/" + rest;
        inSite = true;
    } else if (info.relativeTo(content, rest) && !rest.empty() && !rest.contains(u'/')) {
        // The plain file name already works from the generated page.
        m_project->addContentFile(rest);
        if (isPictureExtension(info.extension()))
            m_generationFiles.push_back(content + u"/" + rest);
        return false;
    } else if (info.relativeTo(m_project->filesDirectory(), rest) && !rest.empty() && !rest.contains(u'/')) {
        sitePath = u"files/" + info.fileName();
        inSite = true;
    }

    // What the page's picture may be drawn from, for the fingerprint that
    // lets a later generation leave an unchanged page as it is; only
    // pictures are drawn.
    const bool picture = isPictureExtension(info.extension());
    if (inSite && picture)
        m_generationFiles.push_back(info.directory() + u"/" + info.fileName());
    if (inSite && !info.exists()) {
        // The site path stays, but the user learns that the site lacks it.
        m_project->reportError(String(u"Cannot find file: ") + trimmed);
    } else if (!inSite) {
        String origin = info.directory() + u"/" + info.fileName() + u"-" + String::number(info.modified());
        bool jpeg = isJpegExtension(info.extension());
        if (jpeg)
            origin.appendInt(m_imageQuality);
        String name = digestFileName(origin.toNarrow(), info.extension());
        String filesDirectory = m_project->filesDirectory();
        String destination = filesDirectory + u"/" + name;
        PathInfo target(destination);
        if (!target.exists()) {
            PathInfo contentFolder(content);
            if (!contentFolder.exists())
                contentFolder.makeDirectory();
            PathInfo folder(filesDirectory);
            if (!folder.exists())
                folder.makeDirectory();
            bool written = false;
            if (jpeg) {
                WinImage image(content);
                written = image.load(trimmed)
                    && lumavine::exportPageImage(image.image(), String(u"jpeg"), destination, m_imageQuality);
            }
            // A file that cannot be copied leaves the site without it; the
            // action still names where it would be.
            if (!written && !info.copyTo(destination))
                m_project->reportError(String(u"Cannot copy file: ") + trimmed);
        }
        sitePath = u"files/" + name;
        if (picture)
            m_generationFiles.push_back(destination);
    }

    m_project->addReferencedFile(sitePath);
    if (picture)
        addPreloadPath(sitePath);
    return true;
}

bool Page::localizeAction(String& action)
{
    String function;
    StringList arguments;
    if (!parseAction(action, function, arguments, true))
        return false;
    bool replaced = false;
    for (int position : fileArgumentPositions(function)) {
        if (size_t(position) > arguments.count())
            continue;
        const String& argument = arguments.get(size_t(position) - 1);
        // Only texts name files; a bare null stays as it is.
        if (argument.size() < 2 || (argument[0] != u'\'' && argument[0] != u'"'))
            continue;
        String sitePath;
        if (resolveResource(unquoteArgument(argument), sitePath)) {
            arguments.set(size_t(position) - 1, quoteArgument(sitePath));
            replaced = true;
        }
    }
    if (replaced)
        action = buildAction(function, arguments);
    return replaced;
}

void Page::resolveImage(WinImage* image)
{
    if (!image || image->source().empty())
        return;
    String sitePath;
    if (resolveResource(image->source(), sitePath) && image->setSource(sitePath))
        image->load();
}

void Page::prepareNode(PageNode& node)
{
    if (node.hasBackgroundImage()) {
        String sitePath;
        if (resolveResource(node.backgroundImageSource(), sitePath))
            node.setBackgroundImage(sitePath);
    }
    for (int event = PageNode::Href; event < PageNode::eventCount; ++event) {
        String text = node.eventText(event);
        if (localizeAction(text))
            node.setEventText(event, text);
    }
    if (PageMenu* menu = node.menu()) {
        for (const auto& item : menu->items()) {
            String action = item->url();
            if (localizeAction(action))
                item->setUrl(action);
            String sitePath;
            if (resolveResource(item->image(), sitePath))
                item->setImage(sitePath);
        }
    }
    if (node.isPicture())
        resolveImage(node.image());
}

void Page::prepareGeneration()
{
    clearPreload();
    m_generationFiles.clear();
    if (hasBackgroundImage()) {
        String sitePath;
        if (resolveResource(backgroundImageSource(), sitePath))
            setBackgroundImage(sitePath);
    }
    for (Element* entry : m_initialize.entries()) {
        String action = EntryList::actionOf(entry);
        if (localizeAction(action))
            EntryList::setAction(entry, action);
    }
    for (PageNode* node : pageNodes())
        prepareNode(*node);
    for (Slideshow* slideshow : slideshowList()) {
        for (Element* slide : slideshow->slides()) {
            String action = EntryList::actionOf(slide);
            if (localizeAction(action))
                EntryList::setAction(slide, action);
        }
        String sitePath;
        if (resolveResource(slideshow->audio(), sitePath))
            slideshow->setAudio(sitePath);
    }
}

QImage Page::renderPageImage()
{
    QSize size = exportedPictureSize(*this);
    ExportView exportView;
    View* shownIn = view();
    setView(&exportView);
    int width = size.width();
    int height = size.height();
    QImage image;
    if (width > 0 && height > 0 && pagePictureSizeProblem(size).empty()) {
        image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        if (!image.isNull()) {
            image.fill(Qt::white);
            QPainter painter(&image);
            QRectF area(0, 0, width, height);
            QBrush brush = fillBrush(*this, area);
            if (brush.style() != Qt::NoBrush)
                painter.fillRect(area, brush);
            draw(painter);
        }
    }
    setView(shownIn);
    return image;
}

String Page::pictureKind(const String& type)
{
    String kind(type);
    kind.trim();
    if (kind.empty())
        kind = String(u"png");
    return kind;
}

String Page::picturePathFor(const String& type) const
{
    String kind = pictureKind(type);
    if (!m_project || kind.equalsIgnoreCase(u"none"))
        return String();
    return pageImagePath(m_project->projectDirectory(), fileBaseName(), kind);
}

Page::PictureResult Page::writePagePicture(const String& type)
{
    PictureResult result;
    const String kind = pictureKind(type);
    if (kind.equalsIgnoreCase(u"none")) {
        result.written = true;
        return result;
    }
    if (!m_project)
        return result;
    String path = picturePathFor(kind);
    PathInfo contentFolder(m_project->contentDirectory());
    if (!contentFolder.exists())
        contentFolder.makeDirectory();
    QImage image = renderPageImage();
    if (image.isNull()) {
        if (String problem = pagePictureSizeProblem(exportedPictureSize(*this)); !problem.empty()) {
            result.problem = u"Cannot draw the picture of page " + label() + u": " + problem;
            return result;
        }
    }
    if (image.isNull() || !lumavine::exportPageImage(image, kind, path, imageQuality())) {
        result.problem = String(u"Error in processing ") + u": ";
        return result;
    }
    result.written = true;
    result.path = path;
    return result;
}

bool Page::exportPageImage(String& imagePath, const String& type)
{
    PictureResult result = writePagePicture(type);
    imagePath = result.path;
    if (!result.problem.empty() && m_project)
        m_project->reportError(result.problem);
    return result.written;
}

}
