#pragma once
// A drag played with the real mouse, for tests of drag sources: the pointer is moved from another
// thread, since the drag's modal loop runs inside the messages of the thread under test.

#include <windows.h>

#include <vector>

// Presses the left button at the first screen point, moves through the others 250 ms apart and
// lets go at the last, while the calling thread runs its messages.
void DragWithTheMouse(const std::vector<POINT>& points);
