#include "picture/canvas/ShapeDialogs.h"

#include "dialogs/MenuForm.h"
#include "dialogs/PageDialogListener.h"
#include "forms/QtText.h"
#include "forms/ValueDialog.h"
#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "picture/canvas/PageView.h"
#include "picture/canvas/ShapeProperties.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QFontDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <cmath>

namespace lumavine {

namespace {

constexpr std::u16string_view fontButton = u"FontDialog";
// The entries of a font group's style list, by italic + 2 x bold.
constexpr std::u16string_view fontStyles[] = { u"Regular", u"Italic", u"Bold", u"Bold Italic" };

}

ShapeDialogs::ShapeDialogs() = default;

ShapeDialogs::~ShapeDialogs() = default;

bool ShapeDialogs::editShapes(PageView& view, const PtrListOf<PicNode>& shapes)
{
    const String& contentFolder = view.page().baseDirectory();
    if (shapes.count() == 1)
        return openEditNodeDialog(&view, view.page(), *shapes.first(), contentFolder);
    return openEditNodesDialog(&view, view.page(), shapes, contentFolder);
}

std::optional<String> ShapeDialogs::askValue(PageView& view, const String& title, const String& label)
{
    ValueDialog dialog(&view, title, label, String());
    if (dialog.doModal() != Dialog::Ok)
        return std::nullopt;
    return dialog.value();
}

String ShapeDialogs::choosePicture(PageView& view)
{
    return askPicture(&view, view.page().baseDirectory());
}

void ShapeDialogs::reportError(PageView& view, const String& message)
{
    QMessageBox::warning(&view, QGuiApplication::applicationDisplayName(), toQString(message));
}

String ShapeDialogs::askPicture(QWidget* parent, const String& contentFolder)
{
    ValueDialog dialog(parent, String(u"Add Picture"), String(u"Picture"), String(), String(u"image"), contentFolder);
    if (dialog.doModal() != Dialog::Ok)
        return String();
    String source = dialog.value();
    return source.trim();
}

bool ShapeDialogs::openEditNodeDialog(QWidget* parent, Pic& picture, PicNode& shape, const String& contentFolder)
{
    Document formDocument(String(u"dialog"));
    XmlDialog dialog(parent, String(ShapeProperties::formName), this);
    return editNode(picture, shape, dialog, formDocument, contentFolder);
}

bool ShapeDialogs::editNode(
    Pic& picture, PicNode& shape, XmlDialog& dialog, Document& formDocument, const String& contentFolder)
{
    Page* page = dynamic_cast<Page*>(&picture);
    m_pageListener = page ? std::make_unique<PageDialogListener>(*page) : nullptr;
    const PageNode* node = Page::asPageNode(&shape);
    m_editedFrame = node && node->isFrame() ? &shape : nullptr;
    ShapeProperties::buildSingle(formDocument, picture, shape, contentFolder);
    // Shapes that have actions have a pop-up menu too.
    PageNode* menuNode = Page::asPageNode(&shape);
    if (!m_pageListener || !menuNode || shape.kind() == ShapeKind::Line || menuNode->isFrame())
        menuNode = nullptr;
    if (menuNode) {
        const Element* root = formDocument.documentElement();
        const int buttonTop = findChildElement(root, u"buttony", true) ? getChildInt(root, u"buttony")
                                                                       : ShapeProperties::defaultButtonTop;
        MenuForm::add(formDocument, menuNode->menu(), buttonTop);
        m_pageListener->beginMenu(*menuNode);
    }
    dialog.loadForms(&formDocument);
    const int answer = dialog.doModal();
    m_editedFrame = nullptr;
    if (answer != Dialog::Ok || !dialog.resultRoot())
        return false;
    ShapeProperties::applySingle(picture, shape, dialog.resultRoot());
    if (menuNode)
        m_pageListener->commitMenu(*menuNode, dialog.resultRoot());
    return true;
}

bool ShapeDialogs::openEditNodesDialog(
    QWidget* parent, Pic& picture, const PtrListOf<PicNode>& shapes, const String& contentFolder)
{
    Document formDocument(String(u"dialog"));
    XmlDialog dialog(parent, String(ShapeProperties::formName), this);
    return editNodes(picture, shapes, dialog, formDocument, contentFolder);
}

bool ShapeDialogs::editNodes(Pic& picture, const PtrListOf<PicNode>& shapes, XmlDialog& dialog, Document& formDocument,
    const String& contentFolder)
{
    if (shapes.isEmpty())
        return false;
    ShapeProperties::buildMultiple(formDocument, shapes, contentFolder);
    dialog.loadForms(&formDocument);
    if (dialog.doModal() != Dialog::Ok || !dialog.resultRoot())
        return false;
    ShapeProperties::applyMultiple(picture, shapes, dialog.resultRoot());
    return true;
}

void ShapeDialogs::formCreated(XmlForm* form)
{
    if (m_pageListener)
        m_pageListener->formCreated(form);
}

bool ShapeDialogs::listDoubleClicked(XmlForm* form, QListWidget* list, int index, const String& name, Element* element)
{
    return m_pageListener && m_pageListener->listDoubleClicked(form, list, index, name, element);
}

bool ShapeDialogs::filesDropped(XmlForm* form, const String& name, Element* element, const StringList& files)
{
    return m_pageListener && m_pageListener->filesDropped(form, name, element, files);
}

bool ShapeDialogs::acceptResult(XmlDialog* dialog, Document* result)
{
    if (!m_editedFrame || !result)
        return true;
    const String& name = getChildText(result->documentElement(), u"name");
    if (name.find(u'\'') == String::npos && name.find(u'"') == String::npos && name.find(u'\\') == String::npos)
        return true;
    QMessageBox::warning(dialog, QGuiApplication::applicationDisplayName(),
        QObject::tr("A frame's name cannot hold quotes or a backslash: actions name the frame in quotes."));
    return false;
}

bool ShapeDialogs::buttonClicked(XmlForm* form, const String& name, Element* element)
{
    const size_t at = name.find(fontButton);
    if (form && at != String::npos) {
        chooseFontFor(*form, name.substring(0, at));
        return true;
    }
    return m_pageListener && m_pageListener->buttonClicked(form, name, element);
}

QFont ShapeDialogs::fontOfControls(const XmlForm& form, const String& prefix)
{
    QFont font(toQString(form.valueOf(prefix + u"font-family")));
    const double points = QString::fromStdU16String(form.valueOf(prefix + u"font-size")).trimmed().toDouble();
    if (points > 0)
        font.setPointSizeF(points);
    const String style = form.valueOf(prefix + u"font-style");
    font.setItalic(style.contains(u"Italic"));
    font.setBold(style.contains(u"Bold"));
    font.setUnderline(form.valueOf(prefix + u"underline").equals(u"true"));
    font.setStrikeOut(form.valueOf(prefix + u"strikeout").equals(u"true"));
    return font;
}

void ShapeDialogs::setFontControls(XmlForm& form, const String& prefix, const QFont& font)
{
    // The chooser tells families that several foundries make apart as
    // "Family [Foundry]"; pages and browsers know the family alone.
    QString family = font.family();
    if (family.endsWith(QLatin1Char(']')) && family.contains(QLatin1String(" [")))
        family = family.section(QStringLiteral(" ["), 0, 0);
    form.setValue(prefix + u"font-family", fromQString(family));
    // Whole points: the font text keeps no fractions.
    const int points = int(std::lround(font.pointSizeF() > 0 ? font.pointSizeF() : font.pointSize()));
    if (points > 0)
        form.setValue(prefix + u"font-size", String::number(points));
    form.setValue(prefix + u"underline", String(font.underline() ? u"true" : u"false"));
    form.setValue(prefix + u"strikeout", String(font.strikeOut() ? u"true" : u"false"));
    const int style = (font.italic() ? 1 : 0) + (font.weight() >= QFont::Bold ? 2 : 0);
    form.setValue(prefix + u"font-style", String(fontStyles[style]));
    // The chooser has no colour; the swatch shows the colour the text keeps.
    form.refreshSwatch(prefix + u"font-color");
}

void ShapeDialogs::chooseFontFor(XmlForm& form, const String& prefix)
{
    for (std::u16string_view key :
        { u"font-family", u"font-size", u"font-color", u"font-style", u"underline", u"strikeout" })
        if (!form.control(prefix + String(key)))
            return;
    bool chosen = false;
    // Qt's own chooser everywhere: it shows the underline and strikeout
    // effects that the font text keeps.
    const QFont font = QFontDialog::getFont(
        &chosen, fontOfControls(form, prefix), &form, QObject::tr("Font"), QFontDialog::DontUseNativeDialog);
    if (chosen)
        setFontControls(form, prefix, font);
}

}
