#pragma once
// What a balloon of this thread says, as the user reads it on the screen.

#include <string>

// The text of the balloon shown now; empty while none shows.
std::wstring ShownBalloonText();
