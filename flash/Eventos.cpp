#include "flash/Eventos.h"

#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "flash/PaginaEstado.h"
#include "flash/Pautas.h"
#include "flash/ValoresInstantaneos.h"
#include "ui/Ventana.h"

#include <QPushButton>
#include <QTimer>

void ConectarFlash()
{
    Ui::frmMain& v = Ventana();
    ConectarGridPautas();
    ConectarColores();
    QObject::connect(v.CBorrarTabla, &QPushButton::clicked, [] { CBorrarTabla_Click(); });
    QObject::connect(v.CLeerColores, &QPushButton::clicked, [] { CLeerColores_Click(); });
    QObject::connect(v.CEscribirColores, &QPushButton::clicked, [] { CEscribirColores_Click(); });
    QObject::connect(v.Command2, &QPushButton::clicked, [] { Command2_Click(); });
    QObject::connect(v.CGuardar, &QPushButton::clicked, [] { CGuardar_Click(); });
    QObject::connect(v.CAbrir, &QPushButton::clicked, [] { CAbrir_Click(); });

    QObject::connect(v.CInterrogar, &QPushButton::clicked, [] { CInterrogar_Click(); });
    QObject::connect(v.CModoVerboso, &QPushButton::clicked, [] { CModoVerboso_Click(); });
    QObject::connect(v.Command1, &QPushButton::clicked, [] { Command1_Click(); });
    QObject::connect(TimerEstado(), &QTimer::timeout, [] { TimerEstado_Timer(); });

    MostrarSenalesNoLeidas();
    QObject::connect(v.btnVerValoresInstantaneos, &QPushButton::clicked, [] { btnVerValoresInstantaneos_Click(); });
    QObject::connect(v.btnSpoolValorInstantaneo, &QPushButton::clicked, [] { btnSpoolValorInstantaneo_Click(); });
    QObject::connect(tmrSpoolValoresInstantaneos(), &QTimer::timeout, [] { tmrSpoolValoresInstantaneos_Timer(); });
}
