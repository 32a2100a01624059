#include "link/Identificacion.h"

#include "app/ModuloKX.h"
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

FinLectura LeerMapaPresencia(Operacion& op, uint8_t mapa[BytesPresencia])
{
    ComandoQZL orden{};
    orden.Comando = ComandoPresencia;
    for (int i = 0; i < BytesPresencia; ++i) {
        orden.Indice = static_cast<uint8_t>(i);
        RespuestaQZL r;
        if (!op.Enviar(orden, r))
            return FinLectura::SinVentana;
        if (r.Estado != EstadoRespuesta) {
            Panel1(QStringLiteral("Identification Error in data ") + QString::number(i));
            return FinLectura::Fallida;
        }
        mapa[i] = r.Dato;
        Panel1(ConBlanco(i));
    }
    return FinLectura::Completa;
}

bool IdentificarQZL()
{
    OpcionesOperacion opciones;
    opciones.tipo = TipoOperacion::Lectura;
    // The read follows at once, with nothing in between.
    opciones.procesarEventosAlSalir = false;
    opciones.mensajeSinPuerto = QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación");
    Operacion op(opciones);
    if (!op.Activa())
        return false;
    if (!op.AbrirPuerto())
        return MapaNoFiable();
    uint8_t mapa[BytesPresencia] = {};
    if (LeerMapaPresencia(op, mapa) != FinLectura::Completa)
        return MapaNoFiable();
    std::copy(std::begin(mapa), std::end(mapa), std::begin(MapaParametros));
    // The fields still hold what came before this controller until its read ends.
    ValoresVentana = PertenenciaValores::LecturaFallida;
    op.CerrarPuerto();
    Panel1(QStringLiteral("Ended"));
    return true;
}
