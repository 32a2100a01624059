#include "params/Lectura.h"

#include "app/ModuloKX.h"
#include "link/Identificacion.h"
#include "link/JuegoComandos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/CamposPresentes.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"

#include <QLabel>

constexpr int PausaFalloMs = 1000;
constexpr int TextoFirmware = 2001;

void CLeer_Click()
{
    if (OperacionEnCurso())
        return;
    // The identification starts from the bare layout and shows what the controller has;
    // reading against a map the controller did not give would show stale or empty fields.
    OcultaControles();
    if (!IdentificarQZL())
        return;
    MostrarCamposPresentes();
    Panel1(QStringLiteral("Reading"));
    Ventana().PictureInicio->hide();
    LeerQZL();
}

static void ErrorLectura()
{
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
            // the fields keep what they held.
            CerrarCom();
            HabilitaBotones();
            DoEvents();
            return;
        }
        imagen.celda[a] = r.Dato;
        Panel1(ConBlanco(a));
    }
    CerrarCom();
    Panel1(QStringLiteral("Ended"));

    for (const FilaMapa* f : OrdenDecodificacion()) {
        if (!FormPrincipal())
            return;  // closed from an event processed while decoding
        if (!DecodificarEnVentana(*f, imagen)) {
            ErrorLectura();
            return;
        }
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
