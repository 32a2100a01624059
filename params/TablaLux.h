#pragma once
// Light-level conversion table (lux to sensor counts and back).
void CargarTablaLux();
