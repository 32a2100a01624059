#include "informe/Eventos.h"

#include "informe/Informe.h"
#include "ui/Ventana.h"

#include <QPushButton>

void ConectarInforme()
{
    QObject::connect(Ventana().CInforme, &QPushButton::clicked, [] { CInforme_Click(); });
}
