#pragma once
// Comparing what the window holds with the controller or with a parameter file, and
// the Differences window that shows the result. Nothing here writes to the controller.
#include "link/JuegoComandos.h"
#include "params/Catalogo.h"

#include <QString>
#include <vector>

// What one side of a compare holds.
struct LadoComparacion {
    ImagenParametros imagen;
    uint8_t mapa[BytesPresencia] = {};  // the addresses this side has
    bool conPautas = false;             // the flash table and colours below are compared
    int32_t colores[9] = {};
    int32_t tabla[9][33] = {};
};

// One row of the Differences window, in the window's language and number format.
struct FilaDiferencia {
    QString pagina;    // the page (or group) the field is on; the flash table's caption
    QString elemento;  // the field's caption, "Cell 230", "Row 3", "Colour 3"
    QString ventana;   // the window's value ("not present" on one side only)
    QString otro;      // the controller's or the file's
    QString unidad;
};

struct ResultadoComparacion {
    std::vector<FilaDiferencia> filas;  // the differences, in the order described below
    int comparados = 0;  // fields, cells without a field, table rows and colours looked at
    int iguales = 0;     // of those, the equal ones; comparados - iguales == filas.size()
};

// The differences between two sides: the fields in the memory map's order (a field
// present on one side only counts as different), then the cells no field shows, by
// address, then, when both sides carry it, each flash-table row and each colour.
// A value the window cannot show as the cells hold it (cell 55 = 3 in a two-entry
// list, a time above 999) carries its raw cells.
ResultadoComparacion Comparar(const LadoComparacion& ventana, const LadoComparacion& otro);

// A field's cells as the window would show them, with the raw cells added when the
// window could not show them as they are. Empty text never: a value nothing can show
// is given raw.
QString TextoValorCampo(const FilaMapa& fila, const ImagenParametros& imagen);

// The window's side: its fields encoded as a write encodes them (nothing shown in the
// fields), the presence map of the last identification and, when asked, the flash table
// with its colours. False with the field's text when a field cannot be encoded.
bool LadoVentana(LadoComparacion& lado, bool conPautas, QString& error);

// "%1 compared, %2 equal, %3 different".
QString TextoResumen(const ResultadoComparacion& r);
