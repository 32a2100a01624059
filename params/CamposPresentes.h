#pragma once
// The fields the window shows for the connected controller: those of the addresses
// present in MapaParametros, as the memory map names them.

// Shows the fields, captions and unit labels of the addresses present in
// MapaParametros (and the visualization tab for address 225); outside service
// mode then hides the factory fields. Nothing is hidden first: the caller starts
// from the bare layout (OcultaControles).
void MostrarCamposPresentes();
