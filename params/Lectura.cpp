#include "params/Lectura.h"

#include "app/ModuloKX.h"
#include "link/Identificacion.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QLabel>

constexpr uint8_t ComandoLeerParametro = 1;
constexpr int PausaFalloMs = 1000;
constexpr int TextoFirmware = 2001;

void CLeer_Click()
{
    if (OperacionEnCurso())
        return;
    // Reading against a map the controller did not give would show stale or empty fields.
    if (!IdentificarQZL())
        return;
    Panel1(QStringLiteral("Reading"));
    Ventana().PictureInicio->hide();
    LeerQZL();
}

static void ErrorLectura()
{
    // The fields no longer show one read: every one is encoded from its text again.
    OlvidarImagenBase();
    CerrarCom();
    MsgBox(QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación"),
           QMessageBox::Critical);
    HabilitaBotones();
}

void LeerQZL()
{
    DeshabilitaBotones();
    ImagenParametros imagen;
    ComandoQZL orden{};
    orden.Comando = ComandoLeerParametro;
    if (!AbrirCom()) {
        ErrorLectura();
        return;
    }
    for (int a = 0; a < CeldasParametros; ++a) {
        if (!ComprobarParametro(static_cast<int16_t>(a)))
            continue;
        orden.Indice = static_cast<uint8_t>(a);
        const RespuestaQZL r = EnviarComando(orden);
        // Closed while the reply was awaited: there is nothing left to show the values in.
        if (!FormPrincipal()) {
            CerrarCom();
            return;
        }
        if (r.Estado != EstadoRespuesta) {
            Panel1(QStringLiteral("Reading Error in data ") + QString::number(a));
            Pitido();
            Retardo(EsperaMs(PausaFalloMs));
            // A partial image would show zeros that a later write sends back:
            // the fields keep what they held, and are encoded from their texts again.
            OlvidarImagenBase();
            CerrarCom();
            HabilitaBotones();
            DoEvents();
            return;
        }
        imagen.celda[a] = r.Dato;
        Panel1(u' ' + QString::number(a));
    }
    CerrarCom();
    Panel1(QStringLiteral("Ended"));

    // A write or save without an edit gives back exactly these cells.
    RecordarImagenBase(imagen);
    for (const FilaMapa* f : OrdenDecodificacion()) {
        if (!FormPrincipal())
            return;  // closed from an event processed while decoding
        if (!DecodificarEnVentana(*f, imagen)) {
            ErrorLectura();
            return;
        }
        RecordarCampoMostrado(*f);
        if (f->primera == CeldaTipoCambiador)
            DoEvents();
        if (f->primera == CeldaFirmware && imagen.celda[CeldaFirmware] < FirmwareMinimo)
            MsgBox(TextoRecurso(TextoFirmware));
    }
    if (!FormPrincipal())
        return;
    HabilitaBotones();
    DoEvents();
}
