#pragma once

#include "core/String.h"
#include "picture/BorderProperties.h"

#include <QWidget>
#include <utility>
#include <vector>

namespace lumavine {

// A preview of a border: the client area filled white with the border drawn
// round its edge, as the canvas draws the border of a box. It starts from a
// border text and follows the border controls of its form as they change.
class XmlFormBorder : public QWidget {
    Q_OBJECT

public:
    explicit XmlFormBorder(QWidget* parent = nullptr);

    // The border the preview starts from; changes on top of it are dropped.
    void setDescription(std::u16string_view text);
    const String& description() const { return m_description; }
    // The starting border with the given keys applied over it, as the border
    // controls give them; keys with empty values are left alone.
    void showChanges(const std::vector<std::pair<String, String>>& changes);
    const BorderProperties& border() const { return m_border; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    String m_description;
    BorderProperties m_border;
};

}
