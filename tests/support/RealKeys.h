#pragma once
// Keys pressed as a keyboard presses them: SendInput events that go through the system's input
// queue to the focused window of the foreground thread.

#include <windows.h>

#include <initializer_list>
#include <string>

// Presses the keys in order and lets them go in reverse: {VK_CONTROL, 'S'} is Ctrl+S.
void PressChord(std::initializer_list<WORD> keys);

// Types the text (code page 932) character by character as Unicode key events.
void TypeUnicode(const std::string& text);
