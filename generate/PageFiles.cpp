#include "generate/PageFiles.h"

#include "generate/PageHtmlWriter.h"
#include "page/Page.h"
#include "page/ProjectContext.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

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

    std::string target = htmlPath.toNarrow();
    std::string temporary = target + ".tmp" + std::to_string(::getpid());
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            writePageHtml(page, out, imagePath);
            out.flush();
            written = out.good();
        }
    }
    if (written)
        written = std::rename(temporary.c_str(), target.c_str()) == 0;
    htmlWritten = written;
    if (!written) {
        std::remove(temporary.c_str());
        if (ProjectContext* project = page.project())
            project->reportError(String(u"Cannot write ") + htmlPath);
    }
    return written && pictureWritten;
}

}
