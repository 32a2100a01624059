#pragma once
// Status interrogation on the line: the two status bytes and the three measured
// values, one transaction per byte (Comando 5, Dato 0). The status page that asks for
// them and shows them is flash/PaginaEstado.h.
#include "link/Operacion.h"

#include <cstdint>

// One status byte, Indice indice, within the operation op. A failed transaction
// answers 0 and the interrogation carries on (its lamps then show clear). False when
// the window was closed while the reply was awaited: nothing is left to show it on.
bool PreguntarEstado(Operacion& op, uint8_t indice, uint8_t& respuesta);
// A measured value from two transactions, its high byte at indiceAlto and its low byte
// at indiceAlto + 1: an unsigned count of hundredths, 0 to 65535 (0 for a failed one).
// False as above; the low byte is not asked then.
bool PreguntarMedida(Operacion& op, uint8_t indiceAlto, int& centesimas);
