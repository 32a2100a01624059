#include "flash/Eventos.h"

void ConectarFlash() {}
