#include "params/CamposPresentes.h"

#include "app/ModuloKX.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"

#include <QLabel>

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
