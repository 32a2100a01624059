#include "app/Manejadores.h"

#include "app/ListaPuertos.h"
#include "comparacion/Eventos.h"
#include "flash/Eventos.h"
#include "historial/Historial.h"
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
    ConectarComparacion();
    ConectarHistorial();
    IniciarRegistro();
    ConectarMonitor();
}
