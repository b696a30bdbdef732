#include "generate/PageFiles.h"

#include "core/AtomicFile.h"
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
    if (!written) {
        if (ProjectContext* project = page.project())
            project->reportError(String(u"Cannot write ") + htmlPath);
    }
    return written && pictureWritten;
}

}
