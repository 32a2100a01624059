#pragma once
// Closing the main window: the program's other windows and the saved placement.
#include <QWidget>

// Every window of the program registers when it opens, so closing can go from
// the most recently opened back to the second.
void RegistrarFormulario(QWidget* formulario);
void Form_Unload(QWidget* principal);
// Saves MainLeft, MainTop, MainWidth, MainHeight (twips) under QZL/Settings.
void GuardarUbicacion(QWidget* principal);
