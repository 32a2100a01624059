#include "link/Interrogacion.h"

#include "link/JuegoComandos.h"

bool PreguntarEstado(Operacion& op, uint8_t indice, uint8_t& respuesta)
{
    ComandoQZL comando{};
    comando.Comando = ComandoEstado;
    comando.Indice = indice;
    comando.Dato = 0;
    RespuestaQZL r;
    const bool sigue = op.Enviar(comando, r);
    // The reply's Estado is not tested: a failed transaction leaves Dato 0.
    respuesta = r.Dato;
    return sigue;
}

bool PreguntarMedida(Operacion& op, uint8_t indiceAlto, int& centesimas)
{
    uint8_t alto = 0;
    uint8_t bajo = 0;
    if (!PreguntarEstado(op, indiceAlto, alto) || !PreguntarEstado(op, uint8_t(indiceAlto + 1), bajo))
        return false;
    centesimas = alto * 256 + bajo;
    return true;
}
