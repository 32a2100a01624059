#pragma once
// The parameter controls' handlers and their connection to the main window.

// Operating mode: night attenuation is editable only for "24 hours ON" (entry 1).
void cmbModofuncionamiento_Click();
// Changer type: any change leaves "Changes pending record" (string 2002) in panel 1.
void ComboTipoCambiador_Click();
void ComboTipoCambiador_Change();

// Connects the handlers above and the read and write buttons. Called once by the
// start-up, right after the window is built.
void ConectarParametros();
