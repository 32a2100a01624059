#include "link/Puerto.h"

void IniciarComboCom() {}
