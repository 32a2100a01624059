#pragma once
// The program's global state: settings read from qzl.ini, the transaction's
// pacing counters, the presence map, the light-level table and the flash table.
#include <QString>
#include <cstdint>

// --- Settings file qzl.ini (five values, in file order) ---
extern int16_t NumeroPuerto;    // serial port 1 to 9
extern int32_t Reservado1;      // carried through unchanged
extern int32_t Reservado2;      // carried through unchanged
extern QString CodigoIdioma;    // "1" English, "34" Spanish
extern int16_t CodigoServicio;  // 573 = service mode

constexpr int16_t CodigoServicioFabrica = 573;
inline bool ModoServicio() { return CodigoServicio == CodigoServicioFabrica; }

// --- Command transaction ---
extern int32_t CuentaMilisegundo;  // empty loop iterations per millisecond; 0 until calibrated
extern uint8_t Reintentos;         // tries left in the current transaction

// --- Presence map: address a is present when bit (a mod 8) of byte (a div 8) is set ---
extern uint8_t MapaParametros[32];

// --- Whose values the parameter fields hold, for the write ---
// A write sends only what belongs to the controller last identified: the fields of
// another controller, or of a read that stopped half-way, must never reach it.
enum class PertenenciaValores : uint8_t {
    SinIdentificar,         // no identification since start-up
    IdentificacionFallida,  // the last identification did not get the whole map
    LecturaFallida,         // identified, but the read after it did not end well
    DelControlador,         // read from it, or a file opened after its identification
};
extern PertenenciaValores ValoresVentana;

// --- Light-level conversion table, rows 0 to 52 ---
constexpr int FilasTablaLux = 53;
extern int16_t TablaLux[FilasTablaLux];
extern int16_t TablaFotodiodo[FilasTablaLux];
extern int16_t TablaFotocelula[FilasTablaLux];

// --- Flash table: rows 1 to 8, columns 1 to 32 (index 0 unused); 511 = empty ---
constexpr int32_t EntradaVacia = 511;
extern int32_t TablaPautas[9][33];
extern int32_t TablaColores[9];    // rows 1 to 8; colour code, red in bits 0-7

// --- The program's folder (help files; qzl.ini and comN links when the user can write it) ---
QString CarpetaPrograma();
// Tests point the program at a scratch folder so nothing is written beside the real binary.
void FijarCarpetaPrograma(const QString& carpeta);
// The folder of qzl.ini and the comN links: the program's folder when the user can write it
// (a portable copy), otherwise the user's own configuration folder (an installed copy).
QString CarpetaAjustes();

// --- Long waits (the 2 s reply limit and the like) ---
// 1.0 in the product; tests shorten every long wait through this one factor.
extern double FactorEsperas;
int EsperaMs(int ms);

// Start-up: splash, qzl.ini, main window, close splash.
void Main();
