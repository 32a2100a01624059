#include "app/Manejadores.h"

#include "app/ListaPuertos.h"
#include "flash/Eventos.h"
#include "informe/Eventos.h"
#include "link/Eventos.h"
#include "monitor/Monitor.h"
#include "params/Eventos.h"
#include "registro/Registro.h"
#include "ui/Interfaz.h"

void ConectarManejadores()
{
    ConectarInterfaz();
    ConectarListaPuertos();
    ConectarEnlace();
    ConectarParametros();
    ConectarFlash();
    ConectarInforme();
    IniciarRegistro();
    ConectarMonitor();
}
