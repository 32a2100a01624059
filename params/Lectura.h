#pragma once
// Reading the controller's parameter set into the window.

// The read button: hides the device-dependent controls, identifies the controller,
// shows its present fields, then reads it. A failed identification leaves the read
// undone and the fields hidden.
void CLeer_Click();
// Reads every present address (command 1) in increasing order into a fresh
// image and decodes it into the fields, the sensor kind first. A firmware
// version below 48 shows string 2001. A transaction that fails stops the read:
// panel 1 keeps "Reading Error in data " and the address, and no field changes.
void LeerQZL();
