#pragma once

#include "core/String.h"

class QWidget;

namespace lumavine {

class Element;
struct ControlType;

enum class ControlKind {
    Edit,
    DropDown,
    ListBox,
    Button,
    Spin,
    Slider,
    Static,
    ColorSwatch,
    Thumbnail,
    BorderPreview,
    Panel,
};

// One platform control of a form and what the form knows about it. A
// companion (a chooser button, a spin, a swatch, a thumbnail, a label) points
// at the main control it serves and shares its element.
struct FormControl {
    String name;
    Element* element = nullptr;
    QWidget* widget = nullptr;
    ControlKind kind = ControlKind::Static;
    int id = 0;
    FormControl* main = nullptr;
    // The form or group panel the control lives in; its style is relative to it.
    QWidget* window = nullptr;
    // How a main control was made and is laid out; null for companions and labels.
    const ControlType* type = nullptr;
};

}
