// Reading and writing whole files safely: reads bounded in size that never
// block on a FIFO or device, and writes that never follow a planted symlink
// and never leave half a file.
#pragma once

#include <cstddef>
#include <string>

namespace common {

// Reads the regular file `path` of at most `max_bytes`. Opening does not
// block (a FIFO waits for no writer), and anything but a regular file, or a
// file over the limit, is refused before it is read. `kind` names the file
// in reasons ("an image file"); `why` gets the reason on failure.
bool readBoundedFile(const std::string& path, std::size_t max_bytes, const std::string& kind, std::string* content,
                     std::string* why);

// Writes `content` to a new file created exclusively beside `path` (a symlink
// or file planted under any name is never opened) and renames it into place,
// once it is on disk, so readers see the old file or the new one, never a
// mix. The new file is readable and writable by its owner only (images and
// flash files hold keys).
bool writeFileReplacing(const std::string& path, const std::string& content, std::string* why);

// Appends `text` to `path` in one write, creating the file readable and
// writable by its owner only, and making an older file private too (on
// Windows the file follows its folder's access list). Never follows a
// planted symlink.
bool appendPrivateFile(const std::string& path, const std::string& text, std::string* why);

// The user's home folder: $HOME, on Windows %USERPROFILE%; empty when unset.
std::string homeFolder();

}  // namespace common
