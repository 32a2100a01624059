#pragma once
// Live input and output states.
void ConectarValoresInstantaneos();
