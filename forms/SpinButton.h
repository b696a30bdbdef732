#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace lumavine {

// The small up and down arrows beside an edit: they step the integer in
// their buddy edit through a range, wrapping at its ends, and the buddy's
// arrow keys do the same.
class SpinButton : public QWidget {
    Q_OBJECT

public:
    explicit SpinButton(QWidget* parent = nullptr);

    void setRange(int low, int high);
    int low() const { return m_low; }
    int high() const { return m_high; }
    void setBuddy(QLineEdit* buddy);
    QLineEdit* buddy() const { return m_buddyGuard ? m_buddy : nullptr; }
    // Moves the buddy's value by `steps`, wrapping within the range.
    void step(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The guard is typed QObject so that an edit in the middle of being
    // destroyed is never cast down to one.
    QLineEdit* m_buddy = nullptr;
    QPointer<QObject> m_buddyGuard;
    int m_low = 0;
    int m_high = 100;
};

}
