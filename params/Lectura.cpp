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
    // The image a later write starts from stays that of the last good read (or of this
    // one, when it failed while being shown): a field this read did not show again is
    // no longer taken as unedited and is encoded from its text.
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
            // Nothing of this read is shown: the fields keep what the last good read or
            // file load put there, and so does the image a later write starts from, so an
            // unedited write after a failed read still gives the controller back its cells.
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
