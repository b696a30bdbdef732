#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace lumavine::test {

// Acts once on the first modal window of type T that the event loop shows,
// as a person at the screen would: the code under test opens its dialog and
// waits in it, and this answers it.
template<class T>
class WhenShown {
public:
    explicit WhenShown(std::function<void(T&)> act) : m_act(std::move(act))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!window || m_done)
                return;
            m_done = true;
            m_timer.stop();
            m_act(*window);
        });
        m_timer.start(5);
    }
    bool done() const { return m_done; }

private:
    std::function<void(T&)> m_act;
    QTimer m_timer;
    bool m_done = false;
};

}
