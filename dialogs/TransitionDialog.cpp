#include "dialogs/TransitionDialog.h"

#include "core/AtomicFile.h"
#include "dialogs/FormElements.h"
#include "forms/FormChooser.h"
#include "forms/FormDocument.h"
#include "forms/FormStyle.h"
#include "forms/XmlForm.h"
#include "generate/ScriptRuntime.h"
#include "generate/Transitions.h"
#include "xml/Elements.h"

#include <QComboBox>

namespace lumavine {

namespace {

struct Choice {
    std::u16string_view value;
    std::u16string_view text;
};

// How the dialog offers one parameter: a list of values, or a number range.
struct Control {
    std::u16string_view kind;
    std::u16string_view parameter;
    std::u16string_view label;
    std::vector<Choice> choices;
    int low = 0;
    int high = 0;
};

const std::vector<Choice> motionInOut { { u"in", u"In" }, { u"out", u"Out" } };
const std::vector<Choice> orientations { { u"horizontal", u"Horizontal" }, { u"vertical", u"Vertical" } };
const std::vector<Choice> directions { { u"up", u"Up" }, { u"down", u"Down" }, { u"left", u"Left" },
    { u"right", u"Right" } };
const std::vector<Choice> overlaps { { u"0.0", u"None" }, { u".25", u"Small" }, { u".5", u"Normal" },
    { u".75", u"Large" }, { u"1.0", u"Largest" } };

const std::vector<Control>& controls()
{
    static const std::vector<Control> table {
        { u"barn", u"motion", u"Motion", motionInOut },
        { u"barn", u"orientation", u"Orientation", orientations },
        { u"blinds", u"bands", u"Bands", {}, 2, 10 },
        { u"blinds", u"direction", u"Direction", directions },
        { u"checkerboard", u"direction", u"Direction", directions },
        { u"checkerboard", u"squaresx", u"Squares X", {}, 2, 20 },
        { u"checkerboard", u"squaresy", u"Squares Y", {}, 2, 20 },
        { u"fade", u"overlap", u"Overlap", overlaps },
        { u"gradientwipe", u"gradientsize", u"Gradient Size", overlaps },
        { u"gradientwipe", u"wipestyle", u"Wipe Style", { { u"0", u"Left To Right" }, { u"1", u"Top To Bottom" } } },
        { u"gradientwipe", u"motion", u"Motion", { { u"forward", u"Forward" }, { u"reverse", u"Reverse" } } },
        { u"iris", u"irisstyle", u"Iris Style",
            { { u"diamond", u"Diamond" }, { u"circle", u"Circle" }, { u"cross", u"Cross" }, { u"plus", u"Plus" },
                { u"square", u"Square" }, { u"star", u"Star" } } },
        { u"iris", u"motion", u"Motion", motionInOut },
        { u"pixelate", u"maxsquare", u"Maximum Squares", {}, 2, 50 },
        { u"radialwipe", u"wipestyle", u"Wipe Style",
            { { u"clock", u"Clock" }, { u"wedge", u"Wedge" }, { u"radial", u"Radial" } } },
        { u"randombars", u"orientation", u"Orientation", orientations },
        { u"slide", u"slidestyle", u"Slide Style",
            { { u"hide", u"Hide" }, { u"push", u"Push" }, { u"swap", u"Swap" } } },
        { u"slide", u"bands", u"Bands", {}, 1, 50 },
        { u"spiral", u"gridsizex", u"Grid Size X", {}, 8, 64 },
        { u"spiral", u"gridsizey", u"Grid Size Y", {}, 8, 64 },
        { u"stretch", u"stretchstyle", u"Stretch Style",
            { { u"hide", u"Hide" }, { u"push", u"Push" }, { u"spin", u"Spin" } } },
        { u"strips", u"motion", u"Motion",
            { { u"leftup", u"Left Up" }, { u"leftdown", u"Left Down" }, { u"rightup", u"Right Up" },
                { u"rightdown", u"Right Down" } } },
        { u"wheel", u"spokes", u"Spokes", {}, 2, 20 },
        { u"zigzag", u"gridsizex", u"Grid Size X", {}, 8, 64 },
        { u"zigzag", u"gridsizey", u"Grid Size Y", {}, 8, 64 },
    };
    return table;
}

const std::vector<Choice> speeds { { u".1", u"Extremely Fast" }, { u".5", u"Very Fast" }, { u".8", u"Fast" },
    { u"1.0", u"Normal" }, { u"1.5", u"Slow" }, { u"2.0", u"Very Slow" }, { u"5.0", u"Extremely Slow" } };

struct Box {
    std::u16string_view kind;
    std::u16string_view caption;
    int height;
};

constexpr Box boxes[] = { { u"barn", u"Barn Parameters", 210 }, { u"blinds", u"Blinds Parameters", 210 },
    { u"checkerboard", u"Checkerboard Parameters", 250 }, { u"fade", u"Fade Parameters", 180 },
    { u"gradientwipe", u"Gradient Wipe Parameters", 250 }, { u"inset", u"Inset Parameters", 140 },
    { u"iris", u"Iris Parameters", 220 }, { u"pixelate", u"Pixelate Parameters", 180 },
    { u"radialwipe", u"Radial Wipe Parameters", 180 }, { u"randombars", u"Random Bars Parameters", 180 },
    { u"randomdissolve", u"Random Dissolve Parameters", 180 }, { u"slide", u"Slide Parameters", 220 },
    { u"spiral", u"Spiral Parameters", 220 }, { u"stretch", u"Stretch Parameters", 180 },
    { u"strips", u"Strips Parameters", 180 }, { u"wheel", u"Wheel Parameters", 180 },
    { u"zigzag", u"Zigzag Parameters", 220 } };

// A row of a kind's box: the label at the left, its control at 140.
Element* labelled(Element* box, const String& name, std::u16string_view text, int top)
{
    return FormElements::label(box, name, text, 10, top, 130);
}

Element* dropDown(Element* box, const String& name, int top)
{
    return FormElements::dropDown(box, name, 140, top, 170, 200);
}

void addChoices(Element* select, const std::vector<Choice>& choices, const String& current)
{
    bool any = false;
    for (const Choice& choice : choices)
        any = any || current.equals(choice.value);
    bool first = true;
    for (const Choice& choice : choices) {
        Element* option = addElement(select, u"option", String(choice.text));
        option->setAttribute(u"value", String(choice.value));
        if (any ? current.equals(choice.value) : first)
            option->setAttribute(u"selected", u"true");
        first = false;
    }
}

String settingOf(Transitions& transitions, std::u16string_view kind, std::u16string_view name)
{
    const Properties* settings = transitions.settings(kind);
    return settings ? settings->get(name) : String();
}

}

TransitionDialog::TransitionDialog(Transitions& transitions, const String& installationDirectory, QWidget* parent)
    : XmlDialog(parent, u"Transition", nullptr)
    , m_transitions(transitions)
    , m_installation(installationDirectory)
    , m_formDocument(u"dialog")
{
    Element* form = FormElements::frame(m_formDocument, String(u"Edit Transitions"), 240, 240, String(u"Transitions"));

    const String remembered = transitions.rememberedKind();
    Element* typeBox = FormElements::groupBox(form, u"Transition", u"Transition", 10, 10, 320, 60);
    labelled(typeBox, String(u"transition"), u"Type", 25);
    Element* types = dropDown(typeBox, String(u"transition"), 25);
    for (const TransitionKind& kind : Transitions::kinds()) {
        if (kind.key == u"none")
            continue;
        Element* option = addElement(types, u"option", String(kind.text));
        option->setAttribute(u"value", String(kind.key));
        if (remembered.equalsIgnoreCase(kind.key))
            option->setAttribute(u"selected", u"true");
    }

    for (const Box& each : boxes) {
        const String kind(each.kind);
        Element* box = FormElements::groupBox(form, kind, each.caption, 10, 80, 320, each.height);
        if (!remembered.equalsIgnoreCase(kind))
            box->setAttribute(u"visibility", u"hidden");
        int top = 25;
        for (const Control& control : controls()) {
            if (control.kind != each.kind)
                continue;
            const String name = kind + u"-" + String(control.parameter);
            labelled(box, name, control.label, top);
            const String current = settingOf(transitions, each.kind, control.parameter);
            if (!control.choices.empty()) {
                addChoices(dropDown(box, name, top), control.choices, current);
            } else {
                FormElements::spin(box, name, current, 140, top, 170, control.low, control.high);
            }
            top += 40;
        }
        const String speed = kind + u"-iduration";
        labelled(box, speed, u"Speed", top);
        String duration = settingOf(transitions, each.kind, u"iduration");
        addChoices(dropDown(box, speed, top), speeds, duration.empty() ? String(u"1.0") : duration);
        top += 40;
        const String clear = kind + u"-clear";
        labelled(box, clear, u"Clear Frame", top);
        FormElements::checkBox(
            box, clear, u"", settingOf(transitions, each.kind, u"clear").equals(u"true"), 140, top, 170);
        FormElements::button(box, kind + u"-show", u"Show Me", 10, top + 30, 100, 25);
    }
    FormDocument::addStandardButtons(form, 350);
    setListener(this);
    loadForms(&m_formDocument);
}

TransitionDialog::~TransitionDialog()
{
    clearForms();
}

int TransitionDialog::doModal()
{
    const int answer = XmlDialog::doModal();
    if (answer != Ok || !resultRoot())
        return answer;
    for (Node* node : resultRoot()->childNodes()) {
        const Element* value = node->asElement();
        if (!value)
            continue;
        const String& name = value->tagName();
        const size_t dash = name.find(u'-');
        if (dash == String::npos)
            continue;
        m_transitions.setSetting(name.substring(0, dash), name.substring(dash + 1), getText(value));
    }
    return answer;
}

bool TransitionDialog::comboSelected(XmlForm* form, QComboBox* combo, int index, const String& name, Element*)
{
    if (!form || !combo || !name.equalsIgnoreCase(u"transition") || index < 0)
        return false;
    showKind(form->valueOf(u"transition"));
    return true;
}

void TransitionDialog::showKind(const String& kind)
{
    m_transitions.setRememberedKind(kind);
    XmlForm* form = formAt(0);
    if (!form)
        return;
    for (const Box& each : boxes)
        if (QWidget* box = form->findControl(each.kind))
            box->setVisible(kind.equalsIgnoreCase(each.kind));
    update();
}

String TransitionDialog::controlValue(const String& name) const
{
    XmlForm* form = formAt(0);
    return form ? form->valueOf(name) : String();
}

String TransitionDialog::previewFilter(const String& kind) const
{
    const TransitionKind* found = Transitions::findKind(kind);
    if (!found || kind.equals(u"none"))
        return String();
    if (kind.equals(u"inset"))
        return String(u"Inset()");
    // The function's name as the text shows it, without blanks.
    String name(found->text);
    if (kind.equals(u"checkerboard"))
        name = String(u"Checkerboard");
    String text = name + u"(";
    bool first = true;
    for (const TransitionParameter& parameter : found->parameters) {
        text.append(String(first ? u"" : u"',") + String(parameter.name) + u"='");
        text.append(controlValue(kind + u"-" + String(parameter.name)));
        first = false;
    }
    return text + u"')";
}

String TransitionDialog::previewPage(const String& filter, double seconds, bool clear)
{
    const String d = Transitions::durationText(seconds);
    const String every = Transitions::durationText((seconds + 1) * 1000);
    String page = u"<html>\n<head>\n<script>\nvar\ttoggle = 1;\nvar\tinterval = null;\nfunction\ntransition()\n{\n"
                  u"\tvar\tcontainer = document.getElementById('container');\n"
                  u"\tvar\tspan = document.getElementById('thespan');\n"
                  u"\tvar\timage = document.getElementById('theimage');\n"
                  u"\tvar\tcaption = document.getElementById('thecaption');\n"
                  u"\ttoggle ^= 1;\n";
    if (clear)
        page.append(u"\tspan.style.backgroundColor = '#ffffff';\n\timage.style.display = 'none';\n"
                    u"\tcaption.style.display = 'none';\n");
    // Browsers without the filters play the page runtime's own effect.
    String quoted = filter;
    quoted.replaceAll(u"\\", u"\\\\").replaceAll(u"\"", u"\\\"").replaceAll(u"<", u"\\x3c");
    page.append(u"\tif (container.filters) container.filters[0].apply();\n");
    page.append(u"\telse effect_begin(container, \"" + quoted + u"\", " + d + u");\n");
    if (clear)
        page.append(u"\timage.style.display = 'block';\n\tcaption.style.display = 'block';\n");
    page.append(u"\tif (toggle == 1)\n\t{\n\t\tspan.style.backgroundColor = '#ff0000';\n"
                u"\t\timage.src = 'images/one.jpg';\n\t\tcaption.innerHTML = 'Sunrise';\n\t}\n\telse\n\t{\n"
                u"\t\tspan.style.backgroundColor = '#ffff00';\n\t\timage.src = 'images/two.jpg';\n"
                u"\t\tcaption.innerHTML = 'Sunset';\n\t}\n");
    page.append(u"\tif (container.filters) container.filters[0].play(" + d + u");\n");
    page.append(u"\tif (interval != null) clearInterval(interval);\n\tinterval = setInterval('transition()'," + every
        + u");\n}\n</script>\n<script>\n");
    page.append(String::fromNarrow(ScriptRuntime::sectionSource(u"effects")));
    page.append(u"</script>\n</head>\n");
    page.append(u"<body style=\"font-family:tahoma;font-size:12pt;text-align:center\" "
                u"onload='javascript:transition()'>\n");
    page.append(u"<span id=\"container\" "
                u"style=\"display:inline-block;width:400px;height:300px;border-width:2pt;border-color:#ffffff;"
                u"border-style:outset;filter:progid:DXImageTransform.Microsoft."
        + filter + u"\">\n");
    page.append(u"<span id=\"thespan\" "
                u"style=\"display:inline-block;background:#ff0000;width:100%;height:100%;text-align:center\">\n"
                u"<img id=\"theimage\" width=\"250\" src=\"images/one.jpg\" "
                u"style=\"border-width:0pt;border-color:#ffffff;border-style:outset\" />\n<br>\n"
                u"<span id=\"thecaption\">Sunrise</span>\n</span>\n</span>\n</body>\n</html>\n");
    return page;
}

bool TransitionDialog::buttonClicked(XmlForm*, const String& name, Element*)
{
    const size_t at = name.find(u"-show");
    if (at == String::npos)
        return false;
    const String kind = name.substring(0, at);
    double seconds = 1;
    if (!controlValue(kind + u"-iduration").trim().readDouble(seconds))
        seconds = 1;
    const String page = previewPage(previewFilter(kind), seconds, controlValue(kind + u"-clear").equals(u"true"));
    String folder = m_installation;
    if (!folder.empty() && !folder.endsWith(u"/"))
        folder.push_back(u'/');
    const String file = folder + u"transition.html";
    writeFileAtomically(file.toNarrow(), page.toNarrow());
    FormChooser::current().open(this, file);
    return true;
}

}
