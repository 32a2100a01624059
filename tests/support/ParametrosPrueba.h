#pragma once
// Helpers for the parameter tests: a window whose fields can all be encoded, a
// controller with chosen addresses present, the frames of one command in the
// simulator's wire log.
#include "sim/Simulador.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <utility>

// Puts "1" in every field read with the strict conversion, so that a whole
// encoding of the window succeeds.
void LlenarCamposValidos();

// A controller with all cells 0 and exactly the given address ranges present
// (inclusive pairs).
EstadoSimulador EstadoConPresentes(std::initializer_list<std::pair<int, int>> rangos);
// The demo controller with every address 0 to 255 present.
EstadoSimulador EstadoTodoPresente();

// Frames of the wire log whose command byte is `comando`, as "4B 58 ..." texts.
QStringList TramasDeComando(SimuladorQZL* sim, int comando);
// The index byte of each of those frames.
QList<int> IndicesDeComando(SimuladorQZL* sim, int comando);

// Message boxes shown since the last clear, by text.
QStringList MensajesMostrados();
