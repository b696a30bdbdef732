#pragma once

#include "core/String.h"

#include <QDialog>
#include <QFont>
#include <QRect>
#include <cstdint>

namespace lumavine {

// A dialog window whose size and position come in dialog template units,
// which follow the dialog font: a unit across is a quarter of its average
// character width, a unit down an eighth of its height. Every control of
// the dialog is given the dialog font.
class Dialog : public QDialog {
    Q_OBJECT

public:
    // The style word of every form dialog: visible, caption, modal frame.
    static constexpr std::uint32_t formDialogStyle = 0x10C00080;
    enum Result { NotShown = 0, Ok = 1, Cancel = 2 };

    explicit Dialog(const String& name, QWidget* owner = nullptr);
    ~Dialog() override;

    // Records the rectangle (template units) and the title; a dialog without
    // one is never shown.
    void setTemplate(QWidget* owner, const String& title, int x, int y, int width, int height, std::uint32_t style);
    bool hasTemplate() const { return m_templateDefined; }

    // 0 without a template; otherwise Ok or Cancel once the dialog closes.
    virtual int doModal();
    // The same window without blocking: the dialog for a long task, and the
    // way tests look at a dialog. False without a template.
    bool showModeless();

    virtual void onOK();
    virtual void onCancel();
    // How the dialog last closed: Ok, Cancel, or NotShown.
    int closeCode() const { return QDialog::result(); }

    const String& name() const { return m_name; }
    const String& title() const { return m_title; }
    QWidget* owner() const { return m_owner; }
    const QFont& dialogFont() const { return m_font; }
    // x, y, width, height in template units, as given.
    const QRect& templateRect() const { return m_templateRect; }
    std::uint32_t templateStyle() const { return m_style; }
    int unitsToPixelsX(int units) const;
    int unitsToPixelsY(int units) const;

protected:
    // Builds the dialog's own windows each time the dialog is about to show.
    virtual void createWindows() { }
    // Escape and the window's close box cancel like the Cancel button.
    void reject() override;

private:
    bool prepare();

    QFont m_font;
    QRect m_templateRect;
    QWidget* m_owner;
    String m_title;
    String m_name;
    std::uint32_t m_style = 0;
    bool m_templateDefined = false;
};

}
