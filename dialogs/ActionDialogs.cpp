#include "dialogs/ActionDialogs.h"

#include "core/StringList.h"
#include "dialogs/FormElements.h"
#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "page/Action.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "page/ProjectContext.h"
#include "page/Slideshow.h"
#include "xml/Elements.h"

namespace lumavine {

namespace {

// The formats current browsers play come first; the older ones stay for
// projects that use them, though only the old browser plays them.
constexpr std::u16string_view audioFilter
    = u"All Audio Files|*.mp3;*.ogg;*.oga;*.opus;*.m4a;*.wav;*.wma|MP3 Files (*.mp3)|*.mp3|"
      u"Ogg Files (*.ogg, *.oga, *.opus)|*.ogg;*.oga;*.opus|MP4 Audio Files (*.m4a)|*.m4a|WAV Files (*.wav)|*.wav|"
      u"WMA Files (*.wma)|*.wma|All Files|*.*||";
constexpr std::u16string_view videoFilter
    = u"All Video Files|*.webm;*.mp4;*.m4v;*.ogv;*.wmv;*.mpeg;*.mpg;*.avi|WebM Files (*.webm)|*.webm|"
      u"MP4 Files (*.mp4, *.m4v)|*.mp4;*.m4v|Ogg Files (*.ogv)|*.ogv|WMV Files (*.wmv)|*.wmv|"
      u"MPEG Files (*.mpeg, *.mpg)|*.mpeg;*.mpg|AVI Files (*.avi)|*.avi|All Files|*.*||";
constexpr std::u16string_view pageFilter = u"HTML Files(*.html, *.htm)|*.html;*.htm|All Files|*.*||";

Element* addOption(Element* select, const String& value, const String& text, bool selected)
{
    return FormElements::option(select, value, text, selected);
}

Element* addSelect(Element* box, const String& name, int width, int height)
{
    return FormElements::dropDown(box, name, 10, 25, width, height);
}

// The argument at a position (from 0), or the empty text.
const String& argumentAt(const std::vector<String>& arguments, size_t index)
{
    return index < arguments.size() ? arguments[index] : emptyString;
}

String quoted(const String& text)
{
    return u"'" + text + u"'";
}

// A text argument, or the bare null when it is empty.
String quotedOrNull(const String& text)
{
    return text.empty() ? String(u"null") : quoted(text);
}

int ratioOf(const String& text)
{
    int ratio = 0;
    if (!String(text).trim().readInt(ratio) || ratio < 1)
        return 100;
    return ratio;
}

}

ActionDialog::ActionDialog(Page& page, QWidget* parent, const String& dialogName, XmlDialogListener* listener,
    String& action, String* itemName)
    : XmlDialog(parent, dialogName, listener)
    , m_page(page)
    , m_formDocument(u"dialog")
    , m_action(action)
    , m_itemName(itemName)
{
}

ActionDialog::~ActionDialog()
{
    clearForms();
}

int ActionDialog::doModal()
{
    const int answer = XmlDialog::doModal();
    if (answer != Ok)
        return answer;
    m_action = composeAction();
    if (m_itemName)
        *m_itemName = resultText(u"name");
    return answer;
}

String ActionDialog::fileAddress(const String& path)
{
    const size_t colon = path.find(u':');
    const bool driveLetter = colon == 1;
    if (!driveLetter && !path.startsWith(u"/"))
        return path;
    String address = path;
    address.replaceChar(u'\\', u'/');
    return u"file://" + address;
}

std::vector<String> ActionDialog::currentArguments(std::u16string_view function, bool nullIsEmpty) const
{
    String called;
    StringList arguments;
    if (!parseAction(m_action, called, arguments, false) || !called.equalsIgnoreCase(function))
        return {};
    std::vector<String> values;
    for (size_t index = 0; index < arguments.count(); ++index) {
        const String& argument = arguments.get(index);
        values.push_back(nullIsEmpty && argument.equals(u"null") ? String() : argument);
    }
    return values;
}

Element* ActionDialog::beginForm(const String& formName, const String& title, int width, int height)
{
    return FormElements::frame(m_formDocument, title, width, height, formName);
}

int ActionDialog::addNameBlock(Element* form, int width, bool showCurrent, int rowsTop)
{
    if (!m_itemName)
        return 10;
    Element* box = addBox(form, String(u"NameBox"), String(u"Item Name"), 10, 10, width);
    addText(box, String(u"name"), showCurrent ? *m_itemName : String(), width - 20);
    return rowsTop;
}

Element* ActionDialog::addBox(
    Element* form, const String& name, const String& caption, int left, int top, int width, int height)
{
    return FormElements::groupBox(form, name, caption, left, top, width, height);
}

Element* ActionDialog::addText(
    Element* box, const String& name, const String& value, int width, std::u16string_view extension)
{
    return FormElements::textInput(box, name, value, 10, 25, width, extension);
}

Element* ActionDialog::startInProject(Element* input, bool media) const
{
    // A file not yet chosen is looked for where the project keeps such files.
    if (const ProjectContext* project = m_page.project())
        input->setAttribute(u"startdirectory", media ? project->filesDirectory() : project->contentDirectory());
    return input;
}

Element* ActionDialog::addRatio(Element* box, int ratio, int width)
{
    return FormElements::spin(box, u"ratio", String::number(ratio), 10, 25, width, 0, 100);
}

String ActionDialog::targetName(const String& prefix)
{
    String name = prefix;
    name = String(QString::fromStdU16String(name).toLower().toStdU16String());
    name.replaceChar(u' ', u'_');
    return name + u"target";
}

Element* ActionDialog::addTargetBlock(
    Element* form, const String& prefix, const String& current, int left, int top, int width, bool windows)
{
    Element* box = addBox(form, prefix + u"TargetBox", prefix + u" Target", left, top, width);
    Element* select = addSelect(box, targetName(prefix), width - 20, 100);
    bool anySelected = false;
    for (PageNode* node : m_page.pageNodes()) {
        if (!node->isFrame())
            continue;
        // Generated pages find their frames by name.
        const String& value = node->getName().empty() ? node->id() : node->getName();
        const bool selected = !anySelected && value.equals(current);
        anySelected = anySelected || selected;
        addOption(select, value, value, selected);
    }
    if (windows) {
        addOption(select, String(u"_blank"), String(u"New Window"), !anySelected && current.equals(u"_blank"));
        addOption(select, String(u"_self"), String(u"Current Window"), !anySelected && current.equals(u"_self"));
    }
    return select;
}

int ActionDialog::readNumber(const String& text, int fallback)
{
    int value = 0;
    return String(text).trim().readInt(value) ? value : fallback;
}

MediaDialog::MediaDialog(
    Kind kind, Page& page, QWidget* parent, XmlDialogListener* listener, String& action, String* itemName)
    : ActionDialog(page, parent, String(kind == Audio ? u"Audio" : u"Video"), listener, action, itemName)
    , m_kind(kind)
{
    const bool audio = kind == Audio;
    const String word(audio ? u"Audio" : u"Video");
    const std::vector<String> arguments = currentArguments(audio ? u"play_audio" : u"play_video", false);
    int ratio = ratioOf(argumentAt(arguments, 3));
    int count = readNumber(argumentAt(arguments, 4), 1);

    const String title = u"Play " + word;
    Element* form = beginForm(title, title, 290, itemName ? 200 : 150);
    const int top = addNameBlock(form, 400, false, 70);
    addTargetBlock(form, word, argumentAt(arguments, 0), 10, top, 190, false);
    addRatio(addBox(form, String(u"RatioBox"), word + u" Ratio", 210, top, 200), ratio, 75);
    Element* file
        = startInProject(addText(addBox(form, word + u"UrlBox", word + u" File", 10, top + 65, 400),
                             audio ? String(u"audiourl") : String(u"videourl"), argumentAt(arguments, 1), 380, u"file"),
            true);
    file->setAttribute(u"files", String(audio ? audioFilter : videoFilter));
    Element* modes = addSelect(addBox(form, String(u"UimodeBox"), String(u"Control UI Mode"), 10, top + 130, 190),
        String(u"uimode"), 170, 200);
    const String& mode = argumentAt(arguments, 2);
    const bool known = mode.equals(u"full") || mode.equals(u"mini") || mode.equals(u"none");
    addOption(modes, String(u"full"), String(u"Full Controls"), !known || mode.equals(u"full"));
    addOption(modes, String(u"mini"), String(u"Minimum Controls"), mode.equals(u"mini"));
    addOption(modes, String(u"none"), String(u"No Controls"), mode.equals(u"none"));
    Element* times = addText(addBox(form, word + u"TimesBox", String(u"Play Count"), 210, top + 130, 200),
        String(u"playcount"), String::number(count), 100, u"spin");
    times->setAttribute(u"low", u"0");
    times->setAttribute(u"high", u"100");
    FormDocument::addStandardButtons(form, itemName ? 280 : 210);
    loadForms(&m_formDocument);
}

String MediaDialog::composeAction() const
{
    const bool audio = m_kind == Audio;
    const String file = fileAddress(resultText(audio ? u"audiourl" : u"videourl"));
    return String(audio ? u"javascript:play_audio(" : u"javascript:play_video(")
        + quoted(resultText(audio ? u"audiotarget" : u"videotarget")) + u"," + quoted(file) + u","
        + quoted(resultText(u"uimode")) + u"," + String::number(readNumber(resultText(u"ratio"), 0)) + u","
        + String::number(readNumber(resultText(u"playcount"), 1)) + u")";
}

ContentDialog::ContentDialog(
    Page& page, QWidget* parent, XmlDialogListener* listener, String& action, bool windowTargets, String* itemName)
    : ActionDialog(page, parent, String(u"Content"), listener, action, itemName)
{
    const std::vector<String> arguments = currentArguments(u"show_page", true);
    const int ratio = ratioOf(argumentAt(arguments, 3));
    Element* form = beginForm(String(u"Show Page"), String(u"Show Page"), 290, itemName ? 230 : 190);
    const int top = addNameBlock(form, 400, true, 70);
    // Slides and menu entries show in the frame their slideshow or menu
    // names; other callers choose the frame or window here.
    if (windowTargets)
        addTargetBlock(form, String(u"Page"), argumentAt(arguments, 0), 10, top, 190, true);
    addRatio(addBox(form, String(u"RatioBox"), String(u"Page Ratio"), 210, top, 190), ratio, 75);
    Element* file = startInProject(addText(addBox(form, String(u"PageUrlBox"), String(u"Page File"), 10, top + 65, 400),
                                       String(u"pageurl"), argumentAt(arguments, 1), 380, u"file"),
        false);
    file->setAttribute(u"files", String(pageFilter));
    file->setAttribute(u"default", u"*");
    Element* pages = addSelect(
        addBox(form, String(u"PagesBox"), String(u"Pages"), 10, top + 130, 400), String(u"pages"), 380, 200);
    addOption(pages, String(), String(), true);
    if (ProjectContext* project = page.project()) {
        for (Page* other : project->pages()) {
            const String file = Page::fileBaseNameOf(other->label()) + u".html";
            addOption(pages, file, file, false);
        }
    }
    Element* audio
        = startInProject(addText(addBox(form, String(u"AudioUrlBox"), String(u"Audio File"), 10, top + 195, 400),
                             String(u"audiourl"), argumentAt(arguments, 2), 380, u"file"),
            true);
    audio->setAttribute(u"files", String(audioFilter));
    FormDocument::addStandardButtons(form, itemName ? 330 : 270);
    loadForms(&m_formDocument);
}

String ContentDialog::composeAction() const
{
    const String& audio = resultText(u"audiourl");
    return u"javascript:show_page(" + quoted(resultText(u"pagetarget")) + u","
        + quoted(fileAddress(resultText(u"pageurl"))) + u","
        + (audio.empty() ? String(u"null") : quoted(fileAddress(audio))) + u","
        + String::number(readNumber(resultText(u"ratio"), 100)) + u")";
}

ImageDialog::ImageDialog(
    Page& page, QWidget* parent, XmlDialogListener* listener, String& action, bool windowTargets, String* itemName)
    : ActionDialog(page, parent, String(u"Image"), listener, action, itemName)
{
    const std::vector<String> arguments = currentArguments(u"show_picture", true);
    String caption = argumentAt(arguments, 2);
    caption.unescapeXml();
    const int ratio = ratioOf(argumentAt(arguments, 6));
    const bool aspect = !argumentAt(arguments, 7).equals(u"false");

    Element* form = beginForm(String(u"Show Picture"), String(u"Show Picture"), 290, itemName ? 345 : 305);
    const int top = addNameBlock(form, 400, true, 75);
    if (windowTargets)
        addTargetBlock(form, String(u"Picture"), argumentAt(arguments, 0), 10, top, 190, true);
    Element* size = addBox(form, String(u"WidthBox"), String(u"Picture Ratio"), 210, top, 200);
    addRatio(size, ratio, 60);
    FormElements::checkBox(size, u"aspect", u"Aspect", aspect, 80, 25, 110);
    Element* picture = addText(addBox(form, String(u"ImageUrlBox"), String(u"Picture File"), 10, top + 65, 400, 120),
        String(u"imageurl"), argumentAt(arguments, 1), 380, u"image");
    picture->setAttribute(u"imageroot", page.project() ? page.project()->contentDirectory() : String());
    picture->setAttribute(u"thumbwidth", u"90");
    picture->setAttribute(u"thumbheight", u"90");
    int row = top + 65 + 130;
    struct Field {
        std::u16string_view box;
        std::u16string_view caption;
        std::u16string_view name;
        size_t argument;
    };
    for (const Field& field : { Field { u"ImageCaptionBox", u"Picture Caption", u"imagecaption", 2 },
             Field { u"ImageLinkBox", u"Picture Link", u"imagelink", 3 },
             Field { u"LinkTargetBox", u"Picture Link Target", u"linktarget", 4 },
             Field { u"AudioUrlBox", u"Audio File", u"audiourl", 5 } }) {
        Element* box = addBox(form, String(field.box), String(field.caption), 10, row, 400);
        Element* input = addText(
            box, String(field.name), field.argument == 2 ? caption : argumentAt(arguments, field.argument), 380);
        if (field.argument == 5) {
            input->setAttribute(u"extension", u"file");
            input->setAttribute(u"files", String(audioFilter));
            startInProject(input, true);
        }
        row += 65;
    }
    FormDocument::addStandardButtons(form, itemName ? 525 : 465);
    loadForms(&m_formDocument);
}

String ImageDialog::composeAction() const
{
    String caption = resultText(u"imagecaption");
    caption.escapeXml();
    String link = resultText(u"imagelink");
    link.trim();
    const String& linkTarget = resultText(u"linktarget");
    const String& audio = resultText(u"audiourl");
    String text = u"javascript:show_picture(" + quoted(resultText(u"picturetarget")) + u","
        + quoted(fileAddress(resultText(u"imageurl"))) + u"," + quotedOrNull(caption) + u",";
    if (link.empty())
        text.append(u"null,null");
    else
        text.append(quoted(link) + u"," + quotedOrNull(linkTarget));
    text.append(u"," + (audio.empty() ? String(u"null") : quoted(fileAddress(audio))));
    text.append(u"," + String::number(readNumber(resultText(u"ratio"), 0)) + u","
        + (resultText(u"aspect").equals(u"true") ? String(u"true") : String(u"false")) + u")");
    return text;
}

MailDialog::MailDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action, String* itemName)
    : ActionDialog(page, parent, String(u"Mail"), listener, action, itemName)
{
    const std::vector<String> arguments = currentArguments(u"mail", false);
    Element* form = beginForm(String(u"Mail"), String(u"Send Mail"), 250, itemName ? 160 : 110);
    const int top = addNameBlock(form, 330, false, 70);
    addText(addBox(form, String(u"Address"), String(u"Email Address"), 10, top, 330), String(u"address"),
        argumentAt(arguments, 0), 310);
    const int subjectTop = top + 65;
    addText(addBox(form, String(u"Subject"), String(u"Subject"), 10, subjectTop, 330), String(u"subject"),
        argumentAt(arguments, 1), 310);
    FormDocument::addStandardButtons(form, subjectTop + 65);
    loadForms(&m_formDocument);
}

String MailDialog::composeAction() const
{
    String text = u"javascript:mail('" + resultText(u"address");
    if (!resultText(u"subject").empty())
        text.append(u"','" + resultText(u"subject"));
    text.append(u"')");
    return text;
}

TargetDialog::TargetDialog(Page& page, QWidget* parent, XmlDialogListener* listener, String& action,
    const String& function, const String& prefix, const String& title, String* itemName)
    : ActionDialog(page, parent, String(u"Clear"), listener, action, itemName)
    , m_function(function)
    , m_prefix(prefix)
{
    const std::vector<String> arguments = currentArguments(function, false);
    Element* form = beginForm(String(u"Target Frame"), title, 290, itemName ? 110 : 80);
    const int top = addNameBlock(form, 400, false, 70);
    addTargetBlock(form, prefix, argumentAt(arguments, 0), 10, top, 400, false);
    FormDocument::addStandardButtons(form, itemName ? 140 : 100);
    loadForms(&m_formDocument);
}

String TargetDialog::composeAction() const
{
    return u"javascript:" + m_function + u"(" + quoted(resultText(targetName(m_prefix))) + u")";
}

ImageSizeDialog::ImageSizeDialog(QWidget* parent, XmlDialogListener* listener)
    : XmlDialog(parent, u"ImageSize", listener)
    , m_formDocument(u"dialog")
{
    Element* form = FormElements::frame(m_formDocument, String(u"Picture Size"), 175, 70, String(u"ImageSize"));
    Element* box = FormElements::groupBox(form, u"WidthBox", u"Picture Ratio", 10, 10, 240, 55);
    FormElements::spin(box, u"ratio", String(u"100"), 10, 25, 60, 0, 100);
    FormElements::checkBox(box, u"aspect", u"Aspect", true, 80, 25, 110);
    FormDocument::addStandardButtons(form, 80);
    loadForms(&m_formDocument);
}

ImageSizeDialog::~ImageSizeDialog()
{
    clearForms();
}

int ImageSizeDialog::ratio() const
{
    int value = 0;
    return String(valueOf(u"ratio")).trim().readInt(value) ? value : 0;
}

ImportSlidesDialog::ImportSlidesDialog(Page& page, QWidget* parent, XmlDialogListener* listener)
    : XmlDialog(parent, u"ImportSlides", listener)
    , m_formDocument(u"dialog")
{
    Element* form
        = FormElements::frame(m_formDocument, String(u"Import Slides"), 290, 110, String(u"Import Slideshow"));
    Element* targetBox = FormElements::groupBox(form, u"ImageTargetBox", u"Image Target", 10, 10, 190, 55);
    Element* targets = addSelect(targetBox, String(u"imagetarget"), 170, 100);
    for (PageNode* node : page.pageNodes()) {
        if (!node->isFrame())
            continue;
        const String& value = node->getName().empty() ? node->id() : node->getName();
        addOption(targets, value, value, false);
    }
    Element* showsBox = FormElements::groupBox(form, u"SlideshowsBox", u"Slideshows", 10, 75, 400, 55);
    Element* shows = addSelect(showsBox, String(u"slideshow"), 380, 200);
    addOption(shows, String(), String(), true);
    for (const auto* entry : page.slideshows()) {
        const Slideshow* show = PtrMapOf<Slideshow>::valueOf(entry);
        addOption(shows, show->id(), show->name(), false);
    }
    FormDocument::addStandardButtons(form, 150);
    loadForms(&m_formDocument);
}

ImportSlidesDialog::~ImportSlidesDialog()
{
    clearForms();
}

}
