#include "dialogs/ActionDialogs.h"
#include "dialogs/PageDialogListener.h"
#include "dialogs/PageDialogs.h"
#include "forms/XmlForm.h"
#include "forms/XmlFormImage.h"
#include "forms/XmlPanel.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "page/Slideshow.h"
#include "tests/support/TestProject.h"
#include "tests/support/WhenShown.h"
#include "xml/Document.h"
#include "xml/Elements.h"
#include <QImage>

#include "forms/FormChooser.h"
#include "forms/ValueDialog.h"
#include "page/EntryList.h"
#include "page/Initialize.h"
#include <QComboBox>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace lumavine {
namespace {

using test::WhenShown;

class ActionDialogsTest : public testing::Test {
protected:
    ActionDialogsTest()
    {
        addFrame(u"F1");
        addFrame(u"T");
        project.addPage(String(u"Latest News"));
        listener.setMessenger([this](XmlDialog*, const String& message) { refusals.push_back(message.toNarrow()); });
    }

    void addFrame(std::u16string_view name)
    {
        PicNode* shape = page.addRectangle(QRect(10, 10, 100, 100));
        Page::asPageNode(shape)->setFrame(true);
        shape->setName(String(name));
    }

    // Opens the dialog, lets `fill` act on it as the user, and presses OK;
    // answers what the dialog answered.
    int run(ActionDialog& dialog, const std::function<void(XmlForm&)>& fill)
    {
        WhenShown<ActionDialog> user([&](ActionDialog& shown) {
            fill(*shown.formAt(0));
            QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        });
        const int answer = dialog.doModal();
        EXPECT_TRUE(user.done());
        return answer;
    }

    // What the dialog shows in a control when it opens, without changing
    // anything.
    std::string shown(ActionDialog& dialog, std::u16string_view name)
    {
        std::string value;
        WhenShown<ActionDialog> user([&](ActionDialog& open) {
            value = open.formAt(0)->valueOf(name).toNarrow();
            open.onCancel();
        });
        dialog.doModal();
        return value;
    }

    test::TestProject project;
    Page& page = project.addPage(String(u"Welcome"));
    PageDialogListener listener { page };
    std::vector<std::string> refusals;
};

TEST_F(ActionDialogsTest, EachDialogWritesItsActionFromTheFieldsShown)
{
    String action;
    MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, action);
    String startsIn;
    ASSERT_EQ(run(audio,
                  [&](XmlForm& form) {
                      // A sound not yet chosen is looked for among the project's media.
                      startsIn = form.elementOf(u"audiourl")->getAttribute(u"startdirectory");
                      form.setValue(u"audiotarget", String(u"F1"));
                      form.setValue(u"audiourl", String(u"C:\\media\\a.wav"));
                      form.setValue(u"uimode", String(u"mini"));
                      form.setValue(u"ratio", String(u"50"));
                      form.setValue(u"playcount", String(u"2"));
                  }),
        Dialog::Ok);
    EXPECT_EQ(action.toNarrow(), "javascript:play_audio('F1','file://C:/media/a.wav','mini',50,2)");
    EXPECT_EQ(startsIn, project.filesDirectory());

    // Paths of this system are absolute with a leading slash.
    action.clear();
    MediaDialog video(MediaDialog::Video, page, nullptr, &listener, action);
    run(video, [](XmlForm& form) {
        form.setValue(u"videotarget", String(u"T"));
        form.setValue(u"videourl", String(u"/home/ann/clip.avi"));
    });
    EXPECT_EQ(action.toNarrow(), "javascript:play_video('T','file:///home/ann/clip.avi','full',100,1)");

    action.clear();
    ContentDialog content(page, nullptr, &listener, action, true);
    run(content, [](XmlForm& form) {
        form.setValue(u"pagetarget", String(u"_self"));
        form.setValue(u"pageurl", String(u"news.html"));
    });
    EXPECT_EQ(action.toNarrow(), "javascript:show_page('_self','news.html',null,100)");

    action.clear();
    ImageDialog image(page, nullptr, &listener, action, true);
    run(image, [](XmlForm& form) {
        form.setValue(u"picturetarget", String(u"T"));
        form.setValue(u"imageurl", String(u"P"));
        form.setValue(u"ratio", String(u"80"));
    });
    EXPECT_EQ(action.toNarrow(), "javascript:show_picture('T','P',null,null,null,null,80,true)");

    action.clear();
    MailDialog mail(page, nullptr, &listener, action);
    run(mail, [](XmlForm& form) { form.setValue(u"address", String(u"ann@example.org")); });
    EXPECT_EQ(action.toNarrow(), "javascript:mail('ann@example.org')");

    action.clear();
    TargetDialog clear(
        page, nullptr, &listener, action, String(u"clear_frame"), String(u"Clear"), String(u"Clear Frame"));
    run(clear, [](XmlForm& form) { form.setValue(u"cleartarget", String(u"F1")); });
    EXPECT_EQ(action.toNarrow(), "javascript:clear_frame('F1')");
    EXPECT_TRUE(refusals.empty());
}

TEST_F(ActionDialogsTest, DialogsShowTheCurrentActionAndStartAfreshOnAnother)
{
    String action(u"javascript:play_audio('F1','files/a.wav','none',0,3)");
    {
        MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, action);
        EXPECT_EQ(shown(audio, u"ratio"), "100");
    }
    {
        MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, action);
        EXPECT_EQ(shown(audio, u"uimode"), "none");
    }
    {
        MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, action);
        EXPECT_EQ(shown(audio, u"playcount"), "3");
    }
    // Another function's action: empty fields and the defaults.
    String mail(u"javascript:mail('ann@example.org','Hello')");
    {
        MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, mail);
        EXPECT_EQ(shown(audio, u"audiourl"), "");
    }
    {
        MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, mail);
        EXPECT_EQ(shown(audio, u"ratio"), "100");
    }

    // A caption comes back as the user wrote it and goes out escaped; the
    // item name of a show-picture entry is shown and written back.
    String picture(u"javascript:show_picture('T','files/p.png','Fish &amp; chips',null,null,null,90,false)");
    String name(u"Lunch");
    ImageDialog image(page, nullptr, &listener, picture, true, &name);
    std::string caption;
    std::string shownName;
    run(image, [&](XmlForm& form) {
        caption = form.valueOf(u"imagecaption").toNarrow();
        shownName = form.valueOf(u"name").toNarrow();
        form.setValue(u"name", String(u"Dinner"));
        form.setValue(u"imagelink", String(u"  menu.html\t"));
        form.setValue(u"linktarget", String(u"_blank"));
    });
    EXPECT_EQ(caption, "Fish & chips");
    EXPECT_EQ(shownName, "Lunch");
    EXPECT_EQ(name.toNarrow(), "Dinner");
    EXPECT_EQ(picture.toNarrow(),
        "javascript:show_picture('T','files/p.png','Fish &amp; chips','menu.html','_blank',null,90,false)");

    // Choosing one of the project's pages fills in its file.
    String page1;
    ContentDialog content(page, nullptr, &listener, page1, true);
    run(content, [](XmlForm& form) {
        auto* pages = qobject_cast<QComboBox*>(form.findControl(u"pages"));
        EXPECT_NE(pages, nullptr);
        if (!pages)
            return;
        const int news = pages->findText(QStringLiteral("Latest_News.html"));
        EXPECT_GT(news, 0);
        // As the user's choice in the list arrives.
        pages->setCurrentIndex(news);
        emit pages->activated(news);
        EXPECT_EQ(pages->currentIndex(), 0);
        form.setValue(u"pagetarget", String(u"F1"));
    });
    EXPECT_EQ(page1.toNarrow(), "javascript:show_page('F1','Latest_News.html',null,100)");
}

TEST_F(ActionDialogsTest, SlideActionsNameTheSlideshowTheFrameAndTheTiming)
{
    Slideshow* show = page.newSlideshow(String(u"Around the lake"));
    ASSERT_NE(show, nullptr);
    String action;
    SlideDialog slides(page, nullptr, &listener, action);
    run(slides, [&](XmlForm& form) {
        form.setValue(u"slideshowtarget", String(u"F1"));
        form.setValue(u"slideshow", show->id());
        form.setValue(u"delay", String(u"3"));
    });
    EXPECT_EQ(action.toNarrow(), "javascript:show_slides('F1','" + show->id().toNarrow() + "',3,false,false)");

    // Opened on it again, the dialog shows it; then the previous slide.
    SlideDialog again(page, nullptr, &listener, action);
    std::string delay;
    run(again, [&](XmlForm& form) {
        delay = form.valueOf(u"delay").toNarrow();
        form.setValue(u"function", String(u"prev_slide"));
        form.setValue(u"slideshowtarget", String(u"T"));
    });
    EXPECT_EQ(delay, "3");
    EXPECT_EQ(action.toNarrow(), "javascript:prev_slide('T')");

    // A delay that does not read is five seconds, and the boxes are read.
    String unread(u"javascript:show_slides('F1','x',soon,true,true)");
    SlideDialog third(page, nullptr, &listener, unread);
    std::string shownDelay;
    run(third, [&](XmlForm& form) {
        shownDelay = form.valueOf(u"delay").toNarrow();
        form.setValue(u"slideshow", show->id());
    });
    EXPECT_EQ(shownDelay, "5");
    EXPECT_EQ(unread.toNarrow(), "javascript:show_slides('F1','" + show->id().toNarrow() + "',5,true,true)");
}

TEST_F(ActionDialogsTest, StartUpEntriesAreAddedMovedAndDeletedOnACopyUntilOk)
{
    page.initialize().list().add(String(u"Hours"), String(u"javascript:show_page('F1','custom/hours.html',null,100)"));
    // Adds an entry named `name` whose action is a script typed in.
    auto addEntry = [](XmlForm& list, const String& name, const String& script) {
        test::WhenShown<InitializeEntryDialog> entry([name, script](InitializeEntryDialog& dialog) {
            XmlForm& form = *dialog.formAt(0);
            test::WhenShown<ValueDialog> custom([script](ValueDialog& value) {
                value.formAt(0)->setValue(u"value", script);
                QTest::mouseClick(value.findControl(u"ok"), Qt::LeftButton);
            });
            QTest::mouseClick(form.findControl(u"function:custom"), Qt::LeftButton);
            form.setValue(u"name", name);
            QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
        });
        QTest::mouseClick(list.findControl(u"add"), Qt::LeftButton);
    };
    auto names = [](XmlForm& form) {
        QStringList shown;
        auto* list = qobject_cast<QListWidget*>(form.findControl(u"entrylist"));
        for (int row = 0; list && row < list->count(); ++row)
            shown << list->item(row)->text();
        return shown;
    };
    std::vector<QStringList> seen;
    {
        listener.beginInitialize();
        InitializeDialog dialog(nullptr, &listener);
        WhenShown<InitializeDialog> user([&](InitializeDialog& shown) {
            XmlForm& form = *shown.formAt(0);
            seen.push_back(names(form));
            addEntry(form, String(u"Welcome"), String(u"javascript:alert(1)"));
            addEntry(form, String(u"Tour"), String(u"javascript:show_slides('F1','tour',3,true,false)"));
            seen.push_back(names(form));
            QTest::mouseClick(form.findControl(u"moveup"), Qt::LeftButton);
            seen.push_back(names(form));
            auto* list = qobject_cast<QListWidget*>(form.findControl(u"entrylist"));
            list->setCurrentRow(0);
            QTest::mouseClick(form.findControl(u"delete"), Qt::LeftButton);
            seen.push_back(names(form));
            QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        });
        ASSERT_EQ(dialog.doModal(), Dialog::Ok);
    }
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], QStringList({ "Hours" }));
    EXPECT_EQ(seen[1], QStringList({ "Hours", "Welcome", "Tour" }));
    EXPECT_EQ(seen[2], QStringList({ "Hours", "Tour", "Welcome" }));
    EXPECT_EQ(seen[3], QStringList({ "Tour", "Welcome" }));
    // Nothing reaches the page before it is committed.
    EXPECT_EQ(page.initialize().count(), 1u);
    listener.commitInitialize();
    const std::vector<Element*> entries = page.initialize().entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(EntryList::nameOf(entries[0]).toNarrow(), "Tour");
    EXPECT_EQ(EntryList::actionOf(entries[0]).toNarrow(), "javascript:show_slides('F1','tour',3,true,false)");
    EXPECT_EQ(EntryList::nameOf(entries[1]).toNarrow(), "Welcome");

    // An entry without a name is refused with the dialog left open.
    refusals.clear();
    String action;
    InitializeEntryDialog unnamed(nullptr, &listener, String(), String(u"javascript:alert(2)"));
    WhenShown<InitializeEntryDialog> user([](InitializeEntryDialog& shown) {
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        shown.onCancel();
    });
    EXPECT_EQ(unnamed.doModal(), Dialog::Cancel);
    EXPECT_EQ(refusals, std::vector<std::string>({ "You must enter name" }));
}

// Files chosen as a user would choose them, without a file dialog.
class ChosenFiles : public FormChooser {
public:
    explicit ChosenFiles(std::vector<String> files) : m_files(std::move(files)) { setCurrent(this); }
    ~ChosenFiles() override { setCurrent(nullptr); }
    bool chooseFiles(QWidget*, const String&, std::vector<String>& paths) override
    {
        paths = m_files;
        return !paths.empty();
    }

private:
    std::vector<String> m_files;
};

TEST_F(ActionDialogsTest, SlideshowsAndTheirSlidesAreMadeFromPictureFilesThroughTheirDialogs)
{
    // Every picture dialog that shows is confirmed as it is filled in (one
    // after another they may take the same address: each is marked).
    std::vector<std::string> captions;
    QTimer pictures;
    QObject::connect(&pictures, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<ImageDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->property("answered").toBool())
            return;
        dialog->setProperty("answered", true);
        captions.push_back(dialog->formAt(0)->valueOf(u"imagecaption").toNarrow());
        QTest::mouseClick(dialog->findControl(u"ok"), Qt::LeftButton);
    });
    pictures.start(5);
    ChosenFiles chooser({ String(u"/srv/pictures/old_boat_house.png"), String(u"/srv/pictures/lake.jpg"),
        String(u"/srv/pictures/notes.txt") });

    WhenShown<ListDialog> user([&](ListDialog& shows) {
        XmlForm& list = *shows.formAt(0);
        {
            WhenShown<ValueDialog> name([](ValueDialog& dialog) {
                dialog.formAt(0)->setValue(u"value", String(u"Tour"));
                QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
            });
            QTest::mouseClick(list.findControl(u"add"), Qt::LeftButton);
        }
        WhenShown<SlideshowDialog> slides([](SlideshowDialog& dialog) {
            XmlForm& form = *dialog.formAt(0);
            form.setValue(u"name", String(u"Around the lake"));
            QTest::mouseClick(form.findControl(u"pictures"), Qt::LeftButton);
            QTest::mouseClick(form.findControl(u"moveup"), Qt::LeftButton);
            QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
        });
        QTest::mouseClick(list.findControl(u"edit"), Qt::LeftButton);
        QTest::mouseClick(shows.findControl(u"ok"), Qt::LeftButton);
    });
    ListDialog dialog(nullptr, &listener, String(u"Slideshows"), String(u"slideshowlist"));
    dialog.doModal();
    ASSERT_TRUE(user.done());

    const std::vector<Slideshow*> shows = page.slideshowList();
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0]->name().toNarrow(), "Around the lake");
    const std::vector<Element*> made = shows[0]->slides();
    ASSERT_EQ(made.size(), 2u);
    // The text file was no picture; the second picture moved up.
    EXPECT_EQ(EntryList::nameOf(made[0]).toNarrow(), "Lake");
    EXPECT_EQ(EntryList::nameOf(made[1]).toNarrow(), "Old Boat House");
    EXPECT_EQ(EntryList::actionOf(made[1]).toNarrow(),
        "javascript:show_picture('','file:///srv/pictures/old_boat_house.png','Old Boat House',null,null,null,100,"
        "true)");
    // The caption carried on to the next picture as its own title.
    EXPECT_EQ(captions, std::vector<std::string>({ "Old Boat House", "Lake" }));
}

TEST_F(ActionDialogsTest, AFileDroppedOnAnActionPanelBecomesItsActionThroughItsDialog)
{
    InitializeEntryDialog entry(nullptr, &listener, String(u"Start"), String());
    std::string action;
    std::string caption;
    WhenShown<InitializeEntryDialog> user([&](InitializeEntryDialog& shown) {
        XmlForm& form = *shown.formAt(0);
        StringList notes;
        notes.append(String(u"/srv/notes.txt"));
        // A file of no kind an action plays is left alone.
        form.dropFiles(form.control(u"function-panel"), notes);
        EXPECT_TRUE(form.valueOf(u"function").empty());
        WhenShown<ContentDialog> page([](ContentDialog& dialog) {
            dialog.formAt(0)->setValue(u"pagetarget", String(u"F1"));
            QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
        });
        StringList pages;
        pages.append(String(u"/srv/site/opening_hours.html"));
        form.dropFiles(form.control(u"function:ContentBox"), pages);
        action = form.valueOf(u"function").toNarrow();
        caption = qobject_cast<XmlPanel*>(form.findControl(u"function-panel"))->caption().toNarrow();
        shown.onCancel();
    });
    entry.doModal();
    EXPECT_EQ(action, "javascript:show_page('F1','file:///srv/site/opening_hours.html',null,100)");
    EXPECT_EQ(caption, "Function (show_page)");
}

TEST_F(ActionDialogsTest, VideoAndSoundInTheFormatsCurrentBrowsersPlayBecomeTheirPlayActions)
{
    InitializeEntryDialog entry(nullptr, &listener, String(u"Start"), String());
    std::vector<std::string> actions;
    WhenShown<InitializeEntryDialog> user([&](InitializeEntryDialog& shown) {
        XmlForm& form = *shown.formAt(0);
        struct Drop {
            const char16_t* file;
            const char16_t* group;
        };
        for (const Drop& drop :
            { Drop { u"/srv/clip.webm", u"function:VideoBox" }, Drop { u"/srv/clip.mp4", u"function:VideoBox" },
                Drop { u"/srv/song.ogg", u"function:AudioBox" }, Drop { u"/srv/song.opus", u"function:AudioBox" } }) {
            WhenShown<MediaDialog> media([](MediaDialog& dialog) {
                XmlForm& fields = *dialog.formAt(0);
                if (fields.control(u"videotarget"))
                    fields.setValue(u"videotarget", String(u"F1"));
                QTest::mouseClick(dialog.findControl(u"ok"), Qt::LeftButton);
            });
            StringList files;
            files.append(String(drop.file));
            form.dropFiles(form.control(String(drop.group)), files);
            actions.push_back(form.valueOf(u"function").toNarrow());
        }
        shown.onCancel();
    });
    entry.doModal();
    EXPECT_EQ(actions,
        (std::vector<std::string> { "javascript:play_video('F1','file:///srv/clip.webm','full',100,1)",
            "javascript:play_video('F1','file:///srv/clip.mp4','full',100,1)",
            "javascript:play_audio('','file:///srv/song.ogg','full',100,1)",
            "javascript:play_audio('','file:///srv/song.opus','full',100,1)" }));
}

TEST_F(ActionDialogsTest, AChosenSlideIsPreviewedBesideTheList)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(QString::fromStdString(project.path("content/files/shore.png"))));
    Slideshow* show = page.newSlideshow(String(u"Shore"));
    show->slideList().add(
        String(u"Shore"), String(u"javascript:show_picture('','files/shore.png',null,null,null,null,100,true)"));
    bool before = true;
    bool after = false;
    // The slideshow's own dialog, on a copy of its slides as its list's Edit makes it.
    listener.slideCopy().copyFrom(show->slideList());
    SlideshowDialog dialog(nullptr, &listener, show->name(), show->audio());
    WhenShown<SlideshowDialog> user([&](SlideshowDialog& shown) {
        XmlForm& form = *shown.formAt(0);
        auto* preview = qobject_cast<XmlFormImage*>(form.findControl(u"slideimage"));
        auto* list = qobject_cast<QListWidget*>(form.findControl(u"slidelist"));
        if (preview && list) {
            before = preview->hasPicture();
            list->setCurrentRow(0);
            after = preview->hasPicture();
        }
        shown.onCancel();
    });
    dialog.doModal();
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
}

TEST(PageDialogRules, EachDialogsEmptyAnswersEarnTheirMessageInOrder)
{
    struct Case {
        const char* dialog;
        std::vector<std::pair<const char*, const char*>> answers;
        const char* message;
    };
    const std::vector<Case> cases {
        { "Image", { { "name", "" }, { "imageurl", "" } }, "You must enter name" },
        { "MenuItem", { { "name", " " }, { "url", "javascript:x()" } }, "You must enter name" },
        { "InitializeEntry", { { "name", "" } }, "You must enter name" },
        { "image", { { "name", "a" }, { "imageurl", "" }, { "picturetarget", "" } }, "You must enter an image url" },
        { "IMAGE", { { "imageurl", "p.png" }, { "picturetarget", "" } }, "You must enter a picture target" },
        { "Video", { { "videourl", "" }, { "videotarget", "" } }, "You must enter a video url" },
        { "Video", { { "videourl", "v.avi" }, { "videotarget", "" } }, "You must enter a video target" },
        { "Content", { { "pageurl", "" } }, "You must enter a page url" },
        { "Content", { { "pageurl", "p.html" }, { "pagetarget", "" } }, "You must enter a page target" },
        { "Audio", { { "audiourl", "" } }, "You must enter a audio url" },
        { "Slide", { { "function", "show_slides" }, { "slideshow", "" } }, "You must enter a slideshow" },
        { "Slide", { { "function", "next_slide" }, { "slideshow", "" }, { "slideshowtarget", "" } },
            "You must enter a slideshow target" },
        // Fields the dialog did not show are not asked for.
        { "Audio", { { "audiotarget", "" } }, "" },
        { "Mail", { { "address", "" } }, "" },
    };
    for (const Case& each : cases) {
        Document result(String(u"dialog"));
        for (const auto& [name, value] : each.answers)
            addElement(result.documentElement(), String::fromNarrow(name), String::fromNarrow(value));
        EXPECT_EQ(PageDialogListener::refusal(String::fromNarrow(each.dialog), result.documentElement()).toNarrow(),
            each.message)
            << each.dialog;
    }
}

TEST_F(ActionDialogsTest, RefusedAnswersKeepTheDialogOpenWithTheInput)
{
    String action;
    MediaDialog audio(MediaDialog::Audio, page, nullptr, &listener, action);
    std::string kept;
    WhenShown<ActionDialog> user([&](ActionDialog& shown) {
        XmlForm& form = *shown.formAt(0);
        form.setValue(u"audiotarget", String(u"F1"));
        form.setValue(u"ratio", String(u"40"));
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        // Still open, with what the user gave.
        EXPECT_TRUE(shown.isVisible());
        kept = form.valueOf(u"ratio").toNarrow();
        form.setValue(u"audiourl", String(u"files/a.wav"));
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
    });
    EXPECT_EQ(audio.doModal(), Dialog::Ok);
    EXPECT_EQ(refusals, std::vector<std::string>({ "You must enter a audio url" }));
    EXPECT_EQ(kept, "40");
    EXPECT_EQ(action.toNarrow(), "javascript:play_audio('F1','files/a.wav','full',40,1)");

    // The name comes first, then the picture, then its target (nothing is
    // chosen for an action that names none).
    refusals.clear();
    Page& bare = project.addPage(String(u"Bare"));
    PageDialogListener bareListener(bare);
    bareListener.setMessenger([this](XmlDialog*, const String& message) { refusals.push_back(message.toNarrow()); });
    String picture;
    String name;
    ImageDialog image(bare, nullptr, &bareListener, picture, true, &name);
    WhenShown<ActionDialog> second([&](ActionDialog& shown) {
        XmlForm& form = *shown.formAt(0);
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        form.setValue(u"name", String(u"Boats"));
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        form.setValue(u"imageurl", String(u"files/boats.png"));
        QTest::mouseClick(shown.findControl(u"ok"), Qt::LeftButton);
        shown.onCancel();
    });
    EXPECT_EQ(image.doModal(), Dialog::Cancel);
    EXPECT_EQ(refusals,
        std::vector<std::string>(
            { "You must enter name", "You must enter an image url", "You must enter a picture target" }));
    // Cancelled: the caller's texts stay.
    EXPECT_TRUE(picture.empty());
    EXPECT_TRUE(name.empty());
}

}
}
