#include "params/Catalogo.h"

void LlenarListasParametros() {}
