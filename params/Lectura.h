#pragma once
// Reading the controller's parameter set into the window.
#include "link/Identificacion.h"
#include "params/Catalogo.h"

// The read button: hides the device-dependent controls, identifies the controller,
// shows its present fields, then reads it. A failed identification leaves the read
// undone and the fields hidden.
void CLeer_Click();
// Reads every present address (command 1) in increasing order into a fresh
// image and decodes it into the fields, the sensor kind first. A firmware
// version below 48 shows string 2001. A transaction that fails stops the read:
// panel 1 keeps "Reading Error in data " and the address, and no field changes.
void LeerQZL();

// Every address present in mapa (command 1), in increasing order, into imagen through an
// operation whose port is open; panel 1 shows each address as it arrives. A cell that
// gets no reply stops it through op.Fallo with "Reading Error in data " and the address.
// The read and a compare with the controller share it.
FinLectura LeerCeldasPresentes(Operacion& op, const uint8_t mapa[BytesPresencia], ImagenParametros& imagen);

// Called with the image of every read whose cells all arrived, right after "Ended" and
// before they are decoded (the history keeps it); none until the wiring sets it.
extern void (*AlTerminarLectura)(const ImagenParametros& imagen);
