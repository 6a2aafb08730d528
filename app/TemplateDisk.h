#pragma once
// Template files on disk: the standard dialogs that name them, and reading and writing their text.

#include <windows.h>

#include <optional>
#include <string>

#include "naming/TemplateFile.h"

namespace app {

// The template file's extension, without its dot.
inline constexpr const char* kTemplateExtension = "tsnt";

// The standard open or save dialog, filtered to template files and starting in `folder` (the
// dialog's own choice when empty). The chosen path, or none when the user cancelled.
std::optional<std::string> ChooseTemplateToOpen(HWND owner, const std::string& folder);
std::optional<std::string> ChooseTemplateToSave(HWND owner, const std::string& folder);
// The standard save dialog for a text file (*.txt).
std::optional<std::string> ChooseTextToSave(HWND owner);

// A template file as the window and TessarinCmd both take it: its bytes in whichever encoding an
// editor saved them (naming/TextEncoding.h), brought into the code page exactly, then read.
struct TTemplateFile {
  naming::TemplateReading reading;
  // Why the file is not taken, the system's reason included; empty when it is.
  std::string failure;
};
TTemplateFile ReadTemplateFile(const std::string& path, const naming::TemplateValues& defaults);

// Writes the text beside the file first and then puts it in the file's place, so that a failed
// write leaves the old file whole; a read-only file is left as it is. Why the file could not be
// written; empty when it was.
std::string WriteTemplateText(const std::string& path, const std::string& text);

// The folder part of a path, without its trailing backslash; empty for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace app
