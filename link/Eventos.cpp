#include "link/Eventos.h"

#include "link/Comandos.h"
#include "ui/Estado.h"

void ConectarEnlace()
{
    AlPulsar("CDia", &CDia_Click);
    AlPulsar("CNoche", &CNoche_Click);
    AlPulsar("CNormal", &CNormal_Click);
    AlPulsar("CCambioLamparaOn", &CCambioLamparaOn_Click);
    AlPulsar("CCambioLamparaOff", &CCambioLamparaOff_Click);
    AlPulsar("CFalloRedOn", &CFalloRedOn_Click);
    AlPulsar("CFalloRedOff", &CFalloRedOff_Click);
    AlPulsar("btnTelemandoMotor1", &btnTelemandoMotor1_Click);
    AlPulsar("btnTelamandoMotor2", &btnTelamandoMotor2_Click);
}
