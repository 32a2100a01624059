#pragma once
// Start-up: the Compare button, the "Verify after writing" box and its setting, and the
// verify's Differences window.
// Saves the box's state in the per-user settings (group "Settings", key "VerifyAfterWrite").
void chkVerificar_Click();
void ConectarComparacion();
