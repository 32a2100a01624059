#pragma once
// Connects the flash-table, colour, file and live-value controls to their handlers.
void ConectarFlash();
