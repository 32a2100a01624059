#pragma once
// Line faults drawn at random, frame by frame, from a seed: what qzl-sim's --faults
// switch injects so that a technician or a trainer can watch the tool cope in its monitor.
// The same seed, rate and kinds draw the same faults for the same frames.
#include "sim/Simulador.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OpcionesAzar {
    std::vector<FalloTrama::Tipo> tipos;  // the kinds drawn from, equally often
    double tasa = 0.1;                    // share of frames that get a fault, 0 to 1
    uint64_t semilla = 1;
    int tardeMs = 2500;                   // how late a late reply comes
    int pausaSueltosMs = 2;               // between stray bytes and the reply
};

// "silent", "late", "partial", "stray-before", "stray-after", "line-pulled".
const char* NombreTipoFallo(FalloTrama::Tipo tipo);
// A comma-separated list of those names, or "all". False, with a message, for an unknown name.
bool LeerTiposFallo(const std::string& lista, std::vector<FalloTrama::Tipo>& tipos, std::string* error = nullptr);

// The draw, for SimFijarSorteo. lineaCortada, when given, is set each time the line is
// drawn to be pulled, so that the caller can bring it back.
SorteoFallos SorteoAzar(const OpcionesAzar& opciones, std::shared_ptr<std::atomic<bool>> lineaCortada = nullptr);
