#include "app/Manejadores.h"

#include "app/ListaPuertos.h"
#include "comparacion/Eventos.h"
#include "flash/Eventos.h"
#include "historial/Historial.h"
#include "informe/Eventos.h"
#include "link/Eventos.h"
#include "params/Eventos.h"
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
}
