#pragma once

#include "core/Properties.h"

#include <memory>
#include <span>
#include <vector>

namespace lumavine {

class Element;

// One filter parameter of a transition kind and the value used when the
// project leaves it empty.
struct TransitionParameter {
    std::u16string_view name;
    std::u16string_view defaultValue;
};

// A transition kind: its key in the project and in filter texts, the text
// the transition dialog shows, and its filter parameters in filter order.
struct TransitionKind {
    std::u16string_view key;
    std::u16string_view text;
    std::span<const TransitionParameter> parameters;
};

// The project's transition settings: for every kind a map of its filter
// parameters plus "iduration" (seconds) and "clear" ("true" or "false"), and
// the filter texts generated pages apply.
class Transitions {
public:
    static constexpr int slotCount = 4;

    // Every kind from "none" to "zigzag", in the order the project stores
    // them.
    static std::span<const TransitionKind> kinds();
    // The kind of a key (matched ignoring case), or null.
    static const TransitionKind* findKind(std::u16string_view key);
    // "image-transition", "page-transition", "video-transition",
    // "menu-transition"; empty outside 0..3.
    static std::u16string_view slotName(int slot);

    Transitions();
    ~Transitions();
    Transitions(const Transitions&) = delete;
    Transitions& operator=(const Transitions&) = delete;

    // The kind's settings, or null when it has none.
    Properties* settings(std::u16string_view kind) const;
    // The kind's settings, made empty when missing; null for an unknown kind.
    Properties* ensureSettings(std::u16string_view kind);
    // Every kind gets an empty settings map (an existing one is emptied).
    void resetAll();
    // Sets one setting, making the kind's map when missing; false for an
    // unknown kind.
    bool setSetting(std::u16string_view kind, std::u16string_view name, const String& value);

    // Reads a "transitions" element: every kind is reset, then each kind
    // element present gives its filter parameters, "iduration" and "clear".
    void load(const Element* transitions);
    // Appends the "transitions" element: one child per kind, holding its
    // non-empty settings in the order they were first set.
    Element* save(Element* parent) const;

    // "progid:DXImageTransform.Microsoft." + kind + "(" + name='value',...
    // + ")", or the empty text for "none", an unknown kind or one without
    // settings.
    String filterText(std::u16string_view kind) const;
    // The "clear" setting, or "false" when it is empty or missing.
    String clearText(std::u16string_view kind) const;
    // The "iduration" setting in seconds; 1 when missing or unreadable.
    double duration(std::u16string_view kind) const;

    // The kind the transition dialog shows first; "barn" at the start.
    const String& rememberedKind() const { return m_rememberedKind; }
    void setRememberedKind(const String& kind) { m_rememberedKind = kind; }

    // A duration as a C++ stream writes a double by default ("1", "0.5",
    // "1.5").
    static String durationText(double seconds);

private:
    PtrMapOf<Properties> m_settings { false };
    std::vector<std::unique_ptr<Properties>> m_owned;
    String m_rememberedKind = String(u"barn");
};

}
