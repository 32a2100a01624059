#include "flash/Pautas.h"

void FormatearGrid() {}
void BorrarDatosGrid() {}
