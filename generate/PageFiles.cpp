#include "generate/PageFiles.h"

#include "generate/SiteGeneration.h"
#include "page/Page.h"

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
    htmlWritten = writePageHtmlFile(page, htmlPath, imagePath);
    return htmlWritten && pictureWritten;
}

}
