#pragma once
// Template files on disk: the standard dialogs that name them, and reading and writing their text.

#include <windows.h>

#include <optional>
#include <string>

namespace app {

// The template file's extension, without its dot.
inline constexpr const char* kTemplateExtension = "tsnt";

// The standard open or save dialog, filtered to template files and starting in `folder` (the
// dialog's own choice when empty). The chosen path, or none when the user cancelled.
std::optional<std::string> ChooseTemplateToOpen(HWND owner, const std::string& folder);
std::optional<std::string> ChooseTemplateToSave(HWND owner, const std::string& folder);
// The standard save dialog for a text file (*.txt).
std::optional<std::string> ChooseTextToSave(HWND owner);

// The file's whole text; none when it cannot be read or is larger than any template can be.
std::optional<std::string> ReadTemplateText(const std::string& path);

// Writes the text beside the file first and then puts it in the file's place, so that a failed
// write leaves the old file whole. False when the file could not be written.
bool WriteTemplateText(const std::string& path, const std::string& text);

// The folder part of a path, without its trailing backslash; empty for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace app
