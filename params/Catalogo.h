#pragma once
// The parameter catalogue: the parameter image, the memory map that ties every
// window field to its cells, the lists and their entries, and the presence test.
// Reading, writing, identification and the parameter file all work from the one
// table behind MapaMemoria().
#include "params/Conversiones.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>
#include <vector>

// --- Parameter image: a working copy of the controller's 256 parameter cells ---
constexpr int CeldasParametros = 256;
struct ImagenParametros {
    int32_t celda[CeldasParametros] = {};
};

// True when the address is present in MapaParametros (addresses 0 to 255).
bool ComprobarParametro(int16_t direccion);
// The same test on a presence map of one's own (a compare reads into its own).
bool PresenteEnMapa(const uint8_t mapa[32], int direccion);

// --- The memory map ---

// The window control behind a field.
enum class TipoCampo { Texto, Lista, Casilla };

// Where the number to store comes from.
enum class Fuente {
    Estricta,       // ValorEstricto(text, escala)
    Prefijo,        // ValorPrefijo(text)
    Indice,         // the list's selected entry, -1 for none
    Marca,          // check state: 0 clear, 1 ticked, 2 greyed
    Identificador,  // the text itself, one character per cell
};

// Replacement made in the field's own text before it is encoded (it stays visible).
enum class Preparacion {
    SinCambio,
    SoloSiEsNumero,           // not a number: the cell stays 0 and the text is kept
    CeroSiNoEsNumero,         // not a number: the text becomes "0"
    CeroSiNoEsNumeroTope255,  // as above, and a numeric prefix above 255 becomes "255"
};

// How the number lies in the cells, most significant cell first.
enum class Disposicion {
    Bits24,          // three cells: (v >> 16) & 255, (v >> 8) & 255, v & 255
    Bits16,          // two cells: (v >> 8) & 255, v & 255
    Bajo8,           // one cell: v & 255
    Entero,          // one cell: v unchanged
    DivMod256,       // two cells: v / 256 and v % 256, both truncating toward zero
    Identificador16, // sixteen cells: the text padded with blanks and cut to 16 characters
};

// How the cells become what the field shows.
enum class Lectura {
    Escalada,      // unsigned sum of the cells / escala, in the row's format
    Entera,        // unsigned sum of the cells as an integer
    Luz,           // CuentasALux of the sum; the clamped count goes to the raw-count field
    ListaAcotada,  // entry of the cell's value; values above the last entry select the last
    ListaIgnora,   // entry of the cell's value; values above the last entry change nothing
    Bit0,          // bit 0 of the cell: 1 ticked, 0 clear
    Tope999,       // the sum as an integer, above 999 shown as 999
    Caracteres,    // one character per cell, trailing blanks kept
};

// Which presence bits make the field visible in an identification.
enum class Visibilidad {
    NoSeCambia,      // not switched by the identification
    PrimeraCelda,    // the bit of the first cell
    CualquierCelda,  // the bit of any of its cells
};

// A caption or unit text: a string-table id, or a fixed text that is never translated.
struct TextoFijo {
    int id = 0;
    const char* fijo = nullptr;
};
// The text in the window's language; empty when there is none.
QString TextoDe(const TextoFijo& t);

struct FilaMapa {
    int16_t primera = 0;  // first cell
    int16_t celdas = 1;
    const char* campo = nullptr;  // name of the window field
    TipoCampo tipo = TipoCampo::Texto;
    TextoFijo etiqueta = {};  // caption
    TextoFijo unidad = {};    // unit

    // Encoding (the write to the controller; the parameter file states its own differences)
    Fuente fuente = Fuente::Estricta;
    int32_t escala = 1;
    Preparacion preparacion = Preparacion::SinCambio;
    bool luz = false;  // converted from lux to sensor counts with LuxACuentas
    Disposicion disposicion = Disposicion::Entero;
    bool seEnvia = true;  // false: never written to the controller (manufacturing data)

    // Decoding
    Lectura lectura = Lectura::Entera;
    Formato formato = Formato::Entero;  // lists take their entries from Enumeraciones()

    // Identification: what the field's presence bits make visible
    Visibilidad visibilidad = Visibilidad::PrimeraCelda;
    int16_t label = -1;          // Label(n), the caption
    int16_t labelExtra = -1;     // a second Label(n) (unit captions drawn as Label)
    int16_t labelUnidades = -1;  // LabelUnidades(n)
    const char* etiquetaPropia = nullptr;  // a caption label with a name of its own
    const char* campoCuentas = nullptr;    // raw-count field, hidden when the field shows
    bool fabrica = false;  // factory field: hidden outside service mode
};

// Every row, in the order of the cells (the writer's encoding order).
std::span<const FilaMapa> MapaMemoria();
// The row of a window field, or of the field that holds a cell; null when none.
const FilaMapa* FilaDeCampo(const QString& campo);
const FilaMapa* FilaDeCelda(int direccion);
// The rows in the order a read decodes them: the light sensor kind first, so that
// the light levels convert with the controller's own sensor.
std::vector<const FilaMapa*> OrdenDecodificacion();

// The manufacturing cells: read, never written to the controller.
constexpr int PrimeraCeldaFabricacion = 247;
constexpr int UltimaCeldaFabricacion = 253;
// Addresses a write sends, in its two passes: the present ones among 0 to 246,
// then among 254 and 255.
std::vector<int> DireccionesEscritura();
// The cells of the light sensor kind, the changer type and the firmware version.
constexpr int CeldaSensorLuz = 41;
constexpr int CeldaTipoCambiador = 27;
constexpr int CeldaFirmware = 252;
constexpr int FirmwareMinimo = 48;
// The beep a write gives on its way past this address.
constexpr int CeldaPitidoEscritura = 223;
// The presence of this address adds the visualization tab.
constexpr int CeldaPestanaVisualizacion = 225;

// --- A field's content, apart from its widget ---
struct ValorCampo {
    QString texto;         // text fields; the typed text of a list
    int indice = 0;        // lists: selected entry, -1 for none
    int marca = 0;         // check box: 0 clear, 1 ticked, 2 greyed
    QString textoCuentas;  // light levels: the raw count shown after a decode
};

// Encodes the field into its cells of the image. The light levels convert with
// the given sensor kind. Free-text replacements are made in campo.texto. False
// when a conversion fails, or when the number is below 0 or above what the row's
// 24-bit, 16-bit or 8-bit cells hold (nothing is stored then).
bool CodificarCampo(const FilaMapa& fila, ValorCampo& campo, ImagenParametros& imagen,
                    int tipoSensor);
// Decodes the field's cells into campo. A list whose value selects nothing keeps
// campo.indice. False when a cell holds what the field cannot take (a list index
// below -1, an identifier code outside 0 to 255); campo is then unchanged.
bool DecodificarCampo(const FilaMapa& fila, const ImagenParametros& imagen, ValorCampo& campo,
                      int tipoSensor);

// --- Lists ---
struct EntradaLista {
    int id = 0;  // string id, or 0 for the fixed text
    const char* fija = nullptr;
};
struct Enumeracion {
    const char* lista;
    int16_t celda;
    EntradaLista entradas[5];
    int16_t cuantas;
};
std::span<const Enumeracion> Enumeraciones();
const Enumeracion* EnumeracionDe(const QString& lista);
// The entries in the window's language, in order.
QStringList EntradasLista(const Enumeracion& e);

// Start-up: fills the seven parameter lists and selects entry 0 of each.
void LlenarListasParametros();
