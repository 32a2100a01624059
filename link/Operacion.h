#pragma once
// One device operation: what every handler that talks to the controller does around
// its transactions, written once. A handler holds one Operacion for the length of its
// device work:
//
//     Operacion op;                      // the guard, and the buttons disabled
//     if (!op.Activa() || !op.AbrirPuerto())
//         return;                        // another operation runs / the port is reported
//     RespuestaQZL r;
//     if (!op.Enviar(comando, r))
//         return;                        // the window was closed meanwhile: nothing to show
//     if (r.Estado != EstadoRespuesta)
//         op.Fallo(...);                 // message, beep, pause
//     ...
//                                        // leaving: port closed, buttons enabled, events
//
// Each handler keeps its own texts and decides what a failed transaction means to it.
#include "link/Transaccion.h"

#include <QString>

// After a failed transaction's message and beep: the pause before the operation goes on
// or ends, so that the technician sees what failed.
constexpr int PausaFalloMs = 1000;

// What an operation is, as the records of its frames name it (link/RegistroLinea.h).
enum class TipoOperacion : uint8_t {
    Ninguna,              // a transaction outside any operation
    Lectura,              // identification and read
    Escritura,
    Comparacion,
    EscrituraColores,
    LecturaColores,
    Estado,               // the status interrogation
    ValoresInstantaneos,  // live values
    OrdenDirecta,         // one operating command; the frame says which
};

struct OpcionesOperacion {
    // Named in the record of every frame the operation sends.
    TipoOperacion tipo = TipoOperacion::Ninguna;
    // Operations of several commands disable the four file and transfer buttons.
    bool deshabilitarBotones = true;
    // Writes hold the window open to their last frame: their data was complete before
    // the first frame, and half a configuration must not be left in the controller. A
    // close asked meanwhile waits for the end (ui/Estado.h, EmpiezaEscritura).
    bool escritura = false;
    // Whatever the last transaction left on the window is painted on leaving; the
    // identification leaves that to the read that follows it at once.
    bool procesarEventosAlSalir = true;
    // A port that cannot be opened: empty, panel 1 says "Serial Port  N  Not Avalaible";
    // otherwise this text in a critical message box.
    QString mensajeSinPuerto;
};

struct Operacion {
    // Takes the guard: inactive (and then it does nothing at all, on leaving too) while
    // another device operation runs. Active, it disables the buttons if asked to.
    explicit Operacion(OpcionesOperacion opciones = {});
    // Leaves, if the handler has not already done so.
    ~Operacion();
    Operacion(const Operacion&) = delete;
    Operacion& operator=(const Operacion&) = delete;

    bool Activa() const { return activa; }

    // AbrirCom; a failure is reported as the options say, and false returned.
    bool AbrirPuerto();
    // One transaction, then the check that the window still exists. False when it has
    // gone: the port is then closed and the handler returns without showing anything
    // (a write's window stays, so for a write this is only the window destroyed outright).
    // respuesta is set either way.
    bool Enviar(const ComandoQZL& comando, RespuestaQZL& respuesta);
    // The failure step of a transaction that got no reply: texto in panel 1, the beep,
    // then PausaFalloMs.
    void Fallo(const QString& texto);

    // Closes the port now; the buttons stay as they are until leaving.
    void CerrarPuerto();
    // Leaving, once: the port closed, and while the window exists the buttons enabled
    // and pending events processed; then, for a write, a close asked meanwhile happens.
    void Terminar();

private:
    OpcionesOperacion opciones;
    bool activa = false;
    bool terminada = false;
};
