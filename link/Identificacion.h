#pragma once
// Identification of the connected controller: its presence map and the fields
// the window shows for it.

// Asks the controller for the 32 bytes of its presence map (command 128), stores
// them in MapaParametros and shows the fields of the present addresses; outside
// service mode the factory fields are hidden again. Panel 1 ends with "Ended".
// A presence byte that gets no reply stops it: the map becomes all zeros and
// panel 1 reads "Identification Error in data " and the byte number. A port that
// cannot be opened shows the critical read-error message and also leaves the map
// all zeros. True only when the whole map was read.
bool IdentificarQZL();

// Shows the fields, captions and unit labels of the addresses present in
// MapaParametros (and the visualization tab for address 225); outside service
// mode then hides the factory fields.
void MostrarCamposPresentes();
