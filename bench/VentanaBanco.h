#pragma once
// What the benchmarks that drive the real window share: a scratch folder for everything it
// would write (qzl.ini, the settings, the history of reads, the service log), never the
// user's; and the window itself against a simulated controller whose every cell is present.
#include "app/FormLoad.h"
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "bench/HilosPuntuales.h"
#include "historial/Historial.h"
#include "registro/Registro.h"
#include "sim/Simulador.h"
#include "ui/Dialogos.h"
#include "ui/frmMain.h"

#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

inline void UsarCarpetaBanco(const QTemporaryDir& carpeta)
{
    FijarCarpetaPrograma(carpeta.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, carpeta.filePath(QStringLiteral(".config")));
    FijarCarpetaHistorial(carpeta.filePath(QStringLiteral("history")));
    FijarCarpetaRegistro(carpeta.filePath(QStringLiteral("logs")));
}

// The scratch folder, dialogs answered with their default, the simulator on com1 and the
// window loaded (lists, light table, port test and the pacing calibration). Null, with
// the reason on standard error, when the folder or the simulator cannot be had.
inline SimuladorPtr AbrirVentanaBanco(const char* nombre, const QTemporaryDir& carpeta, frmMain*& ventana)
{
    if (!carpeta.isValid()) {
        std::fprintf(stderr, "%s: no scratch folder\n", nombre);
        return nullptr;
    }
    UsarCarpetaBanco(carpeta);
    FijarContestadorDialogos([](const PeticionDialogo&) { return RespuestaDialogo{}; });
    OpcionesSimulador o;
    o.Estado = EstadoDemo();
    o.Estado.Presencia.fill(0xFF);
    o.CarpetaEnlace = carpeta.path().toStdString();
    o.PuertoEnlace = 1;
    std::string error;
    SimuladorPtr sim(SimIniciar(o, &error));
    if (!sim) {
        std::fprintf(stderr, "%s: simulator: %s\n", nombre, error.c_str());
        return nullptr;
    }
    NumeroPuerto = 1;
    HilosPuntuales();
    ventana = new frmMain;
    ConectarManejadores();
    Form_Load();
    return sim;
}
