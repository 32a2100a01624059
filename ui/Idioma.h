#pragma once
// String tables in English, Spanish and French, chosen from the platform language.
#include <QString>
#include <QStringList>

// Tables by the platform's language numbers.
constexpr int TablaNeutra = 0;                // English texts
constexpr int TablaIngles = 1033;
constexpr int TablaEspanolTradicional = 1034;  // Spanish, traditional sorting
constexpr int TablaFrances = 1036;
constexpr int TablaEspanol = 3082;            // Spanish, modern sorting

// Text of string id in the current table; empty for an id no table holds.
QString TextoRecurso(int id);
// Text of string id in a given table; a table not held falls back to the neutral one.
QString TextoRecursoDeTabla(int tabla, int id);

// Table for a list of interface language names, preferred first, as the
// platform spells them ("fr-CA", "es_ES@collation=traditional", "C").
int TablaDeIdiomas(const QStringList& idiomas);
// The table in use: chosen from the platform's interface languages on first use
// and kept for the whole run.
int TablaIdioma();
// Tests force a table; a negative number makes the next use choose from the platform again.
void FijarTablaIdioma(int tabla);

// Start-up: fills the language list with "English" and "Español" and selects
// "Español" when CodigoIdioma is exactly "34", else "English"; the selection
// runs ComboIdioma_Click.
void IniciarComboIdioma();
// The language list records its choice ("1" English, "34" Spanish) in qzl.ini.
// It changes no text: the texts follow the platform's language.
void ComboIdioma_Click();
void ComboIdioma_Change();
// Connects the language list's selection and typing to the two handlers.
void ConectarIdioma();
// Start-up: applies the string-table texts to tabs, pages and controls.
void AplicarTextos();
