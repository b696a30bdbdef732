#pragma once

#include "core/String.h"

#include <QImage>
#include <QWidget>

namespace lumavine {

// A picture thumbnail. Unless browsing is switched off, a strip along its
// bottom edge answers clicks as a press of the thumbnail (the owner then
// offers a picture file to choose).
class XmlFormImage : public QWidget {
    Q_OBJECT

public:
    explicit XmlFormImage(QWidget* parent = nullptr);

    // A relative path is taken from the root folder; false when no picture loads.
    bool load(const String& path, const String& root);
    void clear();
    bool hasPicture() const { return !m_picture.isNull(); }
    const QImage& picture() const { return m_picture; }
    // The path the picture was loaded from, after resolving.
    const String& location() const { return m_location; }
    // The picture's scale on screen; 0 without a picture.
    double displayRatio() const { return m_ratio; }
    bool canBrowse() const { return m_browse; }
    void setBrowse(bool on);
    // The strip along the bottom that offers browsing; empty when off.
    QRect browseStrip() const;

    static String resolve(const String& path, const String& root);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateRatio();

    QImage m_picture;
    String m_location;
    double m_ratio = 0;
    bool m_browse = true;
};

}
