// Writes one PNG per tab page of the main window as built, and one of the splash,
// so the pages can be looked at without a display: qzl-snapshots DIR [en|es|fr]; and one of
// the Differences window.
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "app/ModuloKX.h"
#include "comparacion/Comparar.h"
#include "comparacion/Diferencias.h"
#include "flash/Colores.h"
#include "link/Puerto.h"
#include "monitor/Monitor.h"
#include "params/Lectura.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"
#include "ui/frmSplash.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString destino = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("snapshots");
    QDir().mkpath(destino);
    QTextStream salida(stdout);
    const QString idioma = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("en");
    if (idioma == QLatin1String("es"))
        FijarTablaIdioma(TablaEspanol);
    else if (idioma == QLatin1String("fr"))
        FijarTablaIdioma(TablaFrances);
    else if (idioma == QLatin1String("en"))
        FijarTablaIdioma(TablaIngles);
    else {
        QTextStream(stderr) << "qzl-snapshots: language must be en, es or fr\n";
        return 2;
    }

    frmSplash splash;
    splash.show();
    QApplication::processEvents();
    splash.grab().save(destino + QStringLiteral("/splash.png"));
    salida << destino << "/splash.png\n";
    splash.close();

    // Service mode, so that every page has its tab.
    OpcionesVentanaPrueba o;
    o.qzlIni = QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n573\r\n");
    o.calibrar = true;
    frmMain* f = CrearVentanaPrueba(o);
    QApplication::processEvents();
    f->grab().save(destino + QStringLiteral("/start.png"));
    salida << destino << "/start.png\n";
    // The pages as a technician sees them after reading the demo controller and its
    // flash table: every field there, lists set, colours and sectors drawn. Without the
    // simulator the pages are shown as they start (the start picture left out).
    SimuladorPtr sim = IniciarSimuladorPrueba(1, EstadoDemo());
    if (sim) {
        FijarPuerto(1);
        // A few faults, so that the monitor shows how they look.
        SimFijarSorteo(sim.get(), [](const Trama&, int n) {
            FalloTrama f;
            if (n == 40)
                f.tipo = FalloTrama::Silencio;
            if (n == 60) {
                f.tipo = FalloTrama::BytesAntes;
                f.Sueltos = {0x01, 0xFE};
                f.Ms = 2;
            }
            if (n == 80) {
                f.tipo = FalloTrama::Parcial;
                f.Bytes = 5;
            }
            return f;
        });
        FactorEsperas = 0.1;
        CLeer_Click();
        CLeerColores_Click();
        FactorEsperas = 1.0;
    }
    Ventana().PictureInicio->hide();
    for (int p = 1; p <= 6; ++p) {
        if (p <= NumeroPestanas())
            SeleccionarPestana(p);
        for (int i = 1; i <= 6; ++i)
            FrameP(i)->setVisible(i == p);
        QApplication::processEvents();
        const QString archivo = destino + QStringLiteral("/page%1.png").arg(p);
        f->grab().save(archivo);
        salida << archivo << "\n";
    }
    // The Differences window of a compare with a controller changed since its read: a
    // value, one the window cannot show, a cell no field shows and a colour.
    if (sim) {
        EstadoSimulador e = SimEstado(sim.get());
        e.Celdas[28] = 1;
        e.Celdas[29] = 44;
        e.Celdas[55] = 3;
        e.Celdas[60] = uint8_t(e.Celdas[60] + 1);
        FijarColorFila(e, 2, 0x00FF00);
        SimFijarEstado(sim.get(), e);
        CompararConControlador(true);
        if (QDialog* d = FormularioDiferencias()) {
            QApplication::processEvents();
            const QString archivo = destino + QStringLiteral("/differences.png");
            d->grab().save(archivo);
            salida << archivo << "\n";
        }
    }
    // The line monitor after those reads and the compare, scrolled to a fault.
    CMonitor_Click();
    if (QWidget* monitor = VentanaMonitor()) {
        PasarPendientesMonitor();
        QApplication::processEvents();
        const QString archivo = destino + QStringLiteral("/monitor.png");
        monitor->grab().save(archivo);
        salida << archivo << "\n";
    }
    CerrarVentanaPrueba();
    sim.reset();
    return 0;
}
