#pragma once
// Identification of the connected controller: its presence map. The fields it
// shows are params/CamposPresentes.h.
#include "link/Operacion.h"

// Asks the controller for the 32 bytes of its presence map (command 128) and stores
// them in MapaParametros. Panel 1 ends with "Ended".
// A presence byte that gets no reply stops it: the map becomes all zeros and
// panel 1 reads "Identification Error in data " and the byte number. A port that
// cannot be opened shows the critical read-error message and also leaves the map
// all zeros. True only when the whole map was read. Either way the fields no longer
// belong to the controller (ValoresVentana) until its read ends. Its frames are recorded
// as part of the operation tipo: the read's, or another's that identifies first.
bool IdentificarQZL(TipoOperacion tipo = TipoOperacion::Lectura);

