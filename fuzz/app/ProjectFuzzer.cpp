// A whole project file read through the project document's open, as the
// designer reads a project that someone sent: its pages with their shapes,
// pictures, menus, slideshows and start-up entries, and the transitions.
//
// Each input is written as the project file of one project folder under a
// temporary folder made once; opening adds only the content folders, which
// stay for the next input. No networking is installed, so web locations
// count as missing and nothing is fetched; the settings file is a temporary
// one, so no user's settings are read or touched.
#include "app/PageDocument.h"
#include "page/Page.h"

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace lumavine;

namespace {

std::string temporaryFolder;
std::string projectFile;

void removeTemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(temporaryFolder, ignored);
}

void writeProject(const uint8_t* data, size_t size)
{
    std::ofstream out(projectFile, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void openProject(const uint8_t* data, size_t size)
{
    writeProject(data, size);
    PageDocument document;
    document.setErrorReporter([](const String&) {});
    // A file that can be read always opens, with at least one page.
    if (!document.open(String(projectFile)) || document.pageCount() == 0 || !document.currentPage())
        std::abort();
    // A new page as a copy of the first writes that page's model out and
    // reads it back, as the designer's "copy page" does.
    String first = document.currentPage()->id();
    document.newPage(nullptr, &first);
}

// One project with a shape of each kind, text, a picture, a menu, a
// slideshow and transitions: opened once before fuzzing so that Qt's
// one-time set-up (fonts, image readers) is done and is not taken for a
// leak of the first input that needs it.
const char warmUpProject[] = R"(<lumavine>
<page id="p1"><label>Warm up</label>
<properties><background-color>#ffffff</background-color><size><width>200</width><height>100</height></size>
<caption-html><font>font-family:DejaVu Sans;font-size:11;font-color:#ffffff;font-style:bold</font></caption-html>
</properties>
<node><font>font-family:DejaVu Sans;font-size:9;font-color:#5b5b5b;font-style:italic</font>
<ntype>rectangle</ntype><npoints>4</npoints><point x="0" y="0" /><point x="90" y="0" /><point x="90" y="40" /><point x="0" y="40" />
<border>type:straight;width:1;color:#1f4e5f;enda:none;endz:none;border-style:solid</border>
<name>text</name><text>Some text</text><id>n1</id>
<onmousedown>javascript:show_picture('round','files/lake.jpg','Lake',null,null,null,96,true)</onmousedown>
<menu><trigger>onmouseover</trigger><static>false</static>
<itemstyle><font>font-family:DejaVu Sans;font-size:10;font-color:#1f4e5f</font><background-color>#fffaf0</background-color></itemstyle>
<item sort="0"><name>One</name><url>javascript:show_page('_self','Warm_up.html',null,100)</url><image>files/boathouse.png</image></item>
</menu>
</node>
<node><ntype>image</ntype><npoints>4</npoints><point x="100" y="0" /><point x="150" y="0" /><point x="150" y="50" /><point x="100" y="50" />
<source>files/boathouse.png</source><name>picture</name><id>n2</id></node>
<node><ntype>roundrectangle</ntype><npoints>4</npoints><point x="0" y="50" /><point x="50" y="50" /><point x="50" y="90" /><point x="0" y="90" />
<name>round</name><id>n3</id><frame>true</frame></node>
<slideshows><slideshow id="s1" name="tour"><slide id="a" name="one" sort="0">javascript:show_picture('round','files/meadow.jpg',null,null,null,null,96,true)</slide></slideshow></slideshows>
<initialize><entry id="e1" name="start" sort="0">javascript:clear_audio()</entry></initialize>
<imagetype>png</imagetype>
</page>
<transitions><fade /></transitions>
</lumavine>
)";

// Small pictures under the names the sample project uses, so that seeds
// taken from it find their files and the picture shapes read real images.
void writePictures(const std::string& files)
{
    std::filesystem::create_directories(files);
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(QColor(31, 78, 95));
    for (const char* name : { "lake.jpg", "meadow.jpg", "sunrise.jpg" })
        image.save(QString::fromStdString(files + "/" + name), "JPEG");
    image.save(QString::fromStdString(files + "/boathouse.png"), "PNG");
}

}

// Fontconfig, which Qt's font database starts once, keeps its configuration
// to the end and never frees it; LeakSanitizer's check when the process ends
// would count that as a leak. Only blocks allocated inside fontconfig itself
// are spared, so a leak of ours still shows.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "lumavine-project-fuzzer-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    temporaryFolder = pattern;
    std::atexit(removeTemporaryFolder);
    std::filesystem::create_directories(temporaryFolder + "/site");
    projectFile = temporaryFolder + "/site/site.xml";
    setenv("LUMAVINE_REGISTRY", (temporaryFolder + "/registry.xml").c_str(), 1);

    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps the arguments for the application's life; it gets only the
    // program's name, so that it takes none of libFuzzer's flags for its own.
    static int qtArgc = 1;
    static char* qtArgv[] = { *argc > 0 ? (*argv)[0] : const_cast<char*>("app_project_fuzzer"), nullptr };
    // Never destroyed: libFuzzer ends the process from within its loop.
    static QGuiApplication* application = new QGuiApplication(qtArgc, qtArgv);
    (void)application;

    writePictures(temporaryFolder + "/site/content/files");
    openProject(reinterpret_cast<const uint8_t*>(warmUpProject), sizeof warmUpProject - 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    openProject(data, size);
    return 0;
}
