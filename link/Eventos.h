#pragma once
// Connects the device-link controls of the main window to their handlers: the port
// list, the direct commands, the interrogation and its poll timer. Called once by the
// start-up, right after the window is built.
void ConectarEnlace();
