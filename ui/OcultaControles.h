#pragma once
// Control reset: hides every device-dependent control.
void OcultaControles();
