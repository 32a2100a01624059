// A whole read (identification plus every address) and a whole write of a
// controller with all 256 addresses present, against the simulator on a
// pseudo-terminal, with the pacing calibrated as at start-up. Each is printed
// against its floor: transactions × (7 ms byte pacing + 20 ms pause after each);
// every run must lie within 0.98 to 1.02 of it (below, pauses were dropped).
// Beside it, the tool's processor time during a read as a share of one core, and
// the read on the line: the gap from each reply to the next frame as the controller's
// end sees it (when each byte arrived), and how long each frame took, both as the tool
// handed its bytes to the line and as the simulator's thread read them. A thread that
// the machine holds back reads several bytes at once, late: such frames say nothing of
// the tool's pacing and are counted apart.
//
// Usage: bench_parametros [runs]   (default 3)
#include "app/FormLoad.h"
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "bench/VentanaBanco.h"
#include "bench/HilosPuntuales.h"
#include "link/Transaccion.h"
#include "link/Puerto.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "sim/Simulador.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr double PausaBytesMs = 7.0;   // Retardo(1) after each of the first seven bytes
constexpr double PausaIntentoMs = 20.0;  // Retardo(20) after every try
constexpr double ObjetivoMin = 0.98;
constexpr double ObjetivoMax = 1.02;
constexpr double ObjetivoCpu = 10.0;        // % of one core during a whole read
constexpr double HuecoMinMs = 19.0;         // reply to next frame, as the controller sees it
constexpr double HuecoMaxMs = 30.0;
constexpr double ObjetivoHuecos = 99.0;     // % of the gaps within HuecoMinMs to HuecoMaxMs
constexpr double ObjetivoExtensionMs = 6.0; // first to last byte of every frame
constexpr double ObjetivoAgrupadas = 1.0;   // % of frames the simulator may read in bunches
constexpr int TransaccionesLectura = 32 + 256;  // presence bytes, then every address
constexpr int TransaccionesEscritura = 249;     // 0 to 246, 254, 255

struct Medida {
    const char* operacion;
    int transacciones;
    int tramas;  // frames the simulator received, to show nothing was retried
    double msPared;
    double msCpu;  // processor time of the tool's thread
    std::vector<MomentoLinea> linea;
    std::vector<int64_t> enviadosNs;  // each frame byte as the tool handed it over
    double msRespuestas;              // the replies' ways: last byte handed over to reply taken
};

int64_t AhoraNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<int64_t> enviados;
int64_t nsRespuestas = 0;

void AnotarLinea(bool respuesta)
{
    const int64_t ahora = AhoraNs();
    if (!respuesta)
        enviados.push_back(ahora);
    else if (!enviados.empty())
        nsRespuestas += ahora - enviados.back();
}

// First to last byte of each frame, from the moments its bytes were handed over.
std::vector<double> ExtensionesEnviadas(const std::vector<int64_t>& ns)
{
    std::vector<double> e;
    for (size_t i = 0; i + LongitudTrama <= ns.size(); i += LongitudTrama)
        e.push_back(double(ns[i + LongitudTrama - 1] - ns[i]) / 1e6);
    return e;
}

double CpuHiloMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The line during one operation: for each reply, the gap to the first byte of the
// next frame; for each frame, the time from its first to its last byte.
struct Linea {
    std::vector<double> huecosMs;
    std::vector<double> extensionesMs;  // frames read byte by byte
    int agrupadas = 0;                  // frames of which some bytes came in one read
};

Linea AnalizarLinea(const std::vector<MomentoLinea>& tiempos)
{
    Linea l;
    int64_t respuesta = -1;
    int64_t primero = 0;
    int64_t anterior = 0;
    bool agrupada = false;
    int bytes = 0;
    for (const MomentoLinea& m : tiempos) {
        if (m.Respuesta) {
            respuesta = m.Ns;
            continue;
        }
        if (bytes % LongitudTrama == 0) {
            primero = m.Ns;
            agrupada = false;
            if (respuesta >= 0)
                l.huecosMs.push_back(double(m.Ns - respuesta) / 1e6);
            respuesta = -1;
        } else if (m.Ns == anterior) {
            agrupada = true;  // taken by the same read as the byte before it
        }
        anterior = m.Ns;
        if (bytes % LongitudTrama == LongitudTrama - 1) {
            if (agrupada)
                ++l.agrupadas;
            else
                l.extensionesMs.push_back(double(m.Ns - primero) / 1e6);
        }
        ++bytes;
    }
    return l;
}

double Suelo(int transacciones)
{
    return transacciones * (PausaBytesMs + PausaIntentoMs);
}

Medida Medir(const char* operacion, int transacciones, SimuladorQZL* sim, const std::function<void()>& hacer)
{
    const int antes = SimTramasRecibidas(sim);
    SimMedirTiempos(sim, true);
    enviados.clear();
    enviados.reserve(size_t(transacciones) * LongitudTrama * 2);
    nsRespuestas = 0;
    FijarTestigoLinea(&AnotarLinea);
    const double cpu0 = CpuHiloMs();
    QElapsedTimer t;
    t.start();
    hacer();
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    const double cpu = CpuHiloMs() - cpu0;
    FijarTestigoLinea(nullptr);
    Medida m{operacion, transacciones, SimTramasRecibidas(sim) - antes, ms, cpu, SimTiempos(sim), enviados,
             double(nsRespuestas) / 1e6};
    SimMedirTiempos(sim, false);
    return m;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int corridas = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;

    QTemporaryDir carpeta;
    frmMain* ventana = nullptr;
    SimuladorPtr sim = AbrirVentanaBanco("bench_parametros", carpeta, ventana);
    if (!sim)
        return 1;
    QTextStream salida(stdout);
    salida << "CuentaMilisegundo " << CuentaMilisegundo << " (" << TextoPanel1() << ")\n";

    QList<Medida> medidas;
    for (int i = 0; i < corridas; ++i) {
        medidas << Medir("read", TransaccionesLectura, sim.get(), [] { CLeer_Click(); });
        medidas << Medir("write", TransaccionesEscritura, sim.get(), [] { CEscribir_Click(); });
    }

    salida << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
                  .arg(QStringLiteral("operation"), -10)
                  .arg(QStringLiteral("transactions"), 12)
                  .arg(QStringLiteral("frames"), 7)
                  .arg(QStringLiteral("floor ms"), 10)
                  .arg(QStringLiteral("wall ms"), 10)
                  .arg(QStringLiteral("ratio"), 7)
                  .arg(QStringLiteral("cpu %"), 6)
                  .arg(QStringLiteral("gaps ok %"), 9)
                  .arg(QStringLiteral("spread min"), 10);
    for (const Medida& m : medidas) {
        const double suelo = Suelo(m.transacciones);
        const Linea l = AnalizarLinea(m.linea);
        const long dentro = std::count_if(l.huecosMs.begin(), l.huecosMs.end(),
                                          [](double h) { return h >= HuecoMinMs && h <= HuecoMaxMs; });
        salida << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9\n")
                      .arg(QLatin1String(m.operacion), -10)
                      .arg(m.transacciones, 12)
                      .arg(m.tramas, 7)
                      .arg(suelo, 10, 'f', 1)
                      .arg(m.msPared, 10, 'f', 1)
                      .arg(m.msPared / suelo, 7, 'f', 3)
                      .arg(100.0 * m.msCpu / m.msPared, 6, 'f', 2)
                      .arg(l.huecosMs.empty() ? 0.0 : 100.0 * double(dentro) / double(l.huecosMs.size()), 9, 'f', 2)
                      .arg(l.extensionesMs.empty() ? 0.0 : *std::min_element(l.extensionesMs.begin(), l.extensionesMs.end()),
                           10, 'f', 2);
    }
    // What the operations cost beyond the pauses: the same runs with Retardo instant.
    const int32_t calibrada = CuentaMilisegundo;
    CuentaMilisegundo = 0;
    const Medida lecturaSola = Medir("read", TransaccionesLectura, sim.get(), [] { CLeer_Click(); });
    const Medida escrituraSola = Medir("write", TransaccionesEscritura, sim.get(), [] { CEscribir_Click(); });
    CuentaMilisegundo = calibrada;
    for (const Medida& m : {lecturaSola, escrituraSola})
        salida << "without pauses, " << m.operacion << ": " << QString::number(m.msPared, 'f', 1) << " ms, "
               << QString::number(m.msPared / m.transacciones, 'f', 3) << " ms per transaction\n";

    // Every run of each must lie within the band: the pauses are kept on the clock, so a
    // busy machine is no excuse for a long one, and a short one means pauses were dropped.
    for (const char* op : {"read", "write"}) {
        double menor = 1e9, mayor = 0.0;
        int n = 0;
        for (const Medida& m : medidas) {
            if (QLatin1String(m.operacion) != QLatin1String(op))
                continue;
            const double r = m.msPared / Suelo(m.transacciones);
            menor = std::min(menor, r);
            mayor = std::max(mayor, r);
            ++n;
        }
        const bool cumple = menor >= ObjetivoMin && mayor <= ObjetivoMax;
        salida << "Whole " << op << " / floor (" << n << " runs): " << QString::number(menor, 'f', 3) << " to "
               << QString::number(mayor, 'f', 3) << " (target " << QString::number(ObjetivoMin, 'f', 2) << " to "
               << QString::number(ObjetivoMax, 'f', 2) << ") " << (cumple ? "met" : "NOT met") << "\n";
    }
    // The same without the replies' ways through the pseudo-terminal and the simulator's
    // thread (from the frame's last byte handed over to its reply taken): the time that
    // is the tool's own, pauses and work, against the same floor.
    for (const char* op : {"read", "write"}) {
        double menor = 1e9, mayor = 0.0, respuesta = 0.0;
        int n = 0;
        for (const Medida& m : medidas) {
            if (QLatin1String(m.operacion) != QLatin1String(op))
                continue;
            const double r = (m.msPared - m.msRespuestas) / Suelo(m.transacciones);
            menor = std::min(menor, r);
            mayor = std::max(mayor, r);
            respuesta = std::max(respuesta, m.msRespuestas / m.transacciones);
            ++n;
        }
        const bool cumple = menor >= ObjetivoMin && mayor <= ObjetivoMax;
        salida << "Whole " << op << " less the replies' ways (up to " << QString::number(respuesta, 'f', 2)
               << " ms each) / floor (" << n << " runs): " << QString::number(menor, 'f', 3) << " to "
               << QString::number(mayor, 'f', 3) << " (target " << QString::number(ObjetivoMin, 'f', 2) << " to "
               << QString::number(ObjetivoMax, 'f', 2) << ") " << (cumple ? "met" : "NOT met") << "\n";
    }

    // The reads: the tool's processor time, and the line as the controller saw it.
    double cpuPeor = 0.0;
    std::vector<double> huecos, extensiones, enviadas;
    int agrupadas = 0;
    int lecturas = 0;
    for (const Medida& m : medidas) {
        if (QLatin1String(m.operacion) != QLatin1String("read"))
            continue;
        ++lecturas;
        cpuPeor = std::max(cpuPeor, 100.0 * m.msCpu / m.msPared);
        const Linea l = AnalizarLinea(m.linea);
        huecos.insert(huecos.end(), l.huecosMs.begin(), l.huecosMs.end());
        extensiones.insert(extensiones.end(), l.extensionesMs.begin(), l.extensionesMs.end());
        agrupadas += l.agrupadas;
        const std::vector<double> e = ExtensionesEnviadas(m.enviadosNs);
        enviadas.insert(enviadas.end(), e.begin(), e.end());
    }
    salida << "Processor of a whole read / its wall time (worst of " << lecturas << "): "
           << QString::number(cpuPeor, 'f', 2) << " % of a core (target <= " << QString::number(ObjetivoCpu, 'f', 0)
           << " %) " << (cpuPeor <= ObjetivoCpu ? "met" : "NOT met") << "\n";
    if (huecos.empty() || extensiones.empty() || enviadas.empty()) {
        salida << "Line of a whole read: nothing seen (target seen) NOT met\n";
    } else {
        const long dentro = std::count_if(huecos.begin(), huecos.end(),
                                          [](double h) { return h >= HuecoMinMs && h <= HuecoMaxMs; });
        const double cuota = 100.0 * double(dentro) / double(huecos.size());
        const auto [hMin, hMax] = std::minmax_element(huecos.begin(), huecos.end());
        salida << "Reply to next frame within 19-30 ms, line side (" << huecos.size() << " gaps): "
               << QString::number(cuota, 'f', 2) << " % (" << QString::number(*hMin, 'f', 1) << " to "
               << QString::number(*hMax, 'f', 1) << " ms) (target >= " << QString::number(ObjetivoHuecos, 'f', 0)
               << " %) " << (cuota >= ObjetivoHuecos ? "met" : "NOT met") << "\n";
        auto mediana = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v[v.size() / 2];
        };
        const double eMin = *std::min_element(enviadas.begin(), enviadas.end());
        salida << "Frame spread, first to last byte, as the tool put them on the line (" << enviadas.size()
               << " frames): shortest " << QString::number(eMin, 'f', 2) << " ms, median "
               << QString::number(mediana(enviadas), 'f', 2) << " ms (target >= "
               << QString::number(ObjetivoExtensionMs, 'f', 0) << " ms) "
               << (eMin >= ObjetivoExtensionMs ? "met" : "NOT met") << "\n";
        const double lMin = *std::min_element(extensiones.begin(), extensiones.end());
        const double cuotaAgrupadas = 100.0 * double(agrupadas) / double(agrupadas + int(extensiones.size()));
        const bool cumple = lMin >= ObjetivoExtensionMs && cuotaAgrupadas <= ObjetivoAgrupadas;
        salida << "Frame spread, as the simulator read them byte by byte (" << extensiones.size() << " frames; "
               << agrupadas << " read in bunches, " << QString::number(cuotaAgrupadas, 'f', 2) << " %): shortest "
               << QString::number(lMin, 'f', 2) << " ms, median " << QString::number(mediana(extensiones), 'f', 2)
               << " ms (target >= " << QString::number(ObjetivoExtensionMs, 'f', 0) << " ms, bunches <= "
               << QString::number(ObjetivoAgrupadas, 'f', 0) << " %) " << (cumple ? "met" : "NOT met") << "\n";
    }
    salida.flush();

    delete ventana;  // without closing: the bench saves no window placement
    return 0;
}
