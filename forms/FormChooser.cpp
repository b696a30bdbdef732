#include "forms/FormChooser.h"

#include "core/Tokenizer.h"
#include "forms/QtText.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace lumavine {

bool FormChooser::chooseColor(QWidget* parent, std::uint32_t& rgb)
{
    QColor chosen = QColorDialog::getColor(QColor::fromRgb(rgb | 0xFF000000u), parent);
    if (!chosen.isValid())
        return false;
    rgb = chosen.rgb() | 0xFF000000u;
    return true;
}

bool FormChooser::chooseFile(QWidget* parent, const String& defaultExtension, const String& filters, String& path)
{
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(toQString(defaultExtension));
    String filter = toFileDialogFilter(filters);
    if (!filter.empty())
        dialog.setNameFilter(toQString(filter));
    const QString start = toQString(path);
    if (!start.isEmpty() && QFileInfo(start).isDir())
        dialog.setDirectory(start);
    else if (!start.isEmpty())
        dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = fromQString(dialog.selectedFiles().first());
    return true;
}

bool FormChooser::chooseFiles(QWidget* parent, const String& filters, std::vector<String>& paths)
{
    const QStringList chosen
        = QFileDialog::getOpenFileNames(parent, QString(), QString(), toQString(toFileDialogFilter(filters)));
    paths.clear();
    for (const QString& path : chosen)
        paths.push_back(fromQString(path));
    return !paths.empty();
}

bool FormChooser::chooseDirectory(QWidget* parent, const String& title, String& path)
{
    QString chosen = QFileDialog::getExistingDirectory(parent, toQString(title), toQString(path));
    if (chosen.isEmpty())
        return false;
    path = fromQString(chosen);
    return true;
}

bool FormChooser::open(QWidget*, const String& location)
{
    QString text = toQString(location);
    QUrl url = text.contains(QLatin1String("://")) ? QUrl(text) : QUrl::fromLocalFile(text);
    return QDesktopServices::openUrl(url);
}

String FormChooser::toFileDialogFilter(const String& filters)
{
    // Pairs of description and patterns; the patterns the platform wants are
    // blank-separated inside parentheses after the description.
    Tokenizer items(filters, u"|");
    items.setFlag(Tokenizer::SkipEmpty, true);
    String out;
    while (const String* description = items.next()) {
        String label = *description;
        const String* patterns = items.next();
        if (!patterns)
            break;
        String list = *patterns;
        list.replaceChar(u';', u' ');
        if (!out.empty())
            out.append(u";;");
        // A description that already shows its patterns keeps them once.
        size_t open = label.find(u'(');
        if (open != String::npos)
            label = label.substring(0, open).trim();
        out.append(label).append(u" (").append(list).append(u")");
    }
    return out;
}

static FormChooser* installedChooser = nullptr;

FormChooser& FormChooser::current()
{
    static FormChooser platformChooser;
    return installedChooser ? *installedChooser : platformChooser;
}

void FormChooser::setCurrent(FormChooser* chooser)
{
    installedChooser = chooser;
}

}
