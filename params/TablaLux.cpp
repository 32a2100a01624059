#include "params/TablaLux.h"

void CargarTablaLux() {}
