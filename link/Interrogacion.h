#pragma once
// Status interrogation and polling.
void ConectarInterrogacion();
