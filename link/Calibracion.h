#pragma once
// Calibration of the pacing delay against the clock.

void TestVelocidad();
