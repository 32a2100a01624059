#pragma once
// Writing the window's parameter set to the controller.
#include "params/Catalogo.h"

#include <vector>

// The write button.
void CEscribir_Click();
// Nothing is sent while the fields do not belong to the controller last identified
// (ValoresVentana): panel 1 then says why, in the window's language. Otherwise panel 1
// shows "Writing", the fields are encoded into a fresh image and every present address
// is written (command 2): 0 to 246, then 254 and 255; 247 to 253 never. Every cell to
// send is checked to be a byte before the port is opened; a field that cannot be
// encoded or sent shows the critical write-error message and nothing is sent.
// A transaction that fails ends the first pass (the second is still tried) and
// panel 1 ends with "Writing Error in data " and the first failed address.
// Closing the window meanwhile waits for the write's end (ui/Estado.h).
// With "Verify after writing" ticked, a write that sent every address then reads each
// one back (command 1) in the same order, within the same operation, and panel 1 ends
// with "N cells verified", "N cells differ" (AlDiferirVerificacion then shows them) or
// the read-back's failure with its address, instead of "Ended". Clear, nothing changes.
void EscribirQZL();

// The Setup page's "Verify after writing" box.
bool VerificarTrasEscribir();
// Called with the image sent, the image read back and the addresses written when a
// verify finds cells that differ; none until the wiring sets it.
extern void (*AlDiferirVerificacion)(const ImagenParametros& enviada, const ImagenParametros& leida,
                                     const std::vector<int>& direcciones);
