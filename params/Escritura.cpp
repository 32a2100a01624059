#include "params/Escritura.h"

#include "app/ModuloKX.h"
#include "link/JuegoComandos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

constexpr int PausaFalloMs = 1000;

void CEscribir_Click()
{
    if (OperacionEnCurso())
        return;
    Panel1(QStringLiteral("Writing"));
    EscribirQZL();
}

static void ErrorEscritura()
{
    CerrarCom();
    MsgBox(QStringLiteral("Error de escritura. Reintente la operación"), QMessageBox::Critical);
    HabilitaBotones();
}

// Writes one present address; false when its transaction failed.
static bool EscribirDireccion(ComandoQZL& orden, const ImagenParametros& imagen, int a)
{
    orden.Indice = static_cast<uint8_t>(a);
    orden.Dato = static_cast<uint8_t>(imagen.celda[a]);
    const RespuestaQZL r = EnviarComando(orden);
    if (r.Estado != EstadoRespuesta) {
        Panel1(QStringLiteral("Reading Error in data ") + QString::number(a));
        Pitido();
        Retardo(EsperaMs(PausaFalloMs));
        return false;
    }
    Panel1(ConBlanco(a));
    return true;
}

void EscribirQZL()
{
    DeshabilitaBotones();
    ImagenParametros imagen;
    if (CodificarVentana(imagen)) {
        ErrorEscritura();
        return;
    }
    // Half a configuration must never reach the controller: every byte is checked first.
    for (const int a : DireccionesEscritura()) {
        if (imagen.celda[a] < 0 || imagen.celda[a] > 255) {
            ErrorEscritura();
            return;
        }
    }
    ComandoQZL orden{};
    orden.Comando = ComandoEscribirParametro;
    if (!AbrirCom()) {
        ErrorEscritura();
        return;
    }
    int primerFallo = -1;
    for (int a = 0; a < PrimeraCeldaFabricacion; ++a) {
        if (ComprobarParametro(static_cast<int16_t>(a)) && !EscribirDireccion(orden, imagen, a)) {
            primerFallo = a;
            break;
        }
        if (a == CeldaPitidoEscritura)
            Pitido();
    }
    for (int a = UltimaCeldaFabricacion + 1; a < CeldasParametros; ++a) {
        if (ComprobarParametro(static_cast<int16_t>(a)) && !EscribirDireccion(orden, imagen, a)) {
            if (primerFallo < 0)
                primerFallo = a;
            break;
        }
    }
    CerrarCom();
    // The image was complete before the first frame: a window closed meanwhile does
    // not cut the write short, it only has no buttons left to enable.
    if (FormPrincipal())
        HabilitaBotones();
    DoEvents();
    Panel1(primerFallo < 0 ? QStringLiteral("Ended")
                           : QStringLiteral("Writing Error in data ") + QString::number(primerFallo));
}
