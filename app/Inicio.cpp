#include "app/Configuracion.h"
#include "app/ModuloKX.h"

void Main()
{
    LeerConfiguracion();
}
