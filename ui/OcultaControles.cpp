#include "ui/OcultaControles.h"

void OcultaControles() {}
