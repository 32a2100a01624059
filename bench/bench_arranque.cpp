// Start-up benchmark: from the moment the program is started to the main window shown,
// and the peak memory of a start-up including the speed calibration.
//
// Each run is a fresh process (the start-up runs once per process): this program starts
// itself with "--una", which runs the real start-up (Main: splash, qzl.ini, the window's
// Form_Load) on a scratch program folder whose com1 leads to a simulated controller, and
// reports the moment the main window was shown and its peak resident memory. The
// processes share the system's monotonic clock, so the figure includes starting the
// process and loading the libraries.
#include "app/ModuloKX.h"
#include "sim/Simulador.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include <sys/resource.h>

static constexpr int Repeticiones = 5;
static constexpr double ObjetivoVentanaMs = 1000.0;
static constexpr double ObjetivoMemoriaMB = 100.0;

static qint64 RelojMonotonoNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Notes the first time the main window is shown.
static qint64 ventanaMostradaNs = 0;
static bool AlMostrarse(void** datos)
{
    QEvent* e = static_cast<QEvent*>(datos[1]);
    QObject* o = static_cast<QObject*>(datos[0]);
    if (ventanaMostradaNs == 0 && e->type() == QEvent::Show && qobject_cast<frmMain*>(o))
        ventanaMostradaNs = RelojMonotonoNs();
    return false;
}

// One start-up in this process; prints "shown_ns peak_kb".
static int UnaEjecucion(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QZL"));
    QApplication::setOrganizationName(QStringLiteral("QZL"));
    QStandardPaths::setTestModeEnabled(true);  // the placement saved on close stays out of the user's settings
    QInternal::registerCallback(QInternal::EventNotifyCallback, AlMostrarse);

    QTemporaryDir carpeta;
    FijarCarpetaPrograma(carpeta.path());
    QFile ini(carpeta.filePath(QStringLiteral("qzl.ini")));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n") < 0)
        return 1;
    ini.close();

    OpcionesSimulador op;
    op.Estado = EstadoDemo();
    op.CarpetaEnlace = carpeta.path().toStdString();
    op.PuertoEnlace = 1;
    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    if (!sim) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }

    Main();
    QApplication::processEvents();

    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    std::printf("%lld %ld\n", static_cast<long long>(ventanaMostradaNs), uso.ru_maxrss);
    std::fflush(stdout);
    for (QWidget* w : QApplication::topLevelWidgets())
        w->close();
    QApplication::processEvents();
    return ventanaMostradaNs > 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--una") == 0)
        return UnaEjecucion(argc, argv);

    std::vector<double> ventanaMs;
    double picoMB = 0;
    for (int i = 0; i < Repeticiones; ++i) {
        QProcess p;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(entorno);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qint64 inicio = RelojMonotonoNs();
        p.start(QString::fromLocal8Bit(argv[0]), {QStringLiteral("--una")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            std::fprintf(stderr, "bench_arranque: start-up run %d failed\n", i + 1);
            return 1;
        }
        long long mostrada = 0;
        long picoKB = 0;
        if (std::sscanf(p.readAllStandardOutput().constData(), "%lld %ld", &mostrada, &picoKB) != 2) {
            std::fprintf(stderr, "bench_arranque: run %d printed no figures\n", i + 1);
            return 1;
        }
        ventanaMs.push_back(double(mostrada - inicio) / 1e6);
        picoMB = std::max(picoMB, double(picoKB) / 1024.0);
    }
    std::sort(ventanaMs.begin(), ventanaMs.end());
    const double mediana = ventanaMs[ventanaMs.size() / 2];

    const auto cumple = [](bool si) { return si ? "met" : "NOT MET"; };
    std::printf("| Measure | Figure | Target | Met |\n|---|---|---|---|\n");
    std::printf("| Start-up to window shown (median of %d runs, %.0f to %.0f ms) | %.0f ms | <= %.0f ms | %s |\n",
                Repeticiones, ventanaMs.front(), ventanaMs.back(), mediana, ObjetivoVentanaMs,
                cumple(mediana <= ObjetivoVentanaMs));
    std::printf("| Peak memory, start-up with calibration (resident, worst run) | %.1f MB | <= %.0f MB | %s |\n",
                picoMB, ObjetivoMemoriaMB, cumple(picoMB <= ObjetivoMemoriaMB));
    return 0;
}
