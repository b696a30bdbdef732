#include "generate/Transitions.h"

#include "xml/Elements.h"

#include <charconv>
#include <cmath>

namespace lumavine {

namespace {

constexpr TransitionParameter barnParameters[] = { { u"motion", u"in" }, { u"orientation", u"horizontal" } };
constexpr TransitionParameter blindsParameters[] = { { u"bands", u"8" }, { u"direction", u"up" } };
constexpr TransitionParameter checkerboardParameters[]
    = { { u"direction", u"up" }, { u"squaresx", u"8" }, { u"squaresy", u"8" } };
constexpr TransitionParameter fadeParameters[] = { { u"overlap", u"1.0" } };
constexpr TransitionParameter gradientwipeParameters[]
    = { { u"gradientsize", u"50" }, { u"wipestyle", u"0" }, { u"motion", u"forward" } };
constexpr TransitionParameter irisParameters[] = { { u"irisstyle", u"diamond" }, { u"motion", u"in" } };
constexpr TransitionParameter pixelateParameters[] = { { u"maxsquare", u"10" } };
constexpr TransitionParameter radialwipeParameters[] = { { u"wipestyle", u"clock" } };
constexpr TransitionParameter randombarsParameters[] = { { u"orientation", u"horizontal" } };
constexpr TransitionParameter randomdissolveParameters[] = { { u"duration", u"2" } };
constexpr TransitionParameter slideParameters[] = { { u"slidestyle", u"push" }, { u"bands", u"1" } };
constexpr TransitionParameter spiralParameters[] = { { u"gridsizex", u"10" }, { u"gridsizey", u"10" } };
constexpr TransitionParameter stretchParameters[] = { { u"stretchstyle", u"hide" } };
constexpr TransitionParameter stripsParameters[] = { { u"motion", u"leftdown" } };
constexpr TransitionParameter wheelParameters[] = { { u"spokes", u"4" } };
constexpr TransitionParameter zigzagParameters[] = { { u"gridsizex", u"8" }, { u"gridsizey", u"8" } };

const TransitionKind kindTable[] = {
    { u"none", u"None", {} },
    { u"barn", u"Barn", barnParameters },
    { u"blinds", u"Blinds", blindsParameters },
    { u"checkerboard", u"CheckerBoard", checkerboardParameters },
    { u"fade", u"Fade", fadeParameters },
    { u"gradientwipe", u"GradientWipe", gradientwipeParameters },
    { u"inset", u"Inset", {} },
    { u"iris", u"Iris", irisParameters },
    { u"pixelate", u"Pixelate", pixelateParameters },
    { u"radialwipe", u"RadialWipe", radialwipeParameters },
    { u"randombars", u"RandomBars", randombarsParameters },
    { u"randomdissolve", u"RandomDissolve", randomdissolveParameters },
    { u"slide", u"Slide", slideParameters },
    { u"spiral", u"Spiral", spiralParameters },
    { u"stretch", u"Stretch", stretchParameters },
    { u"strips", u"Strips", stripsParameters },
    { u"wheel", u"Wheel", wheelParameters },
    { u"zigzag", u"Zigzag", zigzagParameters },
};

constexpr std::u16string_view durationKey = u"iduration";
constexpr std::u16string_view clearKey = u"clear";

constexpr std::u16string_view slotNames[Transitions::slotCount]
    = { u"image-transition", u"page-transition", u"video-transition", u"menu-transition" };

}

std::span<const TransitionKind> Transitions::kinds()
{
    return kindTable;
}

const TransitionKind* Transitions::findKind(std::u16string_view key)
{
    for (const TransitionKind& kind : kindTable) {
        if (String(kind.key).equalsIgnoreCase(key))
            return &kind;
    }
    return nullptr;
}

std::u16string_view Transitions::slotName(int slot)
{
    return slot >= 0 && slot < slotCount ? slotNames[slot] : std::u16string_view();
}

Transitions::Transitions() = default;

Transitions::~Transitions() = default;

Properties* Transitions::settings(std::u16string_view kind) const
{
    return m_settings.get(kind);
}

Properties* Transitions::ensureSettings(std::u16string_view kind)
{
    const TransitionKind* known = findKind(kind);
    if (!known)
        return nullptr;
    if (Properties* existing = m_settings.get(known->key))
        return existing;
    auto created = std::make_unique<Properties>(u";", u":");
    Properties* settings = created.get();
    m_owned.push_back(std::move(created));
    m_settings.add(known->key, settings);
    return settings;
}

void Transitions::resetAll()
{
    for (const TransitionKind& kind : kindTable)
        ensureSettings(kind.key)->clear();
}

bool Transitions::setSetting(std::u16string_view kind, std::u16string_view name, const String& value)
{
    Properties* settings = ensureSettings(kind);
    if (!settings)
        return false;
    settings->set(name, value);
    return true;
}

void Transitions::load(const Element* transitions)
{
    resetAll();
    for (const TransitionKind& kind : kindTable) {
        const Element* element = findChildElement(transitions, kind.key);
        if (!element)
            continue;
        Properties* settings = ensureSettings(kind.key);
        auto copy = [&](std::u16string_view name) {
            if (const Element* child = findChildElement(element, name))
                settings->set(name, getText(child));
        };
        for (const TransitionParameter& parameter : kind.parameters)
            copy(parameter.name);
        copy(durationKey);
        copy(clearKey);
    }
}

Element* Transitions::save(Element* parent) const
{
    Element* transitions = addElement(parent, String(u"transitions"));
    for (const TransitionKind& kind : kindTable) {
        Element* element = addElement(transitions, String(kind.key));
        const Properties* settings = m_settings.get(kind.key);
        if (!settings)
            continue;
        for (const PtrMap::Entry* entry : *settings) {
            const String& value = StringMap::valueOf(entry);
            if (!value.empty())
                addElement(element, entry->key(), value);
        }
    }
    return transitions;
}

String Transitions::filterText(std::u16string_view kind) const
{
    const TransitionKind* known = findKind(kind);
    const Properties* settings = known ? m_settings.get(known->key) : nullptr;
    if (!settings || known->key == u"none")
        return String();
    String text(u"progid:DXImageTransform.Microsoft.");
    text.append(known->key);
    text.push_back(u'(');
    bool first = true;
    for (const TransitionParameter& parameter : known->parameters) {
        if (!first)
            text.push_back(u',');
        first = false;
        const String& value = settings->get(parameter.name);
        text.append(parameter.name);
        text.append(u"='");
        text.append(value.empty() ? parameter.defaultValue : std::u16string_view(value));
        text.push_back(u'\'');
    }
    text.push_back(u')');
    return text;
}

String Transitions::clearText(std::u16string_view kind) const
{
    const Properties* settings = m_settings.get(kind);
    if (!settings || settings->get(clearKey).empty())
        return String(u"false");
    return settings->get(clearKey);
}

double Transitions::duration(std::u16string_view kind) const
{
    const Properties* settings = m_settings.get(kind);
    double seconds = 1;
    if (!settings || !settings->get(durationKey).readDouble(seconds) || !std::isfinite(seconds))
        return 1;
    return seconds;
}

String Transitions::durationText(double seconds)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds, std::chars_format::general, 6);
    return String::fromLatin1(std::string_view(buffer, result.ptr - buffer));
}

}
