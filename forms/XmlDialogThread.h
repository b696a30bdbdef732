#pragma once

#include "core/String.h"

#include <QObject>
#include <functional>
#include <memory>

class QWidget;

namespace lumavine {

class Document;
class XmlDialog;
class XmlDialogListener;

// A dialog that stays up beside a long task (the publish status window).
// Widgets live on the main thread only, so the dialog runs there, modeless;
// the task runs on a worker thread and reaches the dialog through post().
// The owner keeps this object for as long as the task runs.
class XmlDialogThread : public QObject {
    Q_OBJECT

public:
    // The form document must outlive the running dialog.
    XmlDialogThread(QWidget* parent, const String& dialogName, Document* formDocument, XmlDialogListener* listener);
    ~XmlDialogThread() override;

    // Builds the dialog and shows it; the caller keeps running. False when a
    // dialog is already running or the document makes no dialog.
    bool start();
    // The running dialog, or null before start and once it has closed. Main thread only.
    XmlDialog* dialog() const { return m_dialog.get(); }
    bool isRunning() const { return m_dialog != nullptr; }
    // From any thread: runs the call on the main thread with the dialog, in
    // the order posted, unless the dialog has closed by the time it arrives.
    void post(std::function<void(XmlDialog&)> call);
    // From any thread: closes the dialog as its Ok button would, without a
    // result document, when the task is done.
    void finish();

signals:
    // The dialog has closed (Ok or Cancel) and is gone.
    void finished(int closeCode);

private:
    void dialogClosed(int closeCode);

    QWidget* m_parent;
    String m_dialogName;
    Document* m_formDocument;
    XmlDialogListener* m_listener;
    std::unique_ptr<XmlDialog> m_dialog;
};

}
