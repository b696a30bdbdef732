#pragma once

#include <QIcon>

namespace lumavine {

// The toolbar's pictures, drawn by the program at 32 x 32 pixels (and
// twice that for dense screens); a null icon for a command without one.
QIcon commandIcon(int id);

}
