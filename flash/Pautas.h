#pragma once
// The flash-rhythm table (TablaPautas, app/ModuloKX.h) and its grid MSFlexGridPautas.
//
// The grid is addressed as rows 0 to 8 and columns 0 to 32: row 0 and column 0 are the
// fixed headers (the table widget's own header views, so they never scroll away), rows
// 1 to 8 and columns 1 to 32 show the entries of TablaPautas at the same row and column.
// Column 2k - 1 holds the start angle and column 2k the end angle of segment k.
#include <QColor>
#include <QString>
#include <cstdint>

constexpr int FilasPautas = 8;
constexpr int ColumnasPautas = 32;
constexpr int TwipsAnchoCeldaPautas = 350;
constexpr int TwipsAltoCeldaPautas = 250;

// Sizes, header texts and the shading of the end columns. Once, when the window is built.
void FormatearGrid();
// Empties the 256 data cells and sets every entry to 511. The row colours stay.
void BorrarDatosGrid();
void CBorrarTabla_Click();
// Shows TablaPautas in the grid (entries outside 0 to 359 as empty cells, keeping their
// value), then checks the current cell as if it were left.
void RedibujaGrid();

// The grid's key filter: a digit is appended to the current cell's text, backspace (8)
// removes its last character, tab (9) moves one column right (from column 32 to column 1
// of the next row; nowhere from the last cell); everything else is ignored.
void MSFlexGridPautas_KeyPress(int codigo);
// The check of leaving the current cell (see ComprobarCeldaPautas).
void MSFlexGridPautas_LeaveCell();
// The check of leaving cell (fila, columna); the grid runs it for the previous cell
// whenever its current cell changes. A whole number 0 to 359 with a non-empty cell to
// its left becomes the entry and shows as "000"; any other text empties the cell and
// sets the entry to 511 (what the grid shows is what is sent and saved). An empty cell
// whose entry is not an angle was already showing that entry as empty and keeps it.
void ComprobarCeldaPautas(int fila, int columna);

// The text shown for an entry: "000" for 0 to 359, empty otherwise.
QString TextoEntradaPautas(int32_t entrada);

// Cells by the grid's own numbering (row 0 / column 0 = headers).
QString TextoCeldaPautas(int fila, int columna);
// Data cells only.
void FijarTextoCeldaPautas(int fila, int columna, const QString& texto);
// The background a cell is painted with.
QColor FondoCeldaPautas(int fila, int columna);
// Header cell of row fila (1 to 8) in the row's colour.
void FijarColorCabeceraPautas(int fila, const QColor& color);
// The current cell, rows and columns from 1; 0 when there is none.
int FilaActualPautas();
int ColumnaActualPautas();
// Makes (fila, columna) the current cell; the cell left is checked.
void FijarCeldaActualPautas(int fila, int columna);

// While a colour transfer runs the table must not change under it: the grid, the colour
// labels LColor 1 to 8 and "Borrar Tabla" are disabled (greyed, and read as unavailable
// by a screen reader), and the handlers that would change the table do nothing. False
// gives them back. Opening a parameter file, which loads a table, waits for it too.
void BloquearTablaPautas(bool bloquear);
bool TablaPautasBloqueada();

// Feeds the keys typed into the grid to MSFlexGridPautas_KeyPress.
void ConectarGridPautas();
