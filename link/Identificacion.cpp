#include "link/Identificacion.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"

#include <QLabel>
#include <algorithm>

constexpr uint8_t ComandoPresencia = 128;
constexpr int BytesPresencia = 32;

static void Mostrar(QWidget* w, bool visible)
{
    if (w)
        w->setVisible(visible);
}

static bool Presente(const FilaMapa& f)
{
    if (f.visibilidad == Visibilidad::PrimeraCelda)
        return ComprobarParametro(f.primera);
    for (int a = f.primera; a < f.primera + f.celdas; ++a) {
        if (ComprobarParametro(static_cast<int16_t>(a)))
            return true;
    }
    return false;
}

static void MostrarFila(const FilaMapa& f)
{
    if (f.label >= 0)
        Mostrar(Label(f.label), true);
    if (f.labelExtra >= 0)
        Mostrar(Label(f.labelExtra), true);
    if (f.labelUnidades >= 0)
        Mostrar(LabelUnidades(f.labelUnidades), true);
    if (f.etiquetaPropia)
        Mostrar(Control(QLatin1String(f.etiquetaPropia)), true);
    Mostrar(WidgetCampo(f), true);
    // The raw counts are for the workshop; they stay hidden beside the lux field.
    if (f.campoCuentas)
        Mostrar(Control(QLatin1String(f.campoCuentas)), false);
}

void MostrarCamposPresentes()
{
    bool pestanaVista = false;
    for (const FilaMapa& f : MapaMemoria()) {
        if (!pestanaVista && f.primera > CeldaPestanaVisualizacion) {
            pestanaVista = true;
            if (ComprobarParametro(CeldaPestanaVisualizacion))
                InsertarPestanaVisualizacion();
        }
        if (f.visibilidad != Visibilidad::NoSeCambia && Presente(f))
            MostrarFila(f);
    }
    if (ModoServicio())
        return;
    for (const FilaMapa& f : MapaMemoria()) {
        if (f.fabrica) {
            if (f.label >= 0)
                Mostrar(Label(f.label), false);
            Mostrar(WidgetCampo(f), false);
        }
    }
    for (const FilaMapa& f : MapaMemoria()) {
        if (f.campoCuentas)
            Mostrar(Control(QLatin1String(f.campoCuentas)), false);
    }
}

static bool ErrorIdentificacion()
{
    std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0});
    CerrarCom();
    HabilitaBotones();
    return false;
}

bool IdentificarQZL()
{
    DeshabilitaBotones();
    OcultaControles();
    ComandoQZL orden{};
    orden.Comando = ComandoPresencia;
    if (!AbrirCom()) {
        ErrorIdentificacion();
        MsgBox(QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación"),
               QMessageBox::Critical);
        return false;
    }
    uint8_t mapa[BytesPresencia] = {};
    for (int i = 0; i < BytesPresencia; ++i) {
        orden.Indice = static_cast<uint8_t>(i);
        const RespuestaQZL r = EnviarComando(orden);
        // The window may have been closed while the reply was awaited.
        if (!FormPrincipal()) {
            std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0});
            CerrarCom();
            return false;
        }
        if (r.Estado != EstadoRespuesta) {
            // A map with holes would read and write the wrong addresses: nothing is trusted.
            ErrorIdentificacion();
            Panel1(QStringLiteral("Identification Error in data ") + QString::number(i));
            return false;
        }
        mapa[i] = r.Dato;
        Panel1(u' ' + QString::number(i));
    }
    std::copy(std::begin(mapa), std::end(mapa), std::begin(MapaParametros));
    CerrarCom();
    MostrarCamposPresentes();
    Panel1(QStringLiteral("Ended"));
    HabilitaBotones();
    return true;
}
