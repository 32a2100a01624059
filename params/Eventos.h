#pragma once
// Connects the parameter controls of the main window to their handlers.
void ConectarParametros();
