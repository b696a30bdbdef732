#pragma once

#include "app/PublishRun.h"
#include "forms/XmlDialogListener.h"
#include "xml/Document.h"

#include <QObject>
#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QWidget;

namespace lumavine {

class XmlDialog;
class XmlDialogThread;

// The designer's side of one publish run: the status window "Publish Web
// Page" stays on the main thread while the run uploads on a worker thread of
// its own, so the designer stays usable. The window's Cancel asks the run to
// stop when its current upload ends; once the run is over, Ok or Cancel
// closes the window.
class PublishSession : public QObject, private QuietDialogListener {
    Q_OBJECT

public:
    // `account` names the login when the user is asked for its password
    // ("ann@ftp.example.org").
    PublishSession(QWidget* owner, std::unique_ptr<PublishRun> run, String account);
    // Cancels a run still going and waits for it to end.
    ~PublishSession() override;
    PublishSession(const PublishSession&) = delete;
    PublishSession& operator=(const PublishSession&) = delete;

    // Opens the status window and starts the run; false when the window
    // cannot be built.
    bool start();
    bool isRunning() const { return m_running; }
    void cancel();
    // The status lines so far, in order.
    const QStringList& lines() const { return m_lines; }
    // Null once the user has closed it.
    XmlDialog* statusWindow() const;
    const PublishRun& run() const { return *m_run; }

signals:
    // The run is over; `succeeded` only when every file arrived.
    void finished(bool succeeded);

private:
    bool buttonClicked(XmlForm* form, const String& name, Element* element) override;
    void addLine(const String& line);
    // Called on the worker; asks the user on the main thread and waits for
    // the answer, or for a cancel.
    std::optional<String> askPassword();
    void runEnded(bool succeeded);

    QWidget* m_owner;
    String m_account;
    std::unique_ptr<PublishRun> m_run;
    Document m_formDocument;
    std::unique_ptr<XmlDialogThread> m_window;
    std::thread m_worker;
    bool m_running = false;
    QStringList m_lines;

    std::mutex m_mutex;
    std::condition_variable m_answered;
    // Set when the user has answered the password question.
    std::optional<std::optional<String>> m_password;
};

}
