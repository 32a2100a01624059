#pragma once
// Control reset: hides every device-dependent control; and the rules of the tab set.

// Hides the model-dependent indicator rows, the language list, every parameter
// and identification field, and outside service mode removes tab 5.
void OcultaControles();

// Outside service mode, with five or more tabs, removes the tab at position 5.
// When that tab was selected the strip shows the tab it selects instead.
// True when a tab was removed.
bool QuitarPestanaVisualizacion();
// With exactly four tabs, inserts tab 5 captioned 1105 "Visualization";
// otherwise changes nothing. True when a tab was inserted.
bool InsertarPestanaVisualizacion();
