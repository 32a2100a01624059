#pragma once

// Wires the Report button.
void ConectarInforme();
