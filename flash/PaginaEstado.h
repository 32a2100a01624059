#pragma once
// The status page: the status lamps and the three measured values, read once with
// CInterrogar or polled with the timer TimerEstado. What goes on the line is
// link/Interrogacion.h; this is what the page asks for and how it shows the answers.
#include <QString>
#include <cstdint>

class QLabel;

// A lamp pair lying at one place: the "set" picture shown and the "clear" one
// hidden, or the opposite.
void MostrarLampara(QLabel* encendida, QLabel* apagada, bool encendido);

// Status byte 0 drives its three pairs whatever the changer type.
void AplicarEstado0(uint8_t estado);
// Status byte 1 drives the pairs of the changer type (the position of the entry
// selected in ComboTipoCambiador; -1 for none); type 3 also shows the PWM field.
// Types 4 and -1 show nothing.
void AplicarEstado1(uint8_t estado, int tipoCambiador);

// A measured value from its count of hundredths (0 to 65535): 0.00 to 655.35, with
// exactly two decimals and the user's decimal separator.
QString TextoMedida(int centesimas);

// Poll period from the text of TTiempoModoVerboso: its leading number in seconds
// ("." as decimal point in every locale) times 1000, halves to even, held within
// 100 to 65535 ms.
int IntervaloModoVerboso(const QString& texto);
constexpr int IntervaloMinimoMs = 100;
constexpr int IntervaloMaximoMs = 65535;

// Reads the status and measured values chosen by the check boxes, once. Does
// nothing while another device operation runs.
void CInterrogar_Click();
// One poll: the timer lamp on for the length of the interrogation. A tick that
// comes while another operation runs is skipped; the timer keeps its period.
void TimerEstado_Timer();
// Starts the poll with the period of TTiempoModoVerboso.
void CModoVerboso_Click();
// Stops the poll.
void Command1_Click();
