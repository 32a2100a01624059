#pragma once
// The Differences window: one table row per difference, a summary line above it, and
// the rows copyable as tab-separated text.
#include "comparacion/Comparacion.h"

class QDialog;
class QTableWidget;

// Shows (or refreshes) the window with a result; otroLado names the other column
// ("Controller", "File", "Read back"), ventanaLado the window's ("Window", "Written").
void MostrarDiferencias(const ResultadoComparacion& resultado, const QString& ventanaLado,
                        const QString& otroLado);
// The window while it exists (tests read it), or null.
QDialog* FormularioDiferencias();
QTableWidget* TablaDiferencias();
// The selected rows (all rows when none is selected) as text: one line per row, tab
// between columns, the header first.
QString TextoFilasDiferencias();
