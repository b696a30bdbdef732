#pragma once

#include <QWidget>
#include <cstdint>

namespace lumavine {

// A colour swatch; a click on it counts as a press.
class XmlFormColor : public QWidget {
    Q_OBJECT

public:
    explicit XmlFormColor(QWidget* parent = nullptr);

    std::uint32_t color() const { return m_color; }
    void setColor(std::uint32_t argb);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::uint32_t m_color = 0xFF000000;
};

}
