#pragma once

#include "core/String.h"

namespace lumavine {

// Makes the folders and the empty project file of a new project named `name`
// in `directory`: directory/name, its content and content/files folders, and
// directory/name/name.xml. On failure `message` holds what the user is told,
// and what was made before the failure stays on disk.
bool createProject(const String& directory, const String& name, String& projectFile, String& message);

}
