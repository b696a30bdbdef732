#include "app/PublishSession.h"

#include "dialogs/FormElements.h"
#include "forms/FormStyle.h"
#include "forms/QtText.h"
#include "forms/XmlDialog.h"
#include "forms/XmlDialogThread.h"
#include "xml/Elements.h"

#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <chrono>

namespace lumavine {

using namespace FormElements;

PublishSession::PublishSession(QWidget* owner, std::unique_ptr<PublishRun> run, String account)
    : m_owner(owner)
    , m_account(std::move(account))
    , m_run(std::move(run))
    , m_formDocument(u"dialog")
{
    Element* form = frame(m_formDocument, String(u"Publish Web Page"), 325, 300, String(u"publish"));
    Element* box = groupBox(form, u"PublishBox", u"Publish Status", 10, 10, 450, 400);
    Element* list = addElement(box, u"list");
    list->setAttribute(u"name", u"status");
    list->setAttribute(u"style", FormStyle::format(10, 30, 430, 360));
    button(form, u"ok", u"Ok", 10, 430, 80, 25);
    button(form, u"cancelpublish", u"Cancel", 100, 430, 80, 25);

    m_run->setStatusSink([this](const String& line) {
        QMetaObject::invokeMethod(
            this, [this, line] { addLine(line); }, Qt::QueuedConnection);
    });
    m_run->setPasswordPrompt([this] { return askPassword(); });
}

PublishSession::~PublishSession()
{
    cancel();
    if (m_worker.joinable())
        m_worker.join();
}

bool PublishSession::start()
{
    if (m_running || m_worker.joinable())
        return false;
    XmlDialogListener* listener = this;
    m_window = std::make_unique<XmlDialogThread>(m_owner, String(u"publish"), &m_formDocument, listener);
    if (!m_window->start())
        return false;
    m_running = true;
    m_worker = std::thread([this] {
        const bool succeeded = m_run->run();
        QMetaObject::invokeMethod(
            this, [this, succeeded] { runEnded(succeeded); }, Qt::QueuedConnection);
    });
    return true;
}

void PublishSession::cancel()
{
    m_run->cancel();
    // A question still open on the main thread is answered "no password".
    std::lock_guard lock(m_mutex);
    m_answered.notify_all();
}

XmlDialog* PublishSession::statusWindow() const
{
    return m_window ? m_window->dialog() : nullptr;
}

void PublishSession::addLine(const String& line)
{
    const QString text = toQString(line);
    m_lines.append(text);
    XmlDialog* window = statusWindow();
    auto* list = window ? qobject_cast<QListWidget*>(window->findControl(u"status")) : nullptr;
    if (!list)
        return;
    list->addItem(text);
    // The line added is selected, so that the list scrolls to it.
    list->setCurrentRow(list->count() - 1);
}

bool PublishSession::buttonClicked(XmlForm*, const String& name, Element*)
{
    if (!name.equals(u"cancelpublish"))
        return false;
    if (m_running) {
        cancel();
        // The run stops when its current upload ends; until then the
        // button shows that it was heard.
        if (XmlDialog* window = statusWindow())
            if (QWidget* button = window->findControl(u"cancelpublish"))
                button->setEnabled(false);
    } else if (m_window) {
        m_window->finish();
    }
    return true;
}

std::optional<String> PublishSession::askPassword()
{
    {
        std::lock_guard lock(m_mutex);
        m_password.reset();
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
            QPointer<PublishSession> self(this);
            bool given = false;
            QWidget* parent = statusWindow() ? static_cast<QWidget*>(statusWindow()) : m_owner;
            const QString password = QInputDialog::getText(parent, QGuiApplication::applicationDisplayName(),
                tr("Password for %1:").arg(toQString(m_account)), QLineEdit::Password, QString(), &given);
            // The session may have gone while the question was open.
            if (!self)
                return;
            std::lock_guard lock(m_mutex);
            m_password = given ? std::optional<String>(fromQString(password)) : std::nullopt;
            m_answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_answered.wait(lock, [this] { return m_password.has_value() || m_run->cancelRequested(); });
    if (!m_password)
        return std::nullopt;
    return *m_password;
}

void PublishSession::runEnded(bool succeeded)
{
    if (m_worker.joinable())
        m_worker.join();
    m_running = false;
    if (XmlDialog* window = statusWindow())
        if (QWidget* button = window->findControl(u"cancelpublish"))
            button->setEnabled(true);
    emit finished(succeeded);
}

}
