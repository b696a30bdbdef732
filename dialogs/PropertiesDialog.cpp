#include "dialogs/PropertiesDialog.h"

#include "dialogs/FormElements.h"
#include "forms/FormStyle.h"
#include "forms/PropertyGroups.h"
#include "page/Page.h"
#include "xml/Elements.h"

namespace lumavine {

using namespace FormElements;

namespace {

void addButtons(Element* form)
{
    for (auto [name, text, left] : { std::tuple(u"ok", u"Ok", 10), std::tuple(u"cancel", u"Cancel", 120) }) {
        Element* button = addElement(form, u"button", String(text));
        button->setAttribute(u"name", String(name));
        button->setAttribute(u"style", FormStyle::format(left, 520, 100, 25));
    }
}

}

PropertiesDialog::PropertiesDialog(Page& page, QWidget* parent, XmlDialogListener* listener)
    : XmlDialog(parent, u"Properties", listener, page.lastPropertiesTab())
    , m_page(page)
    , m_formDocument(u"dialog")
{
    Element* root = m_formDocument.documentElement();
    addElement(root, u"title", String(u"Page Properties"));
    addElement(root, u"x", 10);
    addElement(root, u"y", 10);
    addElement(root, u"width", 370);
    addElement(root, u"height", 370);

    Element* general = addElement(root, u"form");
    general->setAttribute(u"name", u"General");
    PropertyGroups::addBackgroundGroup(
        general, &page, { 10, 20, 520, 120 }, String(u"Background"), String(), PropertyGroups::PictureRow);
    PropertyGroups::addBorderGroup(general, &page.imageStyle(), { 10, 150, 167, 140 }, String(u"Image Border"),
        String(u"image-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(general, &page.videoStyle(), { 187, 150, 167, 140 }, String(u"Video Border"),
        String(u"video-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(general, &page.frameStyle(), { 364, 150, 167, 140 }, String(u"Frame Border"),
        String(u"frame-"), PropertyGroups::BorderStyleRow);
    spin(groupBox(general, u"qualitybox", u"JPEG Quality (1=lowest, 100=highest)", 10, 300, 250, 50), u"imagequality",
        String::number(page.imageQuality()), 10, 25, 220, 1, 100);
    // The page's own size; empty fields leave the picture as large as its
    // shapes make it.
    Element* size = groupBox(general, u"PageSizeBox", u"Page Size", 10, 360, 250, 150);
    label(size, u"pic-width", u"Width", 10, 30, 80);
    textInput(size, u"pic-width", page.pictureWidth() > 0 ? String::number(page.pictureWidth()) : String(), 90, 30, 140,
        u"int");
    label(size, u"pic-height", u"Height", 10, 60, 80);
    textInput(size, u"pic-height", page.pictureHeight() > 0 ? String::number(page.pictureHeight()) : String(), 90, 60,
        140, u"int");
    textInput(
        groupBox(general, u"scriptbox", u"Script File", 270, 300, 260, 50), u"script", page.script(), 10, 25, 230);
    Element* properties = groupBox(general, u"PagePropertiesBox", u"General Properties", 270, 360, 260, 150);
    label(properties, u"imagetype", u"Image Type", 10, 25, 80);
    Element* types = dropDown(properties, u"imagetype", 90, 25, 160, 100);
    const String type = page.imageType().empty() ? String(u"gif") : page.imageType();
    for (auto [value, text] : { std::pair(u"jpeg", u"Jpeg"), std::pair(u"png", u"Png"), std::pair(u"gif", u"Gif"),
             std::pair(u"none", u"Html") })
        option(types, value, text, type.equalsIgnoreCase(value));
    label(properties, u"scrolling", u"Scrolling", 10, 55, 80);
    checkBox(properties, u"scrolling", u"", !page.scrollingOff(), 90, 55, 160);
    label(properties, u"responsive", u"Fit Window", 10, 85, 80);
    checkBox(properties, u"responsive", u"Scale down to fit", page.responsive(), 90, 85, 160);
    addButtons(general);

    Element* captions = addElement(root, u"form");
    captions->setAttribute(u"name", u"Captions");
    PropertyGroups::addBackgroundGroup(captions, &page.captionStyle(), { 10, 20, 250, 120 },
        String(u"Caption Background"), String(u"caption-"), PropertyGroups::GradientRows);
    Element* alignment = dropDown(groupBox(captions, u"CaptionAlignment", u"Alignment", 270, 20, 120, 60),
        u"caption-alignment", 10, 25, 100, 200);
    option(alignment, u"top", u"Top", !page.captionAtBottom());
    option(alignment, u"bottom", u"Bottom", page.captionAtBottom());
    spin(groupBox(captions, u"CaptionHeight", u"Height", 400, 20, 130, 60), u"caption-height",
        String::number(page.captionHeight()), 10, 25, 100, 5, 30);
    PropertyGroups::addBorderGroup(captions, &page.captionStyle(), { 10, 150, 250, 140 },
        String(u"Caption Inner Border"), String(u"caption-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addBorderGroup(captions, &page.outerCaptionStyle(), { 270, 150, 260, 140 },
        String(u"Caption Outer Border"), String(u"outer-caption-"), PropertyGroups::BorderStyleRow);
    PropertyGroups::addFontGroup(
        captions, &page.captionStyle(), { 10, 300, 250, 140 }, String(u"Caption Font"), String(u"caption-"));
    addButtons(captions);
    loadForms(&m_formDocument);
}

PropertiesDialog::~PropertiesDialog()
{
    clearForms();
}

int PropertiesDialog::doModal()
{
    const int answer = XmlDialog::doModal();
    // The tab the user looked at last is where the dialog opens next time.
    if (!currentForm().empty())
        m_page.setLastPropertiesTab(currentForm());
    return answer;
}

void PropertiesDialog::apply()
{
    Element* result = resultRoot();
    if (!result)
        return;
    PropertyGroups::appendComposedTexts(result, u"caption-");
    // An empty size leaves the page to its shapes.
    for (std::u16string_view key : { u"pic-width", u"pic-height" })
        if (Element* value = findChildElement(result, key, true); value && getText(value).empty())
            setText(value, String(u"-1"));
    m_page.readProperties(result);
}

}
