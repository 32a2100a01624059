#pragma once
// Connects the device-link controls of the main window to their handlers.
void ConectarEnlace();
