#pragma once
// Connects the flash-table, colour, file, status-page and live-value controls to their handlers
// (the live-value labels start as not read). Called once by the start-up, right after
// the window is built.
void ConectarFlash();
