#include "generate/PageFiles.h"

#include "core/AtomicFile.h"
#include "generate/MediaFormats.h"
#include "generate/PageHtmlWriter.h"
#include "page/Page.h"
#include "page/ProjectContext.h"

#include <sstream>

namespace lumavine {

bool writePageFiles(Page& page, String& htmlPath, String& imagePath)
{
    page.prepareGeneration();
    bool htmlWritten = false;
    return writePreparedPageFiles(page, htmlPath, imagePath, htmlWritten);
}

bool writePreparedPageFiles(Page& page, String& htmlPath, String& imagePath, bool& htmlWritten)
{
    htmlWritten = false;
    htmlPath = page.htmlFilePath();
    imagePath.clear();
    if (htmlPath.empty())
        return false;
    bool pictureWritten = page.exportPageImage(imagePath, page.imageType());

    std::ostringstream html;
    writePageHtml(page, html, imagePath);
    bool written = writeFileAtomically(htmlPath.toNarrow(), html.str());
    htmlWritten = written;
    if (ProjectContext* project = page.project()) {
        if (!written)
            project->reportError(String(u"Cannot write ") + htmlPath);
        for (const String& file : oldMediaFiles(page))
            project->reportWarning(u"Page " + page.label() + u" plays " + file
                + u", which current browsers cannot play: convert it to WebM or MP4 (sound: MP3 or Ogg)");
    }
    return written && pictureWritten;
}

}
