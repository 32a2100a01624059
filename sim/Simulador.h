#pragma once
// QZL controller simulator: the test peer of the configuration tool.
//
// Three layers, usable on their own:
//   1. the protocol core: ResponderTrama() turns one 8-byte command frame into the
//      8-byte reply and applies it to an EstadoSimulador (pure, no I/O);
//   2. the state file: a small line format to load and dump a whole controller state;
//   3. the line: SimIniciar() serves a pseudo-terminal (or an existing serial device)
//      from a background thread, with a wire log and fault injection that a test may
//      change at any time while the tool talks to it.
//
// ---------------------------------------------------------------------------------
// Frames
//   command: 4B 58 VH VL CMD IDX DATO CHK      CHK = FF ^ VH ^ VL ^ CMD ^ IDX ^ DATO
//   reply:   4B 58 00 00 CMD IDX ANSWER CHK    same checksum rule over bytes 2..6
//   Commands and their answer (byte 6):
//     1        read parameter cell IDX                      -> the cell
//     2        write parameter cell IDX := DATO             -> DATO (echo)
//     5        status, IDX 0 status byte 0, 1 status byte 1, 2/3 present current
//              high/low, 4/5 present speed high/low, 6/7 LED current high/low
//              (hundredths), 8 inputs 1-8, 9 outputs 1-8, 10 outputs 9-11; else 0
//     6        operating command: function IDX, state DATO  -> DATO (echo); remembered
//     128      presence map byte IDX (0-31); else 0
//     131-134  write byte IDX of flash-table segment 1-4    -> DATO (echo)
//     135-138  read byte IDX of flash-table segment 1-4     -> the byte
//     other    0
//   Bytes 2 and 3 of every reply (the 16-bit value) are 0.
//   The line resynchronises on the "K" "X" header: bytes before a header, and the
//   header of a frame whose checksum is wrong, are dropped as stray bytes and that
//   frame is not answered. Bytes that never complete a frame are dropped after 500 ms.
//   As on a real serial port, a reply due while the tool has the port closed, and
//   bytes it left unread when it closed it, are lost (seen through the exclusive mark
//   Qt's serial port sets while open; see sim/README.md).
//
// ---------------------------------------------------------------------------------
// State file (one statement per line; '#' starts a comment; numbers are decimal or
// 0x hex; a file describes a whole state starting from all zeros):
//   cell A V                 parameter cell A (0-255) := V (0-255)
//   cells A V1 V2 ...        consecutive cells from A
//   text A STRING            the characters of STRING (rest of the line, trailing
//                            blanks kept; Latin-1) into cells A, A+1, ...
//   present R1 R2 ...        mark addresses present: "37" or a range "0-60"
//   absent R1 R2 ...         mark them absent
//   status0 V / status1 V    status bytes
//   current V / speed V / ledcurrent V   measured values in hundredths (0-65535)
//   inputs V / outputs V / outputs9 V    inputs 1-8, outputs 1-8, outputs 9-11
//   segment S OFF V1 V2 ...  flash-table segment S (1-4), bytes from offset OFF
//   colour R C               colour code of flash row R (1-8), 24 bits, red in bits
//                            0-7, stored in its segment as the tool expects
//   row R A1 B1 A2 B2 ...    entries of flash row R from column 1 on (16-bit each);
//                            columns not given are left as they are
//   order F D                last operating command of function F was state D
// Example:
//   present 0-60 221-225 231-255
//   cell 252 50              # firmware version
//   text 231 LIGHTHOUSE 1
//   status0 0x01
//   current 1234             # 12.34
//   colour 1 0xFFFFFF
//   row 1 0 90 180 270
// ---------------------------------------------------------------------------------
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------
// Controller state
// ---------------------------------------------------------------------------------
struct EstadoSimulador {
    std::array<uint8_t, 256> Celdas{};       // parameter memory
    std::array<uint8_t, 32> Presencia{};     // bit (a mod 8) of byte (a div 8): address a present
    uint8_t Estado0 = 0;                     // status byte 0
    uint8_t Estado1 = 0;                     // status byte 1
    uint16_t CorrienteActual = 0;            // hundredths
    uint16_t VelocidadActual = 0;            // hundredths
    uint16_t CorrienteLeds = 0;              // hundredths
    uint8_t Entradas = 0;                    // inputs 1-8, bit 0 = input 1
    uint8_t Salidas = 0;                     // outputs 1-8, bit 0 = output 1
    uint8_t Salidas9a11 = 0;                 // outputs 9-11 in bits 0-2
    std::array<std::array<uint8_t, 256>, 4> Segmentos{};  // flash-table segments 1-4 at [0]..[3]
    std::array<int16_t, 256> UltimaOrden;    // last state sent with command 6 per function; -1 none
    EstadoSimulador() { UltimaOrden.fill(-1); }
};

bool operator==(const EstadoSimulador& a, const EstadoSimulador& b);

// A controller that supports every field address (0-60, 221-225, 231-255) with plausible
// values: firmware 52, model 7, hardware 3, identifier "QZL DEMO BEACON ", a photocell,
// changer type RVT02, three coloured flash rows, lamp on, a few inputs and outputs.
EstadoSimulador EstadoDemo();

// Presence map helpers.
void FijarPresente(EstadoSimulador& e, int direccion, bool presente = true);
bool EsPresente(const EstadoSimulador& e, int direccion);

// Flash table as the tool sees it: rows 1-8, columns 1-32, colour codes red in bits 0-7.
// Row r lives in segment (r+1)/2, odd rows at offset 0, even rows at offset 128.
void FijarColorFila(EstadoSimulador& e, int fila, uint32_t color);
uint32_t ColorFila(const EstadoSimulador& e, int fila);
void FijarEntradaTabla(EstadoSimulador& e, int fila, int columna, uint16_t valor);
uint16_t EntradaTabla(const EstadoSimulador& e, int fila, int columna);

// ---------------------------------------------------------------------------------
// Protocol core
// ---------------------------------------------------------------------------------
using Trama = std::array<uint8_t, 8>;

// FF ^ bytes 2..6 of a frame.
uint8_t ChecksumTrama(const uint8_t* trama);
// A complete command frame as the tool sends it.
Trama ConstruirTrama(uint8_t comando, uint8_t indice, uint8_t dato,
                     uint8_t valorAlto = 0, uint8_t valorBajo = 0);
// Header "K" "X" and a correct checksum.
bool TramaValida(const uint8_t* trama);
// Answers one command frame (8 bytes; header and checksum are not checked here) and
// applies its effect to the state.
Trama ResponderTrama(EstadoSimulador& estado, const uint8_t* trama);
// "4B 58 00 00 06 01 01 F9"
std::string TramaHex(const uint8_t* bytes, size_t n = 8);

// ---------------------------------------------------------------------------------
// State file
// ---------------------------------------------------------------------------------
// Applies statements to a state (on top of what it holds). False, with a message
// naming the line, at the first bad statement; the statements before it stay applied.
bool AplicarTextoEstado(EstadoSimulador& e, const std::string& texto, std::string* error = nullptr);
// Loads a file as a whole state (starting from all zeros). The state is only
// replaced when the whole file is valid.
bool CargarFicheroEstado(EstadoSimulador& e, const std::string& ruta, std::string* error = nullptr);
// The state as statements that load back to an equal state.
std::string VolcarEstado(const EstadoSimulador& e);

// ---------------------------------------------------------------------------------
// Faults, settable at any time while the line runs
// ---------------------------------------------------------------------------------
// What a controller puts around the answer (byte 6) of its replies. The tool may rely on
// none of it: every shape must be read, written and interrogated alike.
enum class FormaRespuesta {
    Completa,          // 4B 58 00 00 CMD IDX ANSWER CHK (the default)
    ComandoCero,       // 4B 58 00 00 CMD 00  ANSWER CHK
    ComandoRespuesta,  // 4B 58 00 00 CMD ANSWER ANSWER CHK
    ComandoFijo,       // 4B 58 00 00 CMD 5A  ANSWER CHK
    Ceros,             // 00 00 00 00 00 00  ANSWER 00
    SinCabecera,       // 00 FF 00 00 CMD IDX ANSWER CHK: no header, so 4B 58 may stand later
    SinCabeceraComando,// 00 FF 00 00 CMD ANSWER ANSWER CHK
};
// Every shape, and its name as qzl-sim's "shape" command and the tests print it.
constexpr FormaRespuesta FormasRespuesta[] = {
    FormaRespuesta::Completa, FormaRespuesta::ComandoCero, FormaRespuesta::ComandoRespuesta,
    FormaRespuesta::ComandoFijo, FormaRespuesta::Ceros, FormaRespuesta::SinCabecera,
    FormaRespuesta::SinCabeceraComando,
};
const char* NombreForma(FormaRespuesta forma);
// The reply of the default shape given the other shape.
Trama DarForma(const Trama& respuesta, FormaRespuesta forma);

// Storage faults: the controller acknowledges a write as usual (the echo is what was sent)
// but does not keep it as sent. Nothing on the line shows them; only reading the cells
// back (a verify after writing, a compare) can.
enum class FalloAlmacen {
    Ninguno,
    NoGuarda,            // a parameter write (command 2) is not stored
    BitCambiado,         // a parameter write is stored with one bit flipped
    SoloAlgunas,         // parameter writes are stored except at addresses 3, 7, 11 ... (a % 4 == 3)
    SegmentoNoGuardado,  // a flash-table segment byte write (131-134) is not stored
};
// Every storage fault, and its name as qzl-sim's "store" command and --store-fault take it.
constexpr FalloAlmacen FallosAlmacen[] = {
    FalloAlmacen::NoGuarda, FalloAlmacen::BitCambiado, FalloAlmacen::SoloAlgunas,
    FalloAlmacen::SegmentoNoGuardado,
};
const char* NombreFalloAlmacen(FalloAlmacen fallo);
// True when the fault can reach this frame (its command, and for SoloAlgunas its address).
bool AlcanzaFalloAlmacen(FalloAlmacen fallo, const uint8_t* trama);
// ResponderTrama for a controller with the storage fault: the same reply, but the write
// it reaches is kept as the fault says (bit: the bit BitCambiado flips, 0-7).
Trama ResponderTrama(EstadoSimulador& estado, const uint8_t* trama, FalloAlmacen fallo, int bit = 0);

struct FallosSimulador {
    bool Silencioso = false;       // no replies at all
    int CallarTrasTramas = 0;      // > 0: answer that many frames, then none
    // Stop answering at one command and index (e.g. command 1, index 37).
    bool CallarEnOrden = false;
    uint8_t CallarComando = 0;
    uint8_t CallarIndice = 0;
    bool CallarDesdeEntonces = false;  // true: no replies from that frame on; false: only that frame
    int CallarVeces = 0;           // only-that-frame mode: how many times it goes unanswered (0 = always)
    int RetrasoMs = 0;             // answer late by this many milliseconds
    int BytesRespuesta = 8;        // send only the first k bytes of each reply (0-8)
    bool Basura = false;           // send 8 bytes without a valid header instead of the reply
    int BytesExtra = 0;            // append this many bytes (0xEE, 0xEF, ...) after each reply
    int CerrarTrasTramas = 0;      // > 0: close the line after answering that many frames
    // > 0: a frame unlike the one received just before it (a first try) is answered this
    // many milliseconds late, while the frames after it, its retries included, are answered
    // as usual in the meantime: the late reply overtakes nothing and holds nothing up.
    int RetrasoPrimerIntentoMs = 0;
    int BytesAntes = 0;            // put this many stray bytes (00 FF 4B 00 FF 4B ...) before each reply
    bool SinEco = false;           // reply bytes 4 and 5 are 0, not the frame's command and index
    FormaRespuesta Forma = FormaRespuesta::Completa;  // applied after SinEco
    // A storage fault, on this share (0-1) of the writes it can reach, drawn per frame.
    FalloAlmacen Almacen = FalloAlmacen::Ninguno;
    double ProporcionAlmacen = 1.0;
};
// Frame counts (CallarTrasTramas, CerrarTrasTramas) start when the faults are set.
// A frame that is not answered is not carried out either (a write does not happen),
// except that a late reply is carried out when it is received.

// A fault chosen for one frame by the test itself (a random-fault run draws one per
// frame). Applied on top of FallosSimulador: a frame silenced there stays silent.
struct FalloTrama {
    enum Tipo {
        Ninguno,
        Silencio,       // no reply; the frame is not carried out
        Tarde,          // the reply after Ms milliseconds (carried out at once)
        Parcial,        // only the first Bytes bytes of the reply (1-7)
        BytesAntes,     // Sueltos, a pause of Ms, then the reply
        BytesDespues,   // the reply, a pause of Ms, then Sueltos
        CortarLinea,    // the line goes (answered first when Contestar); as SimCerrarLinea
    };
    Tipo tipo = Ninguno;
    int Ms = 0;
    int Bytes = 8;
    std::vector<uint8_t> Sueltos;
    bool Contestar = false;
    // A storage fault for this frame, whatever the reply does (a write not carried out
    // stays not carried out); used in place of FallosSimulador's own draw.
    FalloAlmacen Almacen = FalloAlmacen::Ninguno;
    int Bit = 0;  // BitCambiado: the bit flipped
};
// Called from the line's thread for every frame received, in order, with the count of
// frames before it; returns that frame's fault. It must not call the simulator back.
using SorteoFallos = std::function<FalloTrama(const Trama& trama, int numero)>;

// ---------------------------------------------------------------------------------
// The line (background thread)
// ---------------------------------------------------------------------------------
struct OpcionesSimulador {
    EstadoSimulador Estado;        // initial state
    std::string Dispositivo;       // empty: a new pseudo-terminal; else open this serial device
    std::string CarpetaEnlace;     // non-empty: create CarpetaEnlace/comN pointing at the pty
    int PuertoEnlace = 0;          // N of comN, 1-9
    std::string FicheroRegistro;   // non-empty: also append every log line to this file
};

struct SimuladorQZL;  // the running simulator; created by SimIniciar, freed by SimDetener

// Opens the line and starts serving. nullptr with a message on failure.
SimuladorQZL* SimIniciar(const OpcionesSimulador& opciones, std::string* error = nullptr);
// Stops the thread (within a few tens of milliseconds), closes the line, frees the handle.
void SimDetener(SimuladorQZL* sim);

struct DetenerSimulador { void operator()(SimuladorQZL* s) const { SimDetener(s); } };
using SimuladorPtr = std::unique_ptr<SimuladorQZL, DetenerSimulador>;

// Path of the device the tool opens (the pty slave, or the device given); empty while closed.
std::string SimRuta(SimuladorQZL* sim);
// Path of the comN link, or empty.
std::string SimEnlace(SimuladorQZL* sim);
bool SimLineaAbierta(SimuladorQZL* sim);

// State, read and changed under the simulator's lock.
EstadoSimulador SimEstado(SimuladorQZL* sim);
void SimFijarEstado(SimuladorQZL* sim, const EstadoSimulador& estado);
bool SimAplicar(SimuladorQZL* sim, const std::string& sentencias, std::string* error = nullptr);

// Faults: replace them all (and restart the frame counts).
void SimFijarFallos(SimuladorQZL* sim, const FallosSimulador& fallos);
FallosSimulador SimFallos(SimuladorQZL* sim);
// A fault per frame from the test's own function (empty: none).
void SimFijarSorteo(SimuladorQZL* sim, SorteoFallos sorteo);

// Wire log: one line per frame received ("4B 58 00 00 01 25 00 DA"), and
// "stray 4B 17" for bytes dropped while resynchronising. Oldest first.
QStringList SimRegistro(SimuladorQZL* sim);
void SimBorrarRegistro(SimuladorQZL* sim);
// Frames received since start.
int SimTramasRecibidas(SimuladorQZL* sim);

// Timing of the line as the controller's end sees it, for measurements: the moment
// (steady clock, ns) each received byte was read, and each reply was written. Nothing
// is kept until SimMedirTiempos(sim, true); each call of it clears what was kept.
struct MomentoLinea {
    int64_t Ns;
    bool Respuesta;  // false: one received byte, Byte; true: a reply written
    uint8_t Byte;
};
void SimMedirTiempos(SimuladorQZL* sim, bool medir);
std::vector<MomentoLinea> SimTiempos(SimuladorQZL* sim);

// Closes the line now (the device vanishes for the tool). A comN link is first re-pointed
// at a path that can never be opened, so it never leads to the pseudo-terminal number
// just freed, which another program may take at once.
void SimCerrarLinea(SimuladorQZL* sim);
// Opens a fresh line (a new pty, re-pointing the comN link, or the device again).
bool SimReabrirLinea(SimuladorQZL* sim, std::string* error = nullptr);

// Creates (or replaces) the symbolic link carpeta/comN -> destino; N 1-9. An existing
// entry of that name that is not a symbolic link is left alone and reported.
bool CrearEnlaceCom(const std::string& carpeta, int puerto, const std::string& destino,
                    std::string* error = nullptr);
