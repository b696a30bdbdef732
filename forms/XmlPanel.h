#pragma once

#include "core/String.h"

#include <QWidget>

namespace lumavine {

class XmlForm;

// A group box: a caption band over its own controls, which are placed
// relative to it.
class XmlPanel : public QWidget {
    Q_OBJECT

public:
    XmlPanel(XmlForm* form, const String& caption, QWidget* parent);

    const String& caption() const { return m_caption; }
    void setCaption(const String& caption)
    {
        m_caption = caption;
        update();
    }
    // The height of the caption band: the font's height and 10 pixels.
    int captionHeight() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    XmlForm* m_form;
    String m_caption;
};

}
