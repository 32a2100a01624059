#pragma once
// What happened on the line, as plain records: every frame sent and every byte taken
// from the line, with what became of it. The transaction fills them in memory and hands
// each to one listener, outside every pause of the line; who keeps or shows them is no
// business of the link.
#include "link/Operacion.h"
#include "link/Transaccion.h"

#include <QByteArray>
#include <cstdint>

enum class SentidoLinea : uint8_t {
    Salida,   // tool to controller
    Entrada,  // controller to tool
};

// What was done with the bytes of a record.
enum class DestinoLinea : uint8_t {
    Enviada,          // the frame went out whole
    EnvioCortado,     // the line went while the frame was being written: bytes holds what went
    RespuestaTomada,  // the 8 bytes taken as the frame's reply
    TiempoAgotado,    // nothing came by the reply limit
    Parcial,          // bytes came, but no whole reply, by the reply limit
    LineaPerdida,     // the line went while the reply was awaited: bytes holds what had come
    BytesSueltos,     // stray bytes around a reply, or waiting before a frame, skipped
    RespuestaTardia,  // bytes that may be a late reply to an earlier try, dropped before a frame
    RespuestaAjena,   // a reply repeating an earlier frame whose try gave up, dropped
};

// A fault on the line, as the monitor's "faults only" sees it: everything but a frame
// sent whole and its reply taken.
inline bool EsFalloLinea(DestinoLinea d)
{
    return d != DestinoLinea::Enviada && d != DestinoLinea::RespuestaTomada;
}

struct RegistroLinea {
    int64_t ms = 0;  // when (ms since 1970 UTC, AhoraLinea): a frame's first byte, or the bytes' arrival
    TipoOperacion operacion = TipoOperacion::Ninguna;
    SentidoLinea sentido = SentidoLinea::Salida;
    DestinoLinea destino = DestinoLinea::Enviada;
    uint8_t intento = 1;  // 1 to 3: the try the bytes belong to, or come before
    QByteArray bytes;
    ComandoQZL comando;   // the frame sent, or the one whose try the bytes met
};

// The one listener, called on the transaction's thread; none (nullptr) by default, and
// then no record is built at all. It must not start a transaction.
void FijarOyenteLinea(void (*oyente)(const RegistroLinea& registro));
// The clock of the records; nullptr puts back the system's. Tests move it past midnight.
void FijarRelojLinea(int64_t (*reloj)());
int64_t AhoraLinea();
// The operation the next transactions belong to (Operacion::Enviar sets it around each).
void FijarOperacionLinea(TipoOperacion tipo);
