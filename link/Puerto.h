#pragma once
// Serial port selection, opening and closing.

// Start-up: fills the port list and selects the entry of NumeroPuerto.
void IniciarComboCom();
