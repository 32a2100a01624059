#pragma once
// The window's handlers, connected once by the start-up right after the window is
// built: each folder connects its own controls in its one place.
void ConectarManejadores();
