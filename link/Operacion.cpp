#include "link/Operacion.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "ui/Estado.h"

#include <utility>

Operacion::Operacion(OpcionesOperacion o)
    : opciones(std::move(o))
{
    // One operation at a time: the port and the transaction are shared.
    if (OperacionEnCurso())
        return;
    activa = true;
    if (opciones.escritura)
        EmpiezaEscritura();
    if (opciones.deshabilitarBotones)
        DeshabilitaBotones();
}

Operacion::~Operacion()
{
    Terminar();
}

bool Operacion::AbrirPuerto()
{
    if (AbrirCom())
        return true;
    if (opciones.mensajeSinPuerto.isEmpty())
        Panel1(TextoPuertoNoDisponible(NumeroPuerto));
    else
        MensajeCritico(opciones.mensajeSinPuerto);
    return false;
}

bool Operacion::Enviar(const ComandoQZL& comando, RespuestaQZL& respuesta)
{
    FijarOperacionLinea(opciones.tipo);
    respuesta = EnviarComando(comando);
    FijarOperacionLinea(TipoOperacion::Ninguna);
    // The reply wait processes events: the window may have been closed meanwhile.
    if (VentanaAbierta())
        return true;
    CerrarCom();
    return false;
}

void Operacion::Fallo(const QString& texto)
{
    Panel1(texto);
    Pitido();
    Retardo(EsperaMs(PausaFalloMs));
}

void Operacion::CerrarPuerto()
{
    CerrarCom();
}

void Operacion::Terminar()
{
    if (!activa || terminada)
        return;
    terminada = true;
    CerrarCom();
    if (VentanaAbierta()) {
        HabilitaBotones();
        if (opciones.procesarEventosAlSalir)
            DoEvents();
    }
    if (opciones.escritura)
        TerminaEscritura();
}
