#include "link/Interrogacion.h"

void ConectarInterrogacion() {}
