#include "app/Manejadores.h"

#include "flash/Eventos.h"
#include "link/Eventos.h"
#include "params/Eventos.h"
#include "ui/Interfaz.h"

void ConectarManejadores()
{
    ConectarInterfaz();
    ConectarEnlace();
    ConectarParametros();
    ConectarFlash();
}
