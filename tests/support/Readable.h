#pragma once

#include "forms/XmlDialog.h"
#include "forms/XmlForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>
#include <string>

namespace lumavine::test {

// Every named control lies inside the window that holds it, and the texts of
// labels, check boxes and lists have the room they need, so nothing a person
// reads is cut off. Answers how many controls were checked.
inline int expectReadable(QWidget* form)
{
    int checked = 0;
    for (QWidget* child : form->findChildren<QWidget*>()) {
        if (child->objectName().isEmpty() || !child->isVisible())
            continue;
        QWidget* window = child->parentWidget();
        if (window != form && window->parentWidget() != form)
            continue;
        const std::string name = child->objectName().toStdString();
        EXPECT_TRUE(window->rect().contains(child->geometry())) << name;
        if (qobject_cast<QLabel*>(child) || qobject_cast<QCheckBox*>(child) || qobject_cast<QComboBox*>(child)) {
            EXPECT_LE(child->sizeHint().width(), child->width()) << name;
        }
        ++checked;
    }
    return checked;
}

// The same on every tab of a dialog that shows, each chosen in turn.
inline int expectEveryTabReadable(XmlDialog& dialog)
{
    int checked = 0;
    for (size_t i = 0; i < dialog.formCount(); ++i) {
        XmlForm* form = dialog.formAt(i);
        SCOPED_TRACE(form->name().toNarrow());
        if (dialog.formCount() > 1)
            dialog.selectForm(form->name());
        QApplication::processEvents();
        checked += expectReadable(form);
    }
    return checked;
}

}
