#pragma once
// String tables in English, Spanish and French, chosen from the platform language.
#include <QString>

// Text of string id in the current table.
QString TextoRecurso(int id);
// Start-up: fills the language list and selects the entry of CodigoIdioma.
void IniciarComboIdioma();
// Start-up: applies the string-table texts to tabs, pages and controls.
void AplicarTextos();
