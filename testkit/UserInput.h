#pragma once
// The user played through the real message paths: texts replaced as typing does, buttons clicked,
// list entries picked and dates changed with the notifications the controls send. For the tests
// and for the screenshot scenes.

#include <windows.h>

#include <string>

#include "framework/ComboBox.h"
#include "framework/DateTimePicker.h"
#include "framework/Window.h"

// Replaces the whole text as the user does by selecting it and typing over it.
void Type(TWinControl& field, const std::string& text);
// Typed characters, as the keyboard's WM_CHAR messages bring them.
void TypeChars(TWinControl& field, const std::string& text);
void Click(TWinControl& button);
void Pick(TComboBox& list, int index);
void ChangeDate(TDateTimePicker& picker, WORD year, WORD month, WORD day);
