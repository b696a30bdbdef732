#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace lumavine {

// Every save of a whole file goes through here. The content is written to a
// temporary file (a short hidden name, so that any legal file name can be
// saved) in the folder of the file, which is renamed over the file only once
// it is complete: the file is always either the old one or the whole new one.
// - A symbolic link is followed to the file it names, which is replaced; the
//   link stays a link.
// - A file replaced keeps its permission bits, and its owner and group as far
//   as the process may set them. A new file gets 0666 less the umask.
// False, with nothing left behind, when the content cannot be written whole.
bool replaceFile(const std::string& path, const std::function<bool(int fd)>& writeContent);

// Writes all of `length` bytes to `fd`, going on after interrupted or partial
// writes; false on the first real error.
bool writeAll(int fd, const char* data, size_t length);

// replaceFile() with the given bytes as the content.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

}
