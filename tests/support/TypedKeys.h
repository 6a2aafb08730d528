#pragma once
// Keys typed as the user types them: real key events through the system's input queue, taken in by
// whatever window has the keyboard focus when the caller runs its messages.

#include <windows.h>

#include <string>

// Types `text`, one Unicode key event per character (as input tools send text).
void TypeText(const std::wstring& text);

// Presses and releases one key (VK_RETURN, VK_ESCAPE, ...).
void PressKey(WORD virtualKey);
