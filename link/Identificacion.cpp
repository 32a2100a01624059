#include "link/Identificacion.h"

#include "app/ModuloKX.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "ui/Estado.h"

#include <algorithm>

// A map with holes would read and write the wrong addresses: nothing is trusted.
static bool MapaNoFiable()
{
    std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0});
    ValoresVentana = PertenenciaValores::IdentificacionFallida;
    return false;
}

bool IdentificarQZL(TipoOperacion tipo)
{
    OpcionesOperacion opciones;
    opciones.tipo = tipo;
    // The read follows at once, with nothing in between.
    opciones.procesarEventosAlSalir = false;
    opciones.mensajeSinPuerto = QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación");
    Operacion op(opciones);
    if (!op.Activa())
        return false;
    ComandoQZL orden{};
    orden.Comando = ComandoPresencia;
    if (!op.AbrirPuerto())
        return MapaNoFiable();
    uint8_t mapa[BytesPresencia] = {};
    for (int i = 0; i < BytesPresencia; ++i) {
        orden.Indice = static_cast<uint8_t>(i);
        RespuestaQZL r;
        if (!op.Enviar(orden, r))
            return MapaNoFiable();
        if (r.Estado != EstadoRespuesta) {
            Panel1(QStringLiteral("Identification Error in data ") + QString::number(i));
            return MapaNoFiable();
        }
        mapa[i] = r.Dato;
        Panel1(ConBlanco(i));
    }
    std::copy(std::begin(mapa), std::end(mapa), std::begin(MapaParametros));
    // The fields still hold what came before this controller until its read ends.
    ValoresVentana = PertenenciaValores::LecturaFallida;
    op.CerrarPuerto();
    Panel1(QStringLiteral("Ended"));
    return true;
}
