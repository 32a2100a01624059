#include "flash/ValoresInstantaneos.h"

void ConectarValoresInstantaneos() {}
