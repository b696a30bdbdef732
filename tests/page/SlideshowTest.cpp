#include "tests/support/TestProject.h"

#include "page/Page.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;
using lumavine::test::TestProject;

namespace {

Element* addEntry(
    Element* parent, const char16_t* tag, const char16_t* sort, const char16_t* name, const char16_t* action)
{
    Element* entry = addElement(parent, String(tag), String(action));
    entry->setAttribute(u"id", String(name) + u"_id");
    entry->setAttribute(u"name", String(name));
    if (sort)
        entry->setAttribute(u"sort", String(sort));
    return entry;
}

std::vector<String> names(const std::vector<Element*>& entries)
{
    std::vector<String> out;
    for (Element* entry : entries)
        out.push_back(EntryList::nameOf(entry));
    return out;
}

}

TEST(SlideshowTest, EntriesKeepDocumentOrderUntilSortedAndMoveByTheirKeys)
{
    Document document(String(u"initialize"));
    Element* source = document.documentElement();
    addEntry(source, u"entry", nullptr, u"a", u"javascript:clear_audio()");
    addEntry(source, u"entry", nullptr, u"b", u"javascript:clear_audio()");
    addEntry(source, u"entry", nullptr, u"c", u"javascript:clear_audio()");
    addElement(source, String(u"other"), String(u"ignored"));

    Initialize initialize;
    initialize.read(source);
    std::vector<Element*> entries = initialize.entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(names(entries), (std::vector<String> { String(u"a"), String(u"b"), String(u"c") }));
    EXPECT_EQ(entries[2]->getAttribute(u"sort"), u"2");
    EXPECT_EQ(EntryList::idOf(entries[1]), u"b_id");

    EntryList& list = initialize.list();
    EXPECT_FALSE(list.move(entries[0], -1));
    EXPECT_EQ(names(list.entries()), (std::vector<String> { String(u"a"), String(u"b"), String(u"c") }));
    EXPECT_TRUE(list.move(entries[0], +1));
    EXPECT_EQ(names(list.entries()), (std::vector<String> { String(u"b"), String(u"a"), String(u"c") }));
    EXPECT_FALSE(list.move(list.entry(2), +1));

    // Bulk additions land last until renumbered.
    Element* bulk = list.add(String(u"d"), String(u"javascript:clear_audio()"), EntryList::appendSortKey);
    EXPECT_EQ(bulk->getAttribute(u"sort"), u"100000");
    Element* next = list.add(String(u"e"), String(u"javascript:clear_audio()"));
    EXPECT_EQ(next->getAttribute(u"sort"), u"100001");
    list.renumber();
    EXPECT_EQ(bulk->getAttribute(u"sort"), u"3");
    EXPECT_EQ(next->getAttribute(u"sort"), u"4");
    EXPECT_TRUE(list.remove(bulk));
    EXPECT_FALSE(list.remove(nullptr));
    EXPECT_EQ(initialize.count(), 4u);
}

TEST(SlideshowTest, ReadsNameAudioAndSlidesInSortOrder)
{
    Document document(String(u"slideshow"));
    Element* source = document.documentElement();
    source->setAttribute(u"id", String(u"s1"));
    addEntry(source, u"slide", u"1", u"second", u"javascript:show_page('f','b.html',null,50)");
    addEntry(source, u"slide", u"0", u"first", u"javascript:show_page('f','a.html',null,50)");
    Slideshow show(String(u"s1"));
    show.read(source);
    EXPECT_EQ(show.name(), u"Slideshow");
    EXPECT_TRUE(show.audio().empty());
    EXPECT_EQ(names(show.slides()), (std::vector<String> { String(u"first"), String(u"second") }));

    Document output(String(u"slideshows"));
    show.setAudio(String(u"files/s.mp3"));
    show.write(output.documentElement());
    Element* written = findChildElement(output.documentElement(), u"slideshow");
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written->getAttribute(u"name"), u"Slideshow");
    EXPECT_EQ(getChildText(written, u"audio"), u"files/s.mp3");
    Slideshow again(String(u"s1"));
    again.read(written);
    EXPECT_EQ(again.audio(), u"files/s.mp3");
    EXPECT_EQ(names(again.slides()), names(show.slides()));
}

TEST(SlideshowTest, DataLinesIndexSlidesByPositionAndCarryRatios)
{
    Slideshow show(String(u"abc"));
    EntryList& slides = show.slideList();
    slides.add(
        String(u"p"), String(u"javascript:show_picture('f','files/1.png','Sun',null,null,'files/s.wav',80,true)"));
    slides.add(String(u"custom"), String(u"javascript:alert('x')"));
    slides.add(String(u"page"), String(u"javascript:show_page('f','files/a.html',null,0)"));
    slides.add(String(u"picture without ratio"),
        String(u"javascript:show_picture('f','files/2.png',null,null,null,null,,false)"));
    slides.add(String(u"not an action"), String(u"hello"));
    StringList lines;
    show.dataLines(lines);
    ASSERT_EQ(lines.count(), 5u);
    EXPECT_EQ(lines.get(0), u"_slides['abc'] = new Array();");
    EXPECT_EQ(lines.get(1), u"_slideshowAudios['abc'] = null;");
    EXPECT_EQ(
        lines.get(2), u"_slides['abc'][0] = new Slide('picture','files/1.png','Sun',null,null,'files/s.wav',80,true);");
    // A page slide's ratio 0 becomes 100, which later slides without a
    // ratio carry on.
    EXPECT_EQ(
        lines.get(3).toNarrow(), "_slides['abc'][2] = new Slide('page','files/a.html',null,null,null,null,100,null);");
    EXPECT_EQ(lines.get(4).toNarrow(),
        "_slides['abc'][3] = new Slide('picture','files/2.png',null,null,null,null,100,false);");

    Slideshow first(String(u"x"));
    first.setAudio(String(u"files/s.mp3"));
    first.slideList().add(String(u"page"), String(u"javascript:show_page('f','files/a.html',null)"));
    StringList pageLines;
    first.dataLines(pageLines);
    ASSERT_EQ(pageLines.count(), 3u);
    EXPECT_EQ(pageLines.get(1), u"_slideshowAudios['x'] = \"files/s.mp3\";");
    EXPECT_EQ(pageLines.get(2), u"_slides['x'][0] = new Slide('page','files/a.html',null,null,null,null,100,null);");
}

TEST(SlideshowTest, DataLinesKeepQuotesInIdAndAudioInsideTheirStrings)
{
    // A project file edited by hand can give a slideshow any id, and a sound
    // file any name.
    Slideshow show(String(u"o'show"));
    show.setAudio(String(u"files/say \"hi\" \\ </script>.mp3"));
    show.slideList().add(
        String(u"p"), String(u"javascript:show_picture('f','files/1.png',null,null,null,null,80,true)"));
    StringList lines;
    show.dataLines(lines);
    ASSERT_EQ(lines.count(), 3u);
    EXPECT_EQ(lines.get(0).toNarrow(), "_slides['o\\'show'] = new Array();");
    EXPECT_EQ(
        lines.get(1).toNarrow(), "_slideshowAudios['o\\'show'] = \"files/say \\\"hi\\\" \\\\ \\x3c/script>.mp3\";");
    EXPECT_EQ(lines.get(2).toNarrow(),
        "_slides['o\\'show'][0] = new Slide('picture','files/1.png',null,null,null,null,80,true);");
}

TEST(SlideshowTest, GenerationLocalizesEntriesSlidesAudioAndNodes)
{
    TestProject project;
    TestProject outside;
    Page page(&project);
    String picture = outside.writeFile("pic.png", "png");
    String sound = outside.writeFile("sound.mp3", "mp3");
    String showPicture = u"javascript:show_picture('f','" + picture + u"',null,null,null,null,100,true)";
    page.initialize().list().add(String(u"start"), showPicture);
    Slideshow* show = page.newSlideshow(String(u"Show"));
    show->setAudio(sound);
    show->slideList().add(String(u"one"), showPicture);
    PicNode* node = page.addRectangle(QRect(0, 0, 20, 20));
    node->setProperty(u"onmouseup", u"javascript:play_audio('','" + sound + u"','invisible',100,1)");
    node->setProperty(u"title", picture);
    PageNode* pageNode = Page::asPageNode(node);
    pageNode->ensureMenu().addItem(std::make_unique<PageMenuItem>(String(u"Item"), showPicture, picture));

    page.prepareGeneration();
    const String& entryAction = EntryList::actionOf(page.initialize().entries()[0]);
    EXPECT_NE(entryAction.find(u"'files/"), String::npos) << entryAction.toNarrow();
    EXPECT_EQ(EntryList::actionOf(show->slides()[0]), entryAction);
    EXPECT_TRUE(show->audio().startsWith(u"files/"));
    EXPECT_TRUE(show->audio().endsWith(u".mp3"));
    EXPECT_NE(pageNode->eventText(PageNode::MouseUp).find(u"'" + show->audio() + u"'"), String::npos);
    EXPECT_EQ(pageNode->title(), picture);
    EXPECT_TRUE(pageNode->menu()->item(0)->image().startsWith(u"files/"));
    EXPECT_EQ(page.preloadList().count(), 1u);
    EXPECT_EQ(project.m_referenced.count(), 2u);

    StringList lines;
    page.clearPreload();
    page.initialize().dataLines(lines, &page);
    ASSERT_EQ(lines.count(), 1u);
    EXPECT_EQ(lines.get(0), u"\t" + entryAction + u";");
    EXPECT_EQ(page.preloadList().count(), 1u);

    EXPECT_EQ(page.transitionFilter(Page::PageTransition), u"filter-fade");
    EXPECT_EQ(page.transitionFilter(Page::MenuTransition), u"");
    EXPECT_EQ(page.transitionFilter(7), u"");
    EXPECT_EQ(page.transitionClear(-1), u"false");
    EXPECT_EQ(page.transitionDuration(4), 1.0);
    EXPECT_EQ(page.transitionDuration(0), 2.5);
}
