#pragma once
// The controller simulator as a test's peer: a pseudo-terminal linked as comN in the
// test's program folder, with the port number set to N.
#include "sim/Simulador.h"

#include <QStringList>

// Starts the simulator linked as comN (N 1-9) in CarpetaPrueba() and sets NumeroPuerto
// and the port number to N. Null (with a test failure message) when it cannot start.
SimuladorPtr IniciarSimuladorPrueba(int puerto = 1, const EstadoSimulador& estado = EstadoDemo());

// Waits (processing events) until the simulator has received n frames or the time is up.
bool EsperarTramas(SimuladorQZL* sim, int n, int ms = 2000);

// Quick failed tries: a 100 ms reply limit, and Retardo instant. A reply the test
// expects should get the product's 2 s (FactorEsperas 1) on a busy machine.
void FallosRapidos();

// A dangling comN link in CarpetaPrueba(): port N exists by name but cannot be opened.
void EnlaceRoto(int puerto);
// Removes comN from CarpetaPrueba().
void QuitarEnlace(int puerto);
