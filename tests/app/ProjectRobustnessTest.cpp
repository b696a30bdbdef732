// Damaged projects as users meet them: a project file cut short, written by
// a newer program or edited by hand, pictures that went missing, a content
// folder that cannot take the site. The program reads what it can, never
// crashes, says what failed (and fails on the command line), and leaves
// every file of the user's that it was not asked to write as it was.
#include "app/CommandLine.h"
#include "app/PageDocument.h"
#include "app/ProjectJobs.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "tests/support/TemporaryFolder.h"

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace lumavine;
namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Where two texts part, with a little of each, for failure messages that do
// not print whole pages.
std::string firstDifference(const std::string& a, const std::string& b)
{
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    if (at == a.size() && at == b.size())
        return {};
    size_t from = at > 60 ? at - 60 : 0;
    return "at " + std::to_string(at) + ":\n" + a.substr(from, 160) + "\n----\n" + b.substr(from, 160);
}

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// What a run of the command line showed: its exit status and both streams.
struct JobResult {
    int status = -1;
    std::string out;
    std::string err;
};

JobResult runJob(const std::vector<std::string>& arguments)
{
    JobResult result;
    CommandLine commandLine;
    if (!commandLine.parse(arguments)) {
        result.err = commandLine.error();
        result.status = 2;
        return result;
    }
    std::ostringstream out;
    std::ostringstream err;
    result.status = runProjectJob(commandLine, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

// The same through the program itself, which the build puts in app/ beside
// the tests' folder; its exit status and standard error as the shell sees them.
fs::path programPath()
{
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path().parent_path().parent_path() / "app" / "lumavine";
}

JobResult runProgram(const std::vector<std::string>& arguments, const fs::path& scratch)
{
    std::string command = "'" + programPath().string() + "'";
    for (const std::string& argument : arguments)
        command += " '" + argument + "'";
    command += " >'" + (scratch / "out.txt").string() + "' 2>'" + (scratch / "err.txt").string() + "'";
    JobResult result;
    int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readText(scratch / "out.txt");
    result.err = readText(scratch / "err.txt");
    return result;
}

// A project folder "site" under a fresh temporary folder, beside a folder of
// the user's own pictures that pages refer to.
class UserProject {
public:
    UserProject()
    {
        fs::create_directories(site());
        fs::create_directories(pictures());
        for (const char* name : { "photo.png", "slide.png", "about.png", "backdrop.png" })
            writePicture(pictures() / name);
        writeText(site() / "notes.txt", "the user's notes\n");
        writeText(site() / "content/custom/style.css", "body { margin: 0 }\n");
        writeText(site() / "site.xml", "");
    }
    UserProject(const UserProject&) = delete;
    UserProject& operator=(const UserProject&) = delete;

    fs::path root() const { return m_root; }
    fs::path site() const { return fs::path(m_root) / "site"; }
    fs::path pictures() const { return fs::path(m_root) / "pictures"; }
    fs::path content() const { return site() / "content"; }
    std::string projectFile() const { return (site() / "site.xml").string(); }
    std::string projectText() const { return readText(projectFile()); }
    void setProjectText(const std::string& text) const { writeText(projectFile(), text); }

    static void writePicture(const fs::path& path, QColor color = Qt::darkCyan)
    {
        QImage picture(24, 16, QImage::Format_RGB32);
        picture.fill(color);
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(picture.save(QString::fromStdString(path.string())));
    }

    // Three pages that use every place an action or a file can sit: a frame,
    // captioned and filled shapes, a picture shape, a line with arrows, event
    // actions, a menu, a slideshow, an initialization entry and a page
    // background; saved as the designer saves.
    void build() const
    {
        PageDocument document;
        ASSERT_TRUE(document.open(String(projectFile())));
        Page* home = document.currentPage();
        home->setLabel(String(u"home"));
        String about(u"about");
        String contact(u"contact");
        ASSERT_NE(document.newPage(&about), nullptr);
        ASSERT_NE(document.newPage(&contact), nullptr);

        PicNode* frame = home->addRectangle(QRect(400, 10, 200, 150));
        frame->setProperty(u"frame", String(u"true"));
        String target = String(u"'") + frame->getName() + u"'";
        String photo = String((pictures() / "photo.png").string());
        String showPhoto
            = String(u"javascript:show_picture(") + target + u",'" + photo + u"','A photo',null,null,null,100,true)";

        PicNode* button = home->addRectangle(QRect(10, 10, 120, 40));
        button->setText(String(u"Photo"));
        button->setProperty(u"background-color", String(u"#ffcc00,#ff8800,vertical"));
        button->setProperty(u"onmousedown", showPhoto);
        button->setProperty(u"title", String(u"Shows the photo"));
        PicNode* ellipse = home->addEllipse(QRect(10, 80, 100, 60));
        ellipse->setProperty(u"onmouseover", String(u"javascript:show_page(") + target + u",'about.html',null,100)");
        auto* ellipseNode = Page::asPageNode(ellipse);
        ellipseNode->ensureMenu().addItem(std::make_unique<PageMenuItem>(
            String(u"Contact"), String(u"javascript:show_page('_self','contact.html',null,100)")));
        home->addPicture(150, 80, photo);
        PicNode* arrow = home->addLine({ QPoint(10, 200), QPoint(200, 260) });
        arrow->setProperty(u"line", String(u"type:straight;width:2;color:#000080;enda:arrow;endz:arrow"));
        Slideshow* show = home->newSlideshow(String(u"Holiday"));
        show->slideList().add(String(u"One"),
            String(u"javascript:show_picture(") + target + u",'" + String((pictures() / "slide.png").string())
                + u"',null,null,null,null,100,true)");
        home->initialize().list().add(String(u"Start"), showPhoto);

        Page* aboutPage = document.findPageByLabel(u"about");
        aboutPage->addPicture(10, 10, String((pictures() / "about.png").string()));
        aboutPage->addPolygon({ QPoint(100, 10), QPoint(160, 60), QPoint(120, 90) });
        Page* contactPage = document.findPageByLabel(u"contact");
        contactPage->setBackgroundImage(String((pictures() / "backdrop.png").string()));
        PicNode* mail = contactPage->addRoundRectangle(QRect(10, 10, 160, 40));
        mail->setText(String(u"Write to us"));
        mail->setProperty(u"onmousedown", String(u"javascript:mail('info@example.org','Hello')"));

        std::vector<std::string> errors;
        document.setErrorReporter([&](const String& message) { errors.push_back(message.toNarrow()); });
        ASSERT_TRUE(document.save()) << (errors.empty() ? "" : errors.front());
        ASSERT_TRUE(errors.empty()) << errors.front();
    }

    // Every file under the temporary folder with its content, leaving out
    // what generation and saving are asked to write: the project file when
    // `withProjectFile` is false, the pages and pictures at the top of the
    // content folder, and the record of what those pictures were drawn from.
    std::map<std::string, std::string> userFiles(bool withProjectFile = true) const
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_root)) {
            if (!entry.is_regular_file())
                continue;
            fs::path relative = fs::relative(entry.path(), m_root);
            if (entry.path().parent_path() == content()) {
                std::string extension = entry.path().extension().string();
                if (extension == ".html" || extension == ".png")
                    continue;
            }
            if (!withProjectFile && entry.path() == fs::path(projectFile()))
                continue;
            if (entry.path().filename() == ".lumavine-pages")
                continue;
            files[relative.string()] = readText(entry.path());
        }
        return files;
    }

    // Every file that was there before is there still with the same content.
    static void expectKept(
        const std::map<std::string, std::string>& before, const std::map<std::string, std::string>& after)
    {
        for (const auto& [path, text] : before) {
            auto found = after.find(path);
            if (found == after.end())
                ADD_FAILURE() << "deleted: " << path;
            else
                EXPECT_TRUE(found->second == text) << "overwritten: " << path;
        }
    }

private:
    test::TemporaryFolder m_folder { "lumavine-robust" };
    std::string m_root = m_folder.narrow();
};

std::string textBetween(const std::string& text, const std::string& open, const std::string& close, size_t from = 0)
{
    size_t start = text.find(open, from);
    if (start == std::string::npos)
        return {};
    start += open.size();
    size_t end = text.find(close, start);
    return end == std::string::npos ? std::string() : text.substr(start, end - start);
}

// Puts `insert` directly after the first opening tag `tag` (with or without
// attributes) found at or after `from`.
void insertAfterTag(std::string& text, const std::string& tag, const std::string& insert, size_t from = 0)
{
    size_t at = text.find("<" + tag, from);
    ASSERT_NE(at, std::string::npos) << tag;
    size_t end = text.find('>', at);
    text.insert(end + 1, insert);
}

std::vector<std::string> errorsOfOpening(const UserProject& project, PageDocument& document)
{
    std::vector<std::string> errors;
    document.setErrorReporter([&errors](const String& message) { errors.push_back(message.toNarrow()); });
    EXPECT_TRUE(document.open(String(project.projectFile())));
    document.setErrorReporter({});
    return errors;
}

}

TEST(ProjectRobustness, ATruncatedProjectFileGivesWhatItHoldsAndLosesNoMedia)
{
    UserProject project;
    project.build();
    const std::string whole = project.projectText();
    const std::string backdrop = textBetween(whole, "<background-image>", "</background-image>");
    ASSERT_FALSE(backdrop.empty());
    ASSERT_TRUE(fs::exists(project.content() / backdrop));

    // Cut inside the second page, in the middle of the name of its polygon's kind.
    size_t cut = whole.find("<ntype>polygon") + 10;
    ASSERT_LT(cut, whole.find("<label>contact"));
    project.setProjectText(whole.substr(0, cut));
    auto before = project.userFiles();

    PageDocument document;
    std::vector<std::string> errors = errorsOfOpening(project, document);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(), "Incomplete project file: " + project.projectFile());
    ASSERT_EQ(document.pageCount(), 2u);
    EXPECT_EQ(document.findPageByLabel(u"home")->shapeCount(), 5u);
    EXPECT_EQ(document.findPageByLabel(u"home")->slideshows().count(), 1u);
    EXPECT_NE(document.findPageByLabel(u"about"), nullptr);

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 1);
    EXPECT_NE(generated.err.find("Incomplete project file: " + project.projectFile()), std::string::npos)
        << generated.err;
    EXPECT_TRUE(fs::exists(project.content() / "home.html"));
    EXPECT_TRUE(fs::exists(project.content() / "home.png"));
    UserProject::expectKept(before, project.userFiles());

    // Saving writes what was read, but the media of the page that was lost
    // with the end of the file stay: nothing says they are unused.
    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 1);
    EXPECT_NE(saved.err.find("Incomplete project file: "), std::string::npos) << saved.err;
    auto afterSave = project.userFiles(false);
    before.erase(fs::relative(project.projectFile(), project.root()).string());
    UserProject::expectKept(before, afterSave);
    EXPECT_TRUE(fs::exists(project.content() / backdrop));
    PageDocument reread;
    EXPECT_TRUE(errorsOfOpening(project, reread).empty()) << "the saved file is whole again";
    EXPECT_EQ(reread.pageCount(), 2u);
}

TEST(ProjectRobustness, AProjectFileCutAnywhereOpensWithoutCrashing)
{
    UserProject project;
    project.build();
    const std::string whole = project.projectText();
    // Every cut, from an empty file to a missing last ">"; a blank file is a
    // new project and no fault.
    for (size_t cut = 0; cut < whole.size(); cut += 97) {
        project.setProjectText(whole.substr(0, cut));
        PageDocument document;
        std::vector<std::string> errors = errorsOfOpening(project, document);
        EXPECT_GE(document.pageCount(), 1u) << cut;
        if (cut == 0)
            EXPECT_TRUE(errors.empty());
        else
            EXPECT_EQ(errors.size(), 1u) << cut;
    }
    project.setProjectText(whole.substr(0, whole.size() - 2));
    PageDocument nearlyWhole;
    EXPECT_EQ(errorsOfOpening(project, nearlyWhole).size(), 1u);
    EXPECT_EQ(nearlyWhole.pageCount(), 3u);

    // Not XML at all, and tags that do not match.
    for (const char* text : { "\x89PNG\r\n\x1a\n\x00\x00garbage", "<lumavine><page id=\"a\"><label>x</page></lumavine>",
             "<lumavine><page id=\"a\"></lumavine>", "</lumavine>", "<lumavine/><page id=\"b\"/>" }) {
        project.setProjectText(text);
        PageDocument document;
        errorsOfOpening(project, document);
        EXPECT_GE(document.pageCount(), 1u) << text;
        EXPECT_TRUE(document.generateSite()) << text;
    }
}

TEST(ProjectRobustness, UnknownElementsAtEveryLevelAreSkipped)
{
    UserProject project;
    project.build();
    ASSERT_EQ(runJob({ "--generate", project.projectFile() }).status, 0);
    const std::string homeHtml = readText(project.content() / "home.html");
    const std::string contactHtml = readText(project.content() / "contact.html");

    std::string text = project.projectText();
    const std::string stranger = "<gadget kind=\"new\"><part>1</part>text</gadget>";
    for (const char* tag : { "lumavine", "page", "properties", "caption-html", "node", "menu", "item", "initialize",
             "slideshows", "slideshow", "transitions", "fade" })
        insertAfterTag(text, tag, stranger);
    // A later page, the node of another page, and text and elements where
    // only attributes were expected.
    text.insert(text.find("<label>contact"), stranger);
    insertAfterTag(text, "node", stranger, text.find("<label>about"));
    size_t point = text.find("<point ");
    size_t pointEnd = text.find("/>", point);
    text.replace(pointEnd, 2, ">odd<gadget/></point>");
    text.insert(text.find("</lumavine>"), "<page-two id=\"x\"><label>not a page</label></page-two>");
    project.setProjectText(text);
    auto before = project.userFiles();

    PageDocument document;
    EXPECT_TRUE(errorsOfOpening(project, document).empty());
    ASSERT_EQ(document.pageCount(), 3u);
    Page* home = document.findPageByLabel(u"home");
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home->shapeCount(), 5u);
    EXPECT_EQ(home->initialize().count(), 1u);
    ASSERT_EQ(home->slideshows().count(), 1u);
    EXPECT_EQ(home->slideshowList().front()->slideCount(), 1u);
    EXPECT_EQ(document.findPageByLabel(u"about")->shapeCount(), 2u);

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 0) << generated.err;
    EXPECT_EQ(generated.err, "");
    EXPECT_EQ(firstDifference(readText(project.content() / "home.html"), homeHtml), "");
    EXPECT_EQ(firstDifference(readText(project.content() / "contact.html"), contactHtml), "");
    UserProject::expectKept(before, project.userFiles());
}

TEST(ProjectRobustness, RepeatedPageAndShapeIdsKeepTheFirstAndSaySo)
{
    UserProject project;
    project.build();
    std::string text = project.projectText();
    // A page element copied under another label keeps the id of "about";
    // a node copied under another name keeps the id of the frame.
    size_t aboutStart = text.rfind("<page ", text.find("<label>about"));
    size_t aboutEnd = text.find("</page>", aboutStart) + 7;
    std::string aboutId = textBetween(text, "id=\"", "\"", aboutStart);
    std::string copy = text.substr(aboutStart, aboutEnd - aboutStart);
    copy.replace(copy.find("<label>about"), 12, "<label>impostor");
    // The copy refers to a file of its own, which only it uses.
    std::string onlyInCopy = "files/only-in-the-copy.png";
    UserProject::writePicture(project.content() / onlyInCopy);
    copy.replace(copy.find("<source>") + 8, copy.find("</source>") - copy.find("<source>") - 8, onlyInCopy);
    // A page written by hand without any id is a page all the same.
    text.insert(aboutEnd,
        copy
            + "<page><label>no id</label><node><ntype>ellipse</ntype><npoints>4</npoints>"
              "<point x=\"1\" y=\"1\" /><point x=\"9\" y=\"1\" /><point x=\"9\" y=\"9\" />"
              "<point x=\"1\" y=\"9\" /></node></page>");

    size_t frameStart = text.find("<node>");
    size_t frameEnd = text.find("</node>", frameStart) + 7;
    std::string frameId = textBetween(text, "<id>", "</id>", frameStart);
    std::string twin = text.substr(frameStart, frameEnd - frameStart);
    twin.replace(twin.find("Rectangle_1"), 11, "Twin_1");
    text.insert(frameEnd, twin);
    project.setProjectText(text);
    auto before = project.userFiles();

    PageDocument document;
    std::vector<std::string> errors = errorsOfOpening(project, document);
    ASSERT_EQ(document.pageCount(), 4u);
    EXPECT_EQ(document.findPageByLabel(u"impostor"), nullptr);
    Page* withoutId = document.findPageByLabel(u"no id");
    ASSERT_NE(withoutId, nullptr);
    EXPECT_FALSE(withoutId->id().empty());
    EXPECT_EQ(withoutId->shapeCount(), 1u);
    EXPECT_EQ(document.findPage(String(aboutId))->label(), u"about");
    Page* home = document.findPageByLabel(u"home");
    EXPECT_EQ(home->shapeCount(), 5u);
    EXPECT_EQ(home->findNode(String(frameId))->getName(), u"Rectangle_1");
    EXPECT_EQ(errors,
        (std::vector<std::string> {
            "Duplicate shape id ignored on page home: " + frameId, "Duplicate page id ignored: " + aboutId }));

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 1);
    EXPECT_NE(generated.err.find("Duplicate page id ignored: " + aboutId), std::string::npos) << generated.err;
    EXPECT_FALSE(fs::exists(project.content() / "impostor.html"));
    EXPECT_EQ(countOf(readText(project.content() / "home.html"), "Twin_1"), 0u);
    UserProject::expectKept(before, project.userFiles());

    // Saving drops the copies, but not the file that only the ignored page
    // used: the user may still want it back.
    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 1);
    EXPECT_TRUE(fs::exists(project.content() / onlyInCopy));
    EXPECT_EQ(countOf(project.projectText(), "<page "), 4u);
    EXPECT_TRUE(fs::exists(project.content() / "no_id.html"));
}

TEST(ProjectRobustness, ActionsThatDoNotParseAreKeptAndWrittenAsTheyAre)
{
    UserProject project;
    project.build();
    std::string text = project.projectText();
    // Unclosed, without prefix, empty call, stray quotes, markup: in an event,
    // a menu item, a slide and an initialization entry.
    const std::string broken[] = {
        "javascript:show_picture('Rectangle_1','../pictures/photo.png'",
        "show_page('Rectangle_1','about.html',null,100)",
        "javascript:(",
        "javascript:show_picture('Rectangle_1',\"x.png','\",',)\"&gt;&lt;b&gt;bold&lt;/b&gt;",
    };
    auto replaceText = [&](const std::string& open, const std::string& close, const std::string& with) {
        size_t start = text.find(open);
        ASSERT_NE(start, std::string::npos) << open;
        start = text.find('>', start) + 1;
        text.replace(start, text.find(close, start) - start, with);
    };
    replaceText("<onmousedown>", "</onmousedown>", broken[3]);
    replaceText("<url>", "</url>", broken[1]);
    replaceText("<slide ", "</slide>", broken[0]);
    replaceText("<entry ", "</entry>", broken[2]);
    project.setProjectText(text);

    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.err, "");
    std::string stored = project.projectText();
    // The same bytes again, not resolved, not rewritten.
    for (const std::string& action : broken)
        EXPECT_NE(stored.find(action), std::string::npos) << action;
    std::string html = readText(project.content() / "home.html");
    EXPECT_EQ(countOf(html, "\"><b>"), 0u) << "a quote in an action must not end its attribute";
    EXPECT_NE(html.find("show_picture('Rectangle_1',&quot;x.png"), std::string::npos);
    EXPECT_TRUE(fs::exists(project.content() / "home.png"));
    EXPECT_FALSE(fs::exists(project.content() / "x.png"));
}

namespace {

// Whether a file with no permissions can still be read: it can when the
// tests run as root, which reads whatever the mode says.
bool permissionsStopReading(const fs::path& scratch)
{
    writeText(scratch, "x");
    fs::permissions(scratch, fs::perms::none);
    bool readable = std::ifstream(scratch).is_open();
    fs::permissions(scratch, fs::perms::owner_all);
    fs::remove(scratch);
    return !readable;
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}

TEST(ProjectRobustness, MissingAndUnreadablePicturesAreNamedAndTheSiteIsStillWritten)
{
    UserProject project;
    project.build();
    std::string text = project.projectText();

    // Pictures the pages name that cannot be read: gone, a folder where the
    // file was, a link to nothing, and (where permissions count) a file
    // nobody may read; and a copy in content/files that the user deleted.
    const std::string gone = (project.pictures() / "gone.png").string();
    const std::string folder = (project.pictures() / "folder.png").string();
    const std::string dangling = (project.pictures() / "dangling.png").string();
    const std::string locked = (project.pictures() / "locked.png").string();
    fs::create_directories(fs::path(folder) / "inside");
    writeText(fs::path(folder) / "inside/keep.txt", "kept");
    fs::create_symlink(project.pictures() / "nowhere.png", dangling);
    bool lockable = permissionsStopReading(project.pictures() / "probe.png");
    UserProject::writePicture(locked);
    if (lockable)
        fs::permissions(locked, fs::perms::none);
    const std::string unreadable = lockable ? locked : folder;

    auto replaceValue = [&](const std::string& open, const std::string& close, const std::string& with) {
        size_t start = text.find(open, text.find("<label>about"));
        ASSERT_NE(start, std::string::npos) << open;
        start += open.size();
        text.replace(start, text.find(close, start) - start, with);
    };
    replaceValue("<source>", "</source>", gone);
    replaceValue("<background-image>", "</background-image>", dangling);
    size_t slide = text.find("<slide ");
    size_t slideFile = text.find("files/", slide);
    text.replace(slideFile, text.find('\'', slideFile) - slideFile, unreadable);
    std::string deleted = textBetween(text, "<source>", "</source>");
    ASSERT_EQ(deleted.rfind("files/", 0), 0u);
    fs::remove(project.content() / deleted);
    project.setProjectText(text);
    auto before = project.userFiles();
    auto copiedBefore = filesIn(project.content() / "files");

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 1);
    for (const std::string& name : { gone, dangling, unreadable })
        EXPECT_NE(generated.err.find("Cannot copy file: " + name + "\n"), std::string::npos) << name << "\n"
                                                                                             << generated.err;
    EXPECT_NE(generated.err.find("Cannot find file: " + deleted + "\n"), std::string::npos) << generated.err;
    for (const char* page : { "home", "about", "contact" }) {
        EXPECT_TRUE(fs::exists(project.content() / (std::string(page) + ".html"))) << page;
        EXPECT_TRUE(fs::exists(project.content() / (std::string(page) + ".png"))) << page;
    }
    // Nothing half-copied under the names the site would use.
    EXPECT_EQ(filesIn(project.content() / "files"), copiedBefore);
    UserProject::expectKept(before, project.userFiles());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(dangling));

    // Saved, the project remembers where the files belong, and says again
    // what is missing on the next run.
    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 1);
    for (const std::string& name : { gone, dangling, unreadable })
        EXPECT_EQ(countOf(saved.err, "Cannot copy file: " + name + "\n"), 1u) << saved.err;
    JobResult again = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(countOf(again.err, "Cannot find file: files/"), 4u) << again.err;
    EXPECT_EQ(countOf(again.err, "Cannot find file: " + deleted + "\n"), 1u) << again.err;
    if (lockable)
        fs::permissions(locked, fs::perms::owner_all);
}

TEST(ProjectRobustness, AContentFolderThatCannotBeWrittenFailsAndIsLeftAlone)
{
    UserProject project;
    project.build();
    // A file of the user's where the content folder should be.
    fs::remove_all(project.content());
    writeText(project.content(), "not a folder\n");
    auto before = project.userFiles();

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 1);
    EXPECT_NE(generated.err.find("Error in processing : \n"), std::string::npos) << generated.err;
    EXPECT_NE(generated.err.find("Cannot write " + (project.content() / "home.html").string()), std::string::npos)
        << generated.err;
    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 1);
    EXPECT_TRUE(fs::is_regular_file(project.content()));
    EXPECT_EQ(readText(project.content()), "not a folder\n");
    before.erase(fs::relative(project.projectFile(), project.root()).string());
    UserProject::expectKept(before, project.userFiles(false));
    EXPECT_EQ(countOf(project.projectText(), "<page "), 3u) << "the project file itself was written";
}

TEST(ProjectRobustness, AFolderInThePlaceOfAPageFileStopsOnlyThatPage)
{
    UserProject project;
    project.build();
    // The other pages are written, the folder and what it holds stay, and
    // no temporary file is left behind.
    fs::remove(project.content() / "about.html");
    writeText(project.content() / "about.html/mine.txt", "mine");
    JobResult blocked = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("Cannot write " + (project.content() / "about.html").string()), std::string::npos)
        << blocked.err;
    EXPECT_EQ(readText(project.content() / "about.html/mine.txt"), "mine");
    EXPECT_TRUE(fs::exists(project.content() / "home.html"));
    EXPECT_TRUE(fs::exists(project.content() / "contact.html"));
    for (const std::string& name : filesIn(project.content())) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
    }
}

TEST(ProjectRobustness, RegeneratedPagesKeepTheirFilesModeAndLinksAndTakeLongLabels)
{
    UserProject project;
    project.build();
    ASSERT_EQ(runJob({ "--generate", project.projectFile() }).status, 0);

    // The user keeps one page private and the other in a folder of their own.
    fs::permissions(project.content() / "about.html", fs::perms(0600));
    fs::path kept = project.root() / "elsewhere/contact.html";
    fs::create_directories(kept.parent_path());
    writeText(kept, "old");
    fs::remove(project.content() / "contact.html");
    fs::create_symlink(kept, project.content() / "contact.html");
    // A label as long as a file name may be, less the extension.
    std::string longLabel(250, 'x');
    std::string text = project.projectText();
    size_t at = text.find("<label>home</label>");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 19, "<label>" + longLabel + "</label>");
    project.setProjectText(text);

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 0) << generated.err;
    EXPECT_EQ(fs::status(project.content() / "about.html").permissions() & fs::perms::all, fs::perms(0600));
    EXPECT_TRUE(fs::is_symlink(project.content() / "contact.html"));
    EXPECT_NE(readText(kept).find("<html"), std::string::npos) << "the page went to the file the link names";
    EXPECT_TRUE(fs::is_regular_file(project.content() / (longLabel + ".html")));
    EXPECT_TRUE(fs::is_regular_file(project.content() / (longLabel + ".png")));
}

TEST(ProjectRobustness, PicturesThePagesNameInTheContentFolderOutliveTheSweep)
{
    UserProject project;
    project.build();
    // The user's pictures beside the pages, named by their plain names, and
    // the leftovers of a page that no longer exists.
    UserProject::writePicture(project.content() / "logo.png", Qt::red);
    UserProject::writePicture(project.content() / "banner.jpg", Qt::blue);
    writeText(project.content() / "old-page.png", "stale");
    writeText(project.content() / "old-page.html", "stale");
    const std::string logo = readText(project.content() / "logo.png");
    const std::string banner = readText(project.content() / "banner.jpg");
    std::string text = project.projectText();
    size_t source = text.find("<source>", text.find("<label>about")) + 8;
    text.replace(source, text.find("</source>", source) - source, "logo.png");
    size_t slide = text.find("<slide ");
    size_t slideFile = text.find("files/", slide);
    text.replace(slideFile, text.find('\'', slideFile) - slideFile, "banner.jpg");
    project.setProjectText(text);

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 0) << generated.err;
    EXPECT_EQ(readText(project.content() / "logo.png"), logo);
    EXPECT_EQ(readText(project.content() / "banner.jpg"), banner);
    EXPECT_FALSE(fs::exists(project.content() / "old-page.png"));

    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(readText(project.content() / "logo.png"), logo);
    EXPECT_EQ(readText(project.content() / "banner.jpg"), banner);
    EXPECT_FALSE(fs::exists(project.content() / "old-page.html"));
    EXPECT_NE(project.projectText().find("<source>logo.png</source>"), std::string::npos);
}

TEST(ProjectRobustness, TheProgramFailsWithTheMessageOnStandardError)
{
    if (!fs::exists(programPath()))
        GTEST_SKIP() << "the program is not built beside the tests: " << programPath();
    UserProject project;
    project.build();
    const std::string whole = project.projectText();
    project.setProjectText(whole.substr(0, whole.find("<label>contact")));
    auto before = project.userFiles();

    JobResult cut = runProgram({ "--generate", project.projectFile() }, project.root());
    EXPECT_EQ(cut.status, 1);
    EXPECT_NE(cut.err.find("Incomplete project file: " + project.projectFile() + "\n"), std::string::npos) << cut.err;
    EXPECT_NE(cut.out.find("home.html"), std::string::npos) << cut.out;
    before.erase("out.txt");
    before.erase("err.txt");
    auto after = project.userFiles();
    UserProject::expectKept(before, after);

    project.setProjectText(whole);
    JobResult intact = runProgram({ "--generate", project.projectFile() }, project.root());
    EXPECT_EQ(intact.status, 0) << intact.err;
    EXPECT_EQ(intact.err.find("Incomplete"), std::string::npos) << intact.err;
}

TEST(ProjectRobustness, LabelsNamePageFilesInsideTheContentFolderAndOnlyWrittenPagesAreTold)
{
    UserProject project;
    project.build();
    // Labels given by hand that are no file names: one climbs out of the
    // content folder, one names a folder that is not there.
    std::string text = project.projectText();
    for (auto [from, to] : { std::pair<std::string, std::string>("<label>about</label>", "<label>../escape</label>"),
             std::pair<std::string, std::string>("<label>contact</label>", "<label>News/2024</label>") }) {
        size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    }
    project.setProjectText(text);

    auto toldWritten = [](const std::string& out) {
        std::vector<fs::path> paths;
        std::istringstream lines(out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("wrote ", 0) == 0)
                paths.emplace_back(line.substr(6));
        }
        return paths;
    };
    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 0) << generated.err;
    for (const char* name : { "home", "___escape", "News_2024" }) {
        EXPECT_TRUE(fs::is_regular_file(project.content() / (std::string(name) + ".html"))) << name;
        EXPECT_TRUE(fs::is_regular_file(project.content() / (std::string(name) + ".png"))) << name;
    }
    EXPECT_FALSE(fs::exists(project.site() / "escape.html"));
    EXPECT_FALSE(fs::exists(project.site() / "escape.png"));
    std::vector<fs::path> told = toldWritten(generated.out);
    EXPECT_EQ(told.size(), 3u) << generated.out;
    for (const fs::path& path : told) {
        EXPECT_EQ(path.parent_path(), project.content()) << path;
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
    }

    // A page whose file cannot be written is told as a failure, never as written.
    fs::remove(project.content() / "News_2024.html");
    fs::create_directories(project.content() / "News_2024.html" / "mine");
    JobResult blocked = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(blocked.status, 1);
    EXPECT_NE(blocked.err.find("Cannot write " + (project.content() / "News_2024.html").string()), std::string::npos)
        << blocked.err;
    told = toldWritten(blocked.out);
    EXPECT_EQ(told.size(), 2u) << blocked.out;
    for (const fs::path& path : told)
        EXPECT_TRUE(fs::is_regular_file(path)) << path;
}

TEST(ProjectRobustness, APictureThatCannotBeCopiedIsToldOncePerRun)
{
    UserProject project;
    project.build();
    const std::string gone = (project.pictures() / "gone.png").string();
    std::string text = project.projectText();
    size_t source = text.find("<source>", text.find("<label>about")) + 8;
    text.replace(source, text.find("</source>", source) - source, gone);
    project.setProjectText(text);

    JobResult generated = runJob({ "--generate", project.projectFile() });
    EXPECT_EQ(generated.status, 1);
    EXPECT_EQ(generated.err, "Cannot copy file: " + gone + "\n");
    // Saving prepares the pages for the project file and writes the site
    // from that same preparation.
    project.setProjectText(text);
    JobResult saved = runJob({ "--save", project.projectFile() });
    EXPECT_EQ(saved.status, 1);
    EXPECT_EQ(saved.err, "Cannot copy file: " + gone + "\n");
}
