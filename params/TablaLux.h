#pragma once
// Light-level conversion table: lux to sensor counts and back, through the
// 53 rows of TablaLux / TablaFotodiodo / TablaFotocelula (app/ModuloKX.h).
#include <cstdint>

// Sensor kinds, the entries of ComboSensorLuz.
constexpr int SensorFotodiodo = 0;   // count rises with the light
constexpr int SensorFotocelula = 1;  // count falls with the light

// Fills the three columns; called once when the main window opens.
void CargarTablaLux();

// Lux to counts for the given sensor kind. The argument is clamped in place to
// 0..550. Any kind other than 0 or 1 (no selection) gives 0 and leaves it unchanged.
int32_t LuxACuentas(int32_t& lux, int tipoSensor);
// Counts to lux for the given sensor kind. The argument is clamped in place to
// 0..840 (photodiode) or 0..969 (photocell). No selection gives 0, argument unchanged.
int32_t CuentasALux(int32_t& cuentas, int tipoSensor);

// The same with the sensor kind selected in ComboSensorLuz at the moment of the call.
int32_t LuxACuentas(int32_t& lux);
int32_t CuentasALux(int32_t& cuentas);
