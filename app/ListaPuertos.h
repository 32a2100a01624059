#pragma once
// The port list ComboCom: the numbers a technician chooses from, what each one opens,
// and the port test that checks the choice and remembers it in qzl.ini.

// Start-up: fills ComboCom with "Com1:" to "Com9:", each entry described by
// DescripcionesPuertos as its tooltip and accessible description (renewed at every port
// test and whenever an entry of the open list is highlighted, so that an adapter
// plugged in later shows up), sets the port number from
// NumeroPuerto and selects its entry (Com1: for a number outside 1 to 9), which runs
// the port test.
void IniciarComboCom();
// The port list's handlers: test the chosen port, remember it in qzl.ini (Click only)
// and fall back to "Com1:" when it fails. While an operation runs they undo the
// change and do nothing else (the port must not be switched under a transaction).
void ComboCom_Click();
void ComboCom_Change();
// Connects the list to those handlers; called once by the start-up.
void ConectarListaPuertos();
