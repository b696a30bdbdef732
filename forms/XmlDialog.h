#pragma once

#include "core/PtrMap.h"
#include "forms/Dialog.h"

#include <QList>
#include <QPixmap>
#include <memory>
#include <vector>

class QTabBar;

namespace lumavine {

class Document;
class Element;
class XmlDialogListener;
class XmlForm;

// A dialog built from a form document: one XmlForm per "form" element, as
// tab pages when there are two or more. When the user confirms, every
// control's value goes into a result document that the caller reads by
// control name.
class XmlDialog : public Dialog {
    Q_OBJECT

public:
    // For a dialog class, which then builds its form document and calls
    // loadForms; the result's root is "document".
    XmlDialog(QWidget* parent, const String& name, XmlDialogListener* listener, const String& initialForm = String(),
        const QList<QPixmap>& images = {});
    // From a ready form document, which must outlive the dialog; the
    // result's root is "dialog".
    XmlDialog(QWidget* parent, const String& name, Document* formDocument, XmlDialogListener* listener,
        const String& initialForm = String(), const QList<QPixmap>& images = {});
    ~XmlDialog() override;

    // Forgets the old forms and result and reads the forms, the title and the
    // rectangle from the document.
    void loadForms(Document* formDocument);
    // Destroys every form, the result and the identifiers.
    void clearForms();

    int doModal() override;
    void onOK() override;
    void onCancel() override;
    // Called before a dialog that already holds a result shows again.
    virtual void beforeModal(Document* previousResult);

    Document* result() const { return m_result.get(); }
    Element* resultRoot() const;
    // The text of the result's element of that name; empty without one.
    const String& valueOf(std::u16string_view name) const;
    // The first control of that name in any form.
    QWidget* findControl(std::u16string_view name) const;
    // Selects the tab of the named form; false without tabs or without that form.
    bool selectForm(const String& name);
    // The caption of the tab the user chose last, or the name selectForm recorded.
    const String& currentForm() const { return m_currentForm; }
    const String& initialForm() const { return m_initialForm; }

    XmlForm* form(std::u16string_view name) const { return m_forms.get(name); }
    size_t formCount() const { return m_formList.size(); }
    XmlForm* formAt(size_t index) const { return index < m_formList.size() ? m_formList[index].get() : nullptr; }
    QTabBar* tabBar() const { return m_tabBar; }
    XmlDialogListener* listener() const { return m_listener; }
    // For a dialog class that is its own listener, once it is whole; before
    // the forms are loaded.
    void setListener(XmlDialogListener* listener) { m_listener = listener; }

    // The identifiers of the controls, handed out from 1000 in the order the
    // controls are made; the name of each is how notifications find it.
    int nextControlId(const String& name);
    const String& controlName(int id) const { return m_controlNames.get(id); }

protected:
    void createWindows() override;

private:
    void destroyWindows();
    void initialiseForms();
    void showForm(XmlForm* shown);
    void tabChanged(int index);
    std::unique_ptr<Document> buildResult() const;

    int m_nextId = 1000;
    StringMap m_controlNames;
    QWidget* m_tabControl = nullptr;
    QTabBar* m_tabBar = nullptr;
    std::unique_ptr<Document> m_result;
    XmlDialogListener* m_listener;
    QList<QPixmap> m_images;
    String m_resultRootName;
    PtrMapOf<XmlForm> m_forms;
    std::vector<std::unique_ptr<XmlForm>> m_formList;
    String m_initialForm;
    String m_currentForm;
    bool m_initialFormGiven = false;
};

}
