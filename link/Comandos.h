#pragma once
// Direct commands: the nine operating-command buttons of the remote-control page.
#include <QString>
#include <cstdint>

// One operating command (Comando 6) with its Indice and Dato: opens the port, sends
// it, closes the port and reports exito or fallo in panel 1. A port that cannot be
// opened is reported as "Serial Port  N  Not Avalaible". Does nothing while another
// operation runs (OperacionEnCurso).
void OrdenDirecta(uint8_t indice, uint8_t dato, const QString& exito, const QString& fallo);

void CDia_Click();
void CNoche_Click();
void CNormal_Click();
void CCambioLamparaOn_Click();
void CCambioLamparaOff_Click();
void CFalloRedOn_Click();
void CFalloRedOff_Click();
void btnTelemandoMotor1_Click();
void btnTelamandoMotor2_Click();
