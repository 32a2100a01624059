#pragma once
// Connects the device link's own controls, the direct-command buttons, to their
// handlers. Called once by the start-up, right after the window is built.
void ConectarEnlace();
