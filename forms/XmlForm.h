#pragma once

#include "core/PtrMap.h"
#include "core/StringList.h"
#include "forms/FormControl.h"

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumavine {

class Element;
class XmlDialog;
class XmlDialogListener;

// One page of a dialog: the controls that its "form" element describes, at
// the pixel positions their styles give, with their values and the
// notifications that reach the dialog's listener.
class XmlForm : public QWidget {
    Q_OBJECT

public:
    XmlForm(XmlDialog* dialog, XmlDialogListener* listener, Element* element, QWidget* parent = nullptr);
    ~XmlForm() override;

    // Creates every control anew from the form element, tells the listener,
    // and lays the controls out.
    void build();
    // Destroys the controls and forgets them.
    void clearControls();

    const String& name() const { return m_name; }
    // The tab caption: the "label", or the name when there is none.
    const String& label() const { return m_label; }
    Element* element() const { return m_element; }
    XmlDialog* dialog() const { return m_dialog; }
    XmlDialogListener* listener() const { return m_listener; }

    QWidget* findControl(std::u16string_view name) const;
    FormControl* control(std::u16string_view name) const { return m_controlsByName.get(name); }
    FormControl* controlById(int id) const { return m_controlsById.get(id); }
    // The element a control was made from; a companion answers its main control's.
    Element* elementOf(std::u16string_view name) const;
    size_t controlCount() const { return m_controls.size(); }

    // The value as the control's type reads it: an edit's text, a drop-down
    // list's selected value, a check box's "true" or "false"; the empty text
    // for anything else.
    String valueOf(std::u16string_view name) const;
    // The reverse, for owners that fill a form while it shows: an edit takes
    // the text, a drop-down list selects the option of that value, a check
    // box is checked by "true". False when there is no such control or it
    // cannot take the value.
    bool setValue(std::u16string_view name, const String& value);
    // The colour value of a colour input: its edit and alpha edit together.
    String colorValueOf(std::u16string_view name) const;
    // Appends this form's values to a result document's root.
    void writeResult(Element* root) const;
    // Shows the options of the drop-down list `name` again, after its
    // element's "option" children changed; false when there is no such list.
    bool reloadOptions(std::u16string_view name);

    // Confirm and cancel pass on to the dialog.
    virtual void onOK();
    virtual void onCancel();
    // A press of a control, by identifier: choosers, help, and the listener.
    void command(int id);

    // For the control table: records a control made for an element and
    // connects it as its type says.
    FormControl* addControl(const String& name, Element* element, QWidget* widget, const ControlType& type,
        QWidget* window, FormControl* main = nullptr, int id = -1);
    // For the control table: an edit's text changed; keeps the swatch and
    // border preview it feeds up to date and tells the listener.
    void notifyTextChanged(FormControl& control, const String& text);
    // The height a style without one gives a control.
    int defaultHeight(const FormControl& control) const;
    // Sets an edit's rectangle, its frame following it.
    void placeEdit(FormControl& edit, const QRect& rect);
    // Shows the colour value of a colour input in its swatch.
    void refreshSwatch(std::u16string_view name);
    // Shows in the border preview P"border-display" what the border controls
    // P"border-color", P"border-width", P"border-style" and P"border-join"
    // now hold, for any of those names or the preview's own.
    void refreshBorderPreview(std::u16string_view name);
    // Loads a thumbnail from its input's "value" (or the given path) against "imageroot".
    void refreshThumbnail(std::u16string_view name, const String& path);

    // Draws the sunken frames of the edits and framed controls inside one window.
    void paintFrames(QPainter& painter, const QWidget* window) const;
    // The window of a point of a dropped file; null when no control is there.
    FormControl* controlAt(QWidget* window, const QPoint& point) const;
    // Reports files dropped onto a control; false when it cannot be told.
    bool dropFiles(FormControl* control, const StringList& files);

protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls(Element* parent, QWidget* window);
    void createLabel(Element* element);
    void layoutControl(FormControl& control);
    void layoutLabel(FormControl& label);

    std::vector<std::unique_ptr<FormControl>> m_controls;
    PtrMapOf<FormControl> m_controlsByName;
    PtrMapOf<FormControl> m_controlsById;
    // Labels are laid out after the controls, which may move them.
    PtrListOf<FormControl> m_labels;
    PtrListOf<FormControl> m_framed;
    String m_name;
    String m_label;
    XmlDialog* m_dialog;
    XmlDialogListener* m_listener;
    Element* m_element;
};

}
