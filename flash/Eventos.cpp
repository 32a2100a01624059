#include "flash/Eventos.h"

#include "flash/Pautas.h"
#include "ui/Ventana.h"

#include <QPushButton>

void ConectarFlash()
{
    Ui::frmMain& v = Ventana();
    ConectarGridPautas();
    QObject::connect(v.CBorrarTabla, &QPushButton::clicked, [] { CBorrarTabla_Click(); });
}
