#pragma once
// The modifier keys as GetKeyState reports them to the calling thread, for tests that press
// shortcuts by posting key messages.

// Sets Ctrl and Alt down or up; Shift and every other key keep their state.
void SetModifierKeys(bool ctrl, bool alt);

// Sets Shift down or up; every other key keeps its state.
void SetShiftKey(bool down);
