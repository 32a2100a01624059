#include "params/Lectura.h"

#include "app/ModuloKX.h"
#include "link/Identificacion.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "params/Campos.h"
#include "params/CamposPresentes.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"

#include <QLabel>

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

static const QString ErrorDeLectura = QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación");

// A read that did not end well: the fields are no longer the controller's own.
static void LecturaNoTerminada()
{
    if (ValoresVentana == PertenenciaValores::DelControlador)
        ValoresVentana = PertenenciaValores::LecturaFallida;
}

static void ErrorLectura()
{
    LecturaNoTerminada();
    // The image a later write starts from stays that of the last good read (or of this
    // one, when it failed while being shown): a field this read did not show again is
    // no longer taken as unedited and is encoded from its text.
    MensajeCritico(ErrorDeLectura);
}

FinLectura LeerCeldasPresentes(Operacion& op, const uint8_t mapa[BytesPresencia], ImagenParametros& imagen)
{
    ComandoQZL orden{};
    orden.Comando = ComandoLeerParametro;
    for (int a = 0; a < CeldasParametros; ++a) {
        if (!PresenteEnMapa(mapa, a))
            continue;
        orden.Indice = static_cast<uint8_t>(a);
        RespuestaQZL r;
        if (!op.Enviar(orden, r))
            return FinLectura::SinVentana;
        if (r.Estado != EstadoRespuesta) {
            op.Fallo(QStringLiteral("Reading Error in data ") + QString::number(a));
            return FinLectura::Fallida;
        }
        imagen.celda[a] = r.Dato;
        Panel1(ConBlanco(a));
    }
    return FinLectura::Completa;
}

void (*AlTerminarLectura)(const ImagenParametros& imagen) = nullptr;

void LeerQZL()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::Lectura;
    opciones.mensajeSinPuerto = ErrorDeLectura;
    Operacion op(opciones);
    if (!op.Activa())
        return;
    ImagenParametros imagen;
    if (!op.AbrirPuerto()) {
        LecturaNoTerminada();
        return;
    }
    // Closed while a reply was awaited: there is nothing left to show the values in.
    // A failed cell shows nothing of this read: the fields keep what the last good read
    // or file load put there, which may be another controller's, so the write is
    // refused until a read ends well.
    if (LeerCeldasPresentes(op, MapaParametros, imagen) != FinLectura::Completa) {
        LecturaNoTerminada();
        return;
    }
    op.CerrarPuerto();
    Panel1(QStringLiteral("Ended"));
    // Kept before anything is decoded: the cells arrived whole, even those a field
    // cannot show.
    if (AlTerminarLectura)
        AlTerminarLectura(imagen);

    // A write or save without an edit gives back exactly these cells.
    RecordarImagenBase(imagen);
    for (const FilaMapa* f : OrdenDecodificacion()) {
        if (!VentanaAbierta()) {
            LecturaNoTerminada();
            return;  // closed from an event processed while decoding
        }
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
    ValoresVentana = PertenenciaValores::DelControlador;
    RecordarProcedencia(OrigenValores::Controlador);
}
