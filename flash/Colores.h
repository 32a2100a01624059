#pragma once
// The eight row colours of the flash table (TablaColores, app/ModuloKX.h), their labels
// LColor 1 to 8, and the transfer of the whole flash table with its colours to and from
// the controller's four table segments.
#include "flash/CodigoColor.h"

#include <QColor>
#include <QString>
#include <array>
#include <cstdint>


// --- Segments: segment s (1 to 4) holds rows 2s - 1 (offsets 0 to 66) and 2s (128 to 194) ---
constexpr int SegmentosPautas = 4;
struct MitadSegmento {
    int primera;
    int ultima;
};
constexpr MitadSegmento MitadesSegmento[2] = {{0, 66}, {128, 194}};

using BytesSegmento = std::array<uint8_t, 256>;
// The bytes of segment s: colour blue, green, red, then each entry high and low byte.
BytesSegmento CodificarSegmento(int segmento, const int32_t colores[9], const int32_t tabla[9][33]);
// Rows 2s - 1 and 2s of colores and tabla from the bytes of segment s.
void DecodificarSegmento(int segmento, const BytesSegmento& bytes, int32_t colores[9], int32_t tabla[9][33]);
// " 2 - 003 - 007": segment, offset and byte after each byte transferred.
QString TextoProgresoSegmento(int segmento, int offset, int byte);

struct Operacion;
// Every byte of the four segments (commands 135 to 138), in the order of a colour read,
// through an operation whose port is open; panel 1 shows each byte's progress. A byte
// that fails is said in panel 1 and skips the rest of its half segment. Returns the first
// offset that failed, or -1; sinVentana when the window went while a reply was awaited.
// The colour read, its compare and the verify after a colour write share it.
int LeerSegmentosPautas(Operacion& op, BytesSegmento bytes[SegmentosPautas], bool& sinVentana);
// Called with the flash table and colours of every colour read that ended well (the
// history keeps them); none until the wiring sets it.
extern void (*AlTerminarLecturaColores)(const int32_t colores[9], const int32_t tabla[9][33]);

// --- Labels and handlers ---
// Caption (and accessible description) of LColor(i): the colour code in decimal.
void FijarTextoLColor(int indice, int32_t codigo);
// Shows TablaColores in the labels and the grid's row headers.
void RellenarColores();
// Colour chooser for row indice; cancelling changes nothing.
void LColor_Click(int indice);
// Both transfers lock the table's editing while they run (BloquearTablaPautas).
// Reads the whole flash table with its colours from the controller. Nothing is
// changed unless every byte arrived; a failure ends with "Reading Error in data "
// and the first offset that failed.
void CLeerColores_Click();
// With "Verify after writing" ticked, a colour write whose every byte went out reads the
// four segments back and ends with "N cells verified", "N cells differ" (then
// AlDiferirVerificacionColores shows them) or the read-back's failure with its offset.
extern void (*AlDiferirVerificacionColores)(const int32_t enviados[9], const int32_t tablaEnviada[9][33],
                                            const int32_t leidos[9], const int32_t tablaLeida[9][33]);
// Writes the flash table with its colours (taken from the labels' captions), all four
// segments encoded before the first frame. A byte that fails skips the rest of its
// half segment; the write then goes on and ends with "Writing Error in data " and the
// first offset that failed instead of "Ended". Closing the window meanwhile waits for
// its end (ui/Estado.h).
void CEscribirColores_Click();
// Preview of row 1's colour in FormDibujo.
void Command2_Click();

// Connects the colour labels' clicks to LColor_Click.
void ConectarColores();
