#include "support/VentanaPrueba.h"

#include "app/Configuracion.h"
#include "app/FormLoad.h"
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "historial/Historial.h"
#include "link/Calibracion.h"
#include "link/Puerto.h"
#include "registro/Registro.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

// Removed with its contents when the test process ends.
static std::unique_ptr<QTemporaryDir> carpeta;

void PrepararEntornoPrueba()
{
    if (carpeta)
        return;
    QStandardPaths::setTestModeEnabled(true);
    QApplication::setApplicationName(QStringLiteral("QZL"));
    QApplication::setOrganizationName(QStringLiteral("QZL"));
    carpeta = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/qzl prueba XXXXXX"));
    FijarCarpetaPrograma(carpeta->path());
    // The service log of a test goes to its scratch folder, never to the user's data folder.
    FijarCarpetaRegistro(carpeta->filePath(QStringLiteral("logs")));
    // No test depends on the serial devices of the machine it runs on: ports are links.
    FijarFuenteDispositivos([] { return QList<DispositivoSerie>{}; });
    // Each test process keeps its own per-user settings, never the user's and never a neighbour's.
    QDir(carpeta->path()).mkpath(QStringLiteral(".config"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, carpeta->filePath(QStringLiteral(".config")));
    // The reads' history goes to the scratch folder too.
    FijarCarpetaHistorial(carpeta->filePath(QStringLiteral("history")));
    ContestarDialogos();
}

QString CarpetaPrueba()
{
    PrepararEntornoPrueba();
    return carpeta->path();
}

void ContestarDialogos(const QString& archivo, const QColor& color)
{
    FijarContestadorDialogos([archivo, color](const PeticionDialogo& p) {
        RespuestaDialogo r;
        if (p.tipo == PeticionDialogo::GuardarArchivo || p.tipo == PeticionDialogo::AbrirArchivo) {
            r.aceptado = !archivo.isEmpty();
            r.archivo = archivo;
        } else if (p.tipo == PeticionDialogo::Color) {
            r.aceptado = color.isValid();
            r.color = color;
        }
        return r;
    });
}

frmMain* CrearVentanaPrueba(const OpcionesVentanaPrueba& o)
{
    PrepararEntornoPrueba();
    CerrarVentanaPrueba();
    QFile::remove(carpeta->filePath(QStringLiteral("qzl.ini")));
    if (!o.qzlIni.isEmpty()) {
        QFile f(carpeta->filePath(QStringLiteral("qzl.ini")));
        if (f.open(QIODevice::WriteOnly))
            f.write(o.qzlIni.toLatin1());
    }
    LeerConfiguracion();
    auto* f = new frmMain;
    ConectarManejadores();
    if (o.ejecutarFormLoad) {
        if (!o.calibrar) {
            // A clock that jumps a thousand seconds per reading makes the calibration's
            // one-second check instant; Retardo then stays instant for the test.
            auto segundos = std::make_shared<double>(0.0);
            FijarRelojCalibracion([segundos] { return *segundos += 1000.0; });
        }
        Form_Load();
        if (!o.calibrar) {
            FijarRelojCalibracion(nullptr);
            CuentaMilisegundo = 0;
        }
    }
    return f;
}

void ReiniciarEstadoPrueba()
{
    FactorEsperas = 1.0;
    CuentaMilisegundo = 0;
    HistorialPanel1().clear();
    DialogosMostrados().clear();
    ReiniciarPitidos();
}

void CerrarVentanaDurante(const std::function<bool()>& cuando, const std::function<void()>& operacion,
                          bool desdeBucle)
{
    QTimer vigia;
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (cuando() && FormPrincipal())
            FormPrincipal()->close();
    });
    vigia.start(1);
    if (desdeBucle) {
        QEventLoop bucle;
        QTimer::singleShot(0, [&] {
            operacion();
            bucle.quit();
        });
        bucle.exec();
    } else {
        operacion();
    }
    vigia.stop();
}

void CerrarVentanaPrueba()
{
    QPointer<frmMain> f = FormPrincipal();
    if (!f)
        return;
    f->close();
    delete f.data();
}
