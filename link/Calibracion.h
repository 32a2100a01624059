#pragma once
// Calibration of the pacing delay against the clock.
#include <cstdint>
#include <functional>

// Measures how many empty counts make one millisecond (CuentaMilisegundo), checks
// 1000 times that count against the clock and reports in panel 1: "Testing speed",
// "Index =  N", and "Out speed computer T" when the check is off by more than 0.3 s.
// A clock that shows no time passing over the count leaves CuentaMilisegundo 0.
void TestVelocidad();

// The clock the calibration reads, in seconds. Tests inject one to set the elapsed
// times the calibration sees (the loops still run); an empty function restores the
// monotonic clock.
void FijarRelojCalibracion(std::function<double()> reloj);

// Counts per millisecond for 100 million counts in the given seconds, rounded to
// the even neighbour on a half; 0 when the time is not positive or the result does
// not fit in 32 bits (the clock cannot have measured the count).
int32_t CuentaPorMilisegundo(double segundos);
