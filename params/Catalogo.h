#pragma once
// The parameter catalogue: lists and their entries.

// Start-up: fills the seven parameter lists and selects entry 0 of each.
void LlenarListasParametros();
