#include "link/Eventos.h"

void ConectarEnlace() {}
