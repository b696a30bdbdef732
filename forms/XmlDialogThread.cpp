#include "forms/XmlDialogThread.h"

#include "forms/XmlDialog.h"

namespace lumavine {

XmlDialogThread::XmlDialogThread(
    QWidget* parent, const String& dialogName, Document* formDocument, XmlDialogListener* listener)
    : m_parent(parent)
    , m_dialogName(dialogName)
    , m_formDocument(formDocument)
    , m_listener(listener)
{
}

XmlDialogThread::~XmlDialogThread()
{
    if (m_dialog)
        QObject::disconnect(m_dialog.get(), nullptr, this, nullptr);
}

bool XmlDialogThread::start()
{
    if (m_dialog)
        return false;
    auto dialog = std::make_unique<XmlDialog>(m_parent, m_dialogName, m_formDocument, m_listener);
    connect(dialog.get(), &QDialog::finished, this, &XmlDialogThread::dialogClosed);
    if (!dialog->showModeless())
        return false;
    m_dialog = std::move(dialog);
    return true;
}

void XmlDialogThread::dialogClosed(int closeCode)
{
    if (!m_dialog)
        return;
    QObject::disconnect(m_dialog.get(), nullptr, this, nullptr);
    // The close may come from one of the dialog's own buttons, which is still
    // in its click handler: the dialog goes once that has returned.
    m_dialog.release()->deleteLater();
    emit finished(closeCode);
}

void XmlDialogThread::post(std::function<void(XmlDialog&)> call)
{
    QMetaObject::invokeMethod(
        this,
        [this, call = std::move(call)] {
            if (m_dialog)
                call(*m_dialog);
        },
        Qt::QueuedConnection);
}

void XmlDialogThread::finish()
{
    post([](XmlDialog& dialog) { dialog.Dialog::onOK(); });
}

}
