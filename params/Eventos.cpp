#include "params/Eventos.h"

void ConectarParametros() {}
