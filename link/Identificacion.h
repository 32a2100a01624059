#pragma once
// Identification of the connected controller: its presence map. The fields it
// shows are params/CamposPresentes.h.
#include "link/JuegoComandos.h"

#include <cstdint>

struct Operacion;

// How a read of the controller's map or cells through an open operation ended.
enum class FinLectura {
    Completa,    // every byte arrived
    Fallida,     // a byte got no reply; panel 1 says which
    SinVentana,  // the window went while a reply was awaited: nothing is shown
};

// The 32 bytes of the presence map (command 128), in order, into mapa through an
// operation whose port is open; each byte's number goes to panel 1 as it arrives.
// A byte that gets no reply stops it with "Identification Error in data " and the
// byte number in panel 1. mapa holds only what arrived. The identification and a
// compare with the controller both read the map this way.
FinLectura LeerMapaPresencia(Operacion& op, uint8_t mapa[BytesPresencia]);

// Asks the controller for the 32 bytes of its presence map (command 128) and stores
// them in MapaParametros. Panel 1 ends with "Ended".
// A presence byte that gets no reply stops it: the map becomes all zeros and
// panel 1 reads "Identification Error in data " and the byte number. A port that
// cannot be opened shows the critical read-error message and also leaves the map
// all zeros. True only when the whole map was read. Either way the fields no longer
// belong to the controller (ValoresVentana) until its read ends. Its frames are recorded
// as the read's.
bool IdentificarQZL();
