#pragma once

#include "core/String.h"

class QWidget;

namespace lumavine {

class Element;
struct ControlType;

// One platform control of a form and what the form knows about it. A
// companion (a chooser button, a spin, a swatch, a thumbnail, a label) points
// at the main control it serves and shares its element.
struct FormControl {
    String name;
    Element* element = nullptr;
    QWidget* widget = nullptr;
    // How the control is laid out, read, written and heard; never null.
    const ControlType* type = nullptr;
    int id = 0;
    FormControl* main = nullptr;
    // The form or group panel the control lives in; its style is relative to it.
    QWidget* window = nullptr;
};

}
