#include "link/Calibracion.h"

void TestVelocidad() {}
