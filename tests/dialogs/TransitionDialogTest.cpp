#include "dialogs/TransitionDialog.h"
#include "forms/FormChooser.h"
#include "forms/XmlForm.h"
#include "generate/Transitions.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/WhenShown.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>
#include <string>

namespace lumavine {
namespace {

using test::WhenShown;

// Remembers what the desktop was asked to open instead of opening it.
class Opened : public FormChooser {
public:
    Opened() { setCurrent(this); }
    ~Opened() override { setCurrent(nullptr); }
    bool open(QWidget*, const String& location) override
    {
        locations.push_back(location);
        return true;
    }
    std::vector<String> locations;
};

void choose(XmlForm& form, std::u16string_view kind)
{
    auto* list = qobject_cast<QComboBox*>(form.findControl(u"transition"));
    ASSERT_NE(list, nullptr);
    const int index = list->findText(QString::fromStdU16String(std::u16string(kind)));
    ASSERT_GE(index, 0);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

bool shown(XmlForm& form, std::u16string_view kind)
{
    QWidget* box = form.findControl(kind);
    return box && box->isVisible();
}

TEST(TransitionDialog, OneKindShowsAtATimeAndOkStoresItsSettings)
{
    Transitions transitions;
    transitions.resetAll();
    test::TemporaryFolder installation { "lumavine-transitions" };
    bool barnFirst = false;
    bool fadeAfter = false;
    {
        TransitionDialog dialog(transitions, String::fromNarrow(installation.path().string()));
        WhenShown<TransitionDialog> user([&](TransitionDialog& open) {
            XmlForm& form = *open.formAt(0);
            barnFirst = shown(form, u"barn") && !shown(form, u"fade");
            choose(form, u"Fade");
            fadeAfter = shown(form, u"fade") && !shown(form, u"barn");
            form.setValue(u"fade-overlap", String(u".5"));
            open.onCancel();
        });
        EXPECT_EQ(dialog.doModal(), Dialog::Cancel);
    }
    EXPECT_TRUE(barnFirst);
    EXPECT_TRUE(fadeAfter);
    // Cancelled: nothing stored, but the kind chosen is the one shown next.
    EXPECT_EQ(transitions.rememberedKind(), u"fade");
    EXPECT_TRUE(transitions.settings(u"fade")->get(u"overlap").empty());

    Opened opened;
    std::string preview;
    {
        TransitionDialog dialog(transitions, String::fromNarrow(installation.path().string()));
        WhenShown<TransitionDialog> user([&](TransitionDialog& open) {
            XmlForm& form = *open.formAt(0);
            EXPECT_TRUE(shown(form, u"fade"));
            form.setValue(u"fade-overlap", String(u".5"));
            form.setValue(u"fade-iduration", String(u".5"));
            form.setValue(u"fade-clear", String(u"true"));
            QTest::mouseClick(form.findControl(u"fade-show"), Qt::LeftButton);
            preview = test::readFile((installation.path() / "transition.html").string());
            QTest::mouseClick(form.findControl(u"ok"), Qt::LeftButton);
        });
        EXPECT_EQ(dialog.doModal(), Dialog::Ok);
    }
    EXPECT_EQ(transitions.filterText(u"fade"), u"progid:DXImageTransform.Microsoft.fade(overlap='.5')");
    EXPECT_EQ(transitions.duration(u"fade"), 0.5);
    EXPECT_EQ(transitions.clearText(u"fade"), u"true");
    // The preview shows the chosen values, and the desktop was asked to open it.
    ASSERT_EQ(opened.locations.size(), 1u);
    EXPECT_FALSE(preview.empty()) << opened.locations[0].toNarrow();
    EXPECT_TRUE(opened.locations[0].endsWith(u"/transition.html"));
    EXPECT_NE(preview.find("filter:progid:DXImageTransform.Microsoft.Fade(overlap='.5')\">"), std::string::npos);
    EXPECT_NE(preview.find("play(0.5);"), std::string::npos);
    EXPECT_NE(preview.find("setInterval('transition()',1500);"), std::string::npos);
    EXPECT_NE(preview.find("image.style.display = 'none';"), std::string::npos);
}

}
}
