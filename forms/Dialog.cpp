#include "forms/Dialog.h"

#include "forms/QtText.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

namespace lumavine {

static QFont makeDialogFont()
{
    // Tahoma is rarely installed here; the platform's sans-serif face stands
    // in, condensed where it has such a face, since forms are laid out in
    // pixels for Tahoma's narrow letters.
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(10);
    if (!QFontDatabase::hasFamily(font.family()))
        font.setStretch(QFont::SemiCondensed);
    return font;
}

Dialog::Dialog(const String& name, QWidget* owner)
    : QDialog(owner)
    , m_font(makeDialogFont())
    , m_owner(owner)
    , m_name(name)
{
    setFont(m_font);
}

Dialog::~Dialog() = default;

void Dialog::setTemplate(QWidget* owner, const String& title, int x, int y, int width, int height, std::uint32_t style)
{
    m_owner = owner;
    m_title = title;
    m_templateRect = QRect(x, y, width, height);
    m_style = style;
    m_templateDefined = true;
}

int Dialog::unitsToPixelsX(int units) const
{
    // The average of the letters, as the platform measured its dialog base unit.
    QFontMetrics metrics(m_font);
    static const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    int average = (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
    return units * average / 4;
}

int Dialog::unitsToPixelsY(int units) const
{
    return units * QFontMetrics(m_font).height() / 8;
}

bool Dialog::prepare()
{
    if (!m_templateDefined)
        return false;
    setWindowTitle(toQString(m_title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QPoint origin(unitsToPixelsX(m_templateRect.x()), unitsToPixelsY(m_templateRect.y()));
    if (m_owner)
        origin += m_owner->mapToGlobal(QPoint(0, 0));
    setFixedSize(unitsToPixelsX(m_templateRect.width()), unitsToPixelsY(m_templateRect.height()));
    move(origin);
    createWindows();
    return true;
}

int Dialog::doModal()
{
    if (!prepare())
        return NotShown;
    return exec();
}

bool Dialog::showModeless()
{
    if (!prepare())
        return false;
    show();
    return true;
}

void Dialog::onOK()
{
    done(Ok);
    if (m_owner)
        m_owner->setFocus();
}

void Dialog::onCancel()
{
    done(Cancel);
    if (m_owner)
        m_owner->setFocus();
}

void Dialog::reject()
{
    onCancel();
}

}
