#pragma once
// The flash-rhythm table and its grid.
void FormatearGrid();
void BorrarDatosGrid();
