#pragma once
// Live input and output states: the labels of page 6, one refresh, and the
// automatic refresh every second.
#include <QString>
#include <cstdint>

class QLabel;

// What one state label shows.
enum class EstadoSenal { Encendida, Apagada, NoLeida };

// Colour codes of the three states (red in bits 0-7, blue in bits 16-23).
constexpr int32_t ColorSenalEncendida = 16711680;  // pure blue
constexpr int32_t ColorSenalApagada = 255;         // pure red
constexpr int32_t ColorSenalNoLeida = 0;           // black

// "ON" in blue, "OFF" in red or "--" in black; the accessible description says
// "on", "off" or "not read".
void MostrarSenal(QLabel* etiqueta, EstadoSenal estado);

// Captions of btnSpoolValorInstantaneo, the same in every language; the caption
// is the switch's state.
inline QString TextoActivarAuto() { return QStringLiteral("Activar auto"); }
inline QString TextoDesactivarAuto() { return QStringLiteral("Desactivar auto"); }

// Reads inputs 1-8, outputs 1-8 and outputs 9-11 once. A group whose transaction
// fails shows "--". Does nothing while another device operation runs.
void btnVerValoresInstantaneos_Click();
// Switches the automatic refresh on or off; the first refresh comes a period later.
void btnSpoolValorInstantaneo_Click();
// One automatic refresh, with the timer stopped while it runs. Skipped while
// another device operation runs; the timer keeps its period.
void tmrSpoolValoresInstantaneos_Timer();

// Every input and output label as not read, as the window starts.
void MostrarSenalesNoLeidas();
