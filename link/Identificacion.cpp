#include "link/Identificacion.h"

#include "app/ModuloKX.h"
#include "link/JuegoComandos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"

#include <algorithm>

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
    ComandoQZL orden{};
    orden.Comando = ComandoPresencia;
    if (!AbrirCom()) {
        ErrorIdentificacion();
        MensajeCritico(QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación"));
        return false;
    }
    uint8_t mapa[BytesPresencia] = {};
    for (int i = 0; i < BytesPresencia; ++i) {
        orden.Indice = static_cast<uint8_t>(i);
        const RespuestaQZL r = EnviarComando(orden);
        // The window may have been closed while the reply was awaited.
        if (!VentanaAbierta()) {
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
        Panel1(ConBlanco(i));
    }
    std::copy(std::begin(mapa), std::end(mapa), std::begin(MapaParametros));
    CerrarCom();
    Panel1(QStringLiteral("Ended"));
    HabilitaBotones();
    return true;
}
