#include "forms/XmlDialog.h"

#include "forms/QtText.h"
#include "forms/XmlDialogListener.h"
#include "forms/XmlForm.h"
#include "xml/Elements.h"

#include <QFontMetrics>
#include <QTabBar>

namespace lumavine {

XmlDialog::XmlDialog(QWidget* parent, const String& name, XmlDialogListener* listener, const String& initialForm,
    const QList<QPixmap>& images)
    : Dialog(name, parent)
    , m_controlNames(true)
    , m_listener(listener)
    , m_images(images)
    , m_forms(true)
    , m_initialForm(initialForm)
    , m_initialFormGiven(!initialForm.empty())
{
}

XmlDialog::XmlDialog(QWidget* parent, const String& name, Document* formDocument, XmlDialogListener* listener,
    const String& initialForm, const QList<QPixmap>& images)
    : XmlDialog(parent, name, listener, initialForm, images)
{
    m_resultRootName = u"dialog";
    loadForms(formDocument);
}

XmlDialog::~XmlDialog()
{
    clearForms();
}

void XmlDialog::loadForms(Document* formDocument)
{
    clearForms();
    if (!m_initialFormGiven)
        m_initialForm.clear();
    Element* root = formDocument ? formDocument->documentElement() : nullptr;
    if (root) {
        for (Node* node : root->childNodes()) {
            Element* element = node->asElement();
            if (!element || !element->tagName().equals(u"form"))
                continue;
            const String& name = element->getAttribute(u"name");
            if (name.empty() || m_forms.contains(name))
                continue;
            auto form = std::make_unique<XmlForm>(this, m_listener, element, this);
            form->hide();
            m_forms.add(name, form.get());
            m_formList.push_back(std::move(form));
            if (m_initialForm.empty())
                m_initialForm = name;
        }
    }
    setTemplate(owner(), getChildText(root, u"title"), getChildInt(root, u"x"), getChildInt(root, u"y"),
        getChildInt(root, u"width"), getChildInt(root, u"height"), formDialogStyle);
}

void XmlDialog::destroyWindows()
{
    // Forms outlive their windows' parent: they belong to the dialog.
    for (auto& form : m_formList) {
        form->hide();
        form->setParent(this);
    }
    delete m_tabControl;
    m_tabControl = nullptr;
    m_tabBar = nullptr;
}

void XmlDialog::clearForms()
{
    destroyWindows();
    m_forms.clear();
    m_formList.clear();
    m_result.reset();
    m_controlNames.clear();
    m_nextId = 1000;
}

int XmlDialog::nextControlId(const String& name)
{
    int id = m_nextId++;
    m_controlNames.set(id, name);
    return id;
}

void XmlDialog::createWindows()
{
    destroyWindows();
    m_controlNames.clear();
    m_nextId = 1000;
    m_currentForm.clear();
    if (m_formList.size() >= 2) {
        m_tabControl = new QWidget(this);
        m_tabControl->setObjectName(QStringLiteral("Tabs"));
        m_tabBar = new QTabBar(m_tabControl);
        m_tabBar->setDrawBase(true);
        m_tabBar->setExpanding(false);
        m_tabControl->show();
    }
    for (auto& form : m_formList) {
        form->setParent(m_tabControl ? m_tabControl : static_cast<QWidget*>(this));
        form->setGeometry(QRect());
        form->build();
    }
    initialiseForms();
    if (!m_initialForm.empty())
        selectForm(m_initialForm);
}

void XmlDialog::initialiseForms()
{
    XmlForm* initial = form(m_initialForm);
    if (!initial && !m_formList.empty())
        initial = m_formList.front().get();
    QRect client = rect();
    if (!m_tabBar) {
        for (auto& form : m_formList)
            form->setGeometry(client);
        showForm(initial);
        return;
    }
    for (size_t i = 0; i < m_formList.size(); ++i) {
        int index = m_tabBar->addTab(toQString(m_formList[i]->label()));
        if (i < size_t(m_images.size()))
            m_tabBar->setTabIcon(index, QIcon(m_images[qsizetype(i)]));
    }
    QRect area = client.adjusted(5, 5, -5, -5);
    m_tabControl->setGeometry(area);
    int top = QFontMetrics(dialogFont()).height() + 10;
    if (!m_images.isEmpty() && !m_images.front().isNull())
        top = m_images.front().height();
    m_tabBar->setGeometry(0, 0, area.width(), top);
    for (auto& form : m_formList)
        form->setGeometry(0, top, area.width(), area.height() - top);
    int index = 0;
    for (size_t i = 0; i < m_formList.size(); ++i) {
        if (m_formList[i].get() == initial)
            index = int(i);
    }
    m_tabBar->setCurrentIndex(index);
    showForm(initial);
    connect(m_tabBar, &QTabBar::currentChanged, this, &XmlDialog::tabChanged);
}

void XmlDialog::showForm(XmlForm* shown)
{
    for (auto& form : m_formList) {
        if (form.get() != shown)
            form->hide();
    }
    if (shown)
        shown->show();
}

void XmlDialog::tabChanged(int index)
{
    String caption = fromQString(m_tabBar->tabText(index).left(256));
    for (auto& form : m_formList) {
        if (form->label().equals(caption)) {
            showForm(form.get());
            m_currentForm = caption;
            return;
        }
    }
}

bool XmlDialog::selectForm(const String& name)
{
    if (!m_tabBar)
        return false;
    m_currentForm.clear();
    for (size_t i = 0; i < m_formList.size(); ++i) {
        if (!m_formList[i]->name().equals(name))
            continue;
        m_tabBar->setCurrentIndex(int(i));
        showForm(m_formList[i].get());
        m_currentForm = name;
        return true;
    }
    return false;
}

QWidget* XmlDialog::findControl(std::u16string_view name) const
{
    for (auto& form : m_formList) {
        if (QWidget* control = form->findControl(name))
            return control;
    }
    return nullptr;
}

Element* XmlDialog::resultRoot() const
{
    return m_result ? m_result->documentElement() : nullptr;
}

const String& XmlDialog::valueOf(std::u16string_view name) const
{
    return getText(findChildElement(resultRoot(), name, true));
}

std::unique_ptr<Document> XmlDialog::buildResult() const
{
    auto result = std::make_unique<Document>(m_resultRootName.empty() ? String(u"document") : m_resultRootName);
    for (auto& form : m_formList)
        form->writeResult(result->documentElement());
    return result;
}

void XmlDialog::onOK()
{
    m_result = buildResult();
    if (!m_listener || m_listener->acceptResult(this, m_result.get()))
        Dialog::onOK();
}

void XmlDialog::onCancel()
{
    Dialog::onCancel();
}

void XmlDialog::beforeModal(Document*)
{
}

int XmlDialog::doModal()
{
    if (m_result)
        beforeModal(m_result.get());
    return Dialog::doModal();
}

}
