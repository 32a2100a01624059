// The cost of the line's records: one transaction against the simulator with the service
// log written and the line monitor open (its table shown and following the newest row)
// against the same with no record taken at all, measured in alternating blocks so that
// a drift of the machine falls on both; and the pacing with the monitor open: the whole
// transaction against its floor, the bytes of a frame 1 ms apart, 20 ms after a reply.
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "bench/VentanaBanco.h"
#include "bench/HilosPuntuales.h"
#include "link/Calibracion.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "link/Transaccion.h"
#include "monitor/Monitor.h"
#include "registro/Registro.h"
#include "sim/Simulador.h"
#include "ui/Estado.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using Reloj = std::chrono::steady_clock;

static double Mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The line seen from the tool: each byte handed over, each reply taken.
struct Momento {
    Reloj::time_point t;
    bool respuesta;
};
static std::vector<Momento> momentos;

static void Fila(const char* medida, const QString& cifra, const char* objetivo, bool cumple)
{
    std::printf("%-58s %-46s %-20s %s\n", medida, qPrintable(cifra), objetivo, cumple ? "met" : "NOT MET");
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir carpeta;
    UsarCarpetaBanco(carpeta);

    OpcionesSimulador o;
    o.Estado = EstadoDemo();
    o.CarpetaEnlace = carpeta.path().toStdString();
    o.PuertoEnlace = 1;
    std::string error;
    SimuladorPtr sim(SimIniciar(o, &error));
    if (!sim) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    FijarPuerto(1);
    HilosPuntuales();

    new frmMain;
    ConectarManejadores();
    TestVelocidad();
    if (CuentaMilisegundo <= 0 || !AbrirCom()) {
        std::fprintf(stderr, "calibration or port failed\n");
        return 1;
    }
    FijarTestigoLinea([](bool respuesta) { momentos.push_back({Reloj::now(), respuesta}); });

    ComandoQZL c{};
    c.Comando = 1;
    c.Indice = 37;
    std::vector<double> sin, con;
    auto bloque = [&](bool conMonitor, std::vector<double>& tiempos) {
        if (conMonitor) {
            IniciarRegistro();
            CMonitor_Click();
        } else {
            FijarOyenteLinea(nullptr);
            if (VentanaMonitor())
                VentanaMonitor()->close();
        }
        for (int i = 0; i < 10; ++i) {
            QElapsedTimer t;
            t.start();
            const RespuestaQZL r = EnviarComando(c);
            tiempos.push_back(double(t.nsecsElapsed()) / 1e6);
            if (r.Estado != EstadoRespuesta)
                return false;
        }
        return true;
    };
    for (int vuelta = 0; vuelta < 8; ++vuelta) {
        if (!bloque(false, sin) || !bloque(true, con)) {
            std::fprintf(stderr, "a transaction failed\n");
            return 1;
        }
    }

    // The pacing with the monitor open: the line seen from the tool.
    momentos.clear();
    std::vector<double> pacing;
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer t;
        t.start();
        if (EnviarComando(c).Estado != EstadoRespuesta) {
            std::fprintf(stderr, "a transaction failed\n");
            return 1;
        }
        pacing.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::vector<double> bytes, trasRespuesta;
    int enTrama = 0;
    for (size_t i = 1; i < momentos.size(); ++i) {
        const double ms = std::chrono::duration<double, std::milli>(momentos[i].t - momentos[i - 1].t).count();
        if (momentos[i].respuesta) {
            enTrama = 0;
            continue;
        }
        if (momentos[i - 1].respuesta)
            trasRespuesta.push_back(ms);
        else if (++enTrama < LongitudTrama)
            bytes.push_back(ms);
    }
    CerrarCom();
    VaciarRegistro();
    PasarPendientesMonitor();
    const bool monitorAbierto = VentanaMonitor() && VentanaMonitor()->isVisible() && ModeloMonitor()->rowCount() > 0;

    const double razon = Mediana(con) / Mediana(sin);
    const double suelo = 7.0 + 20.0;
    const double transaccion = Mediana(pacing) / suelo;
    const double byte = Mediana(bytes);
    const double minByte = bytes.empty() ? 0.0 : *std::min_element(bytes.begin(), bytes.end());
    const double tras = Mediana(trasRespuesta);
    const double minTras = trasRespuesta.empty() ? 0.0 : *std::min_element(trasRespuesta.begin(), trasRespuesta.end());

    std::printf("%-58s %-46s %-20s %s\n", "Measure", "Figure", "Target", "");
    Fila("Transaction, log and monitor open / no record",
         QStringLiteral("%1 (%2 ms / %3 ms, medians of 80)").arg(razon, 0, 'f', 3).arg(Mediana(con), 0, 'f', 2)
             .arg(Mediana(sin), 0, 'f', 2),
         "<= 1.01", razon <= 1.01 && monitorAbierto);
    Fila("One transaction / floor, monitor open",
         QStringLiteral("%1 (%2 ms, median of 40)").arg(transaccion, 0, 'f', 3).arg(Mediana(pacing), 0, 'f', 2),
         "0.98 to 1.05", transaccion >= 0.98 && transaccion <= 1.05);
    Fila("Bytes of a frame, monitor open (median; least)",
         QStringLiteral("%1 ms; %2 ms").arg(byte, 0, 'f', 3).arg(minByte, 0, 'f', 3), "1 +- 0.2 ms; >= 0.89",
         std::abs(byte - 1.0) <= 0.2 && minByte >= 0.89);
    Fila("Reply taken to next frame, monitor open (median; least)",
         QStringLiteral("%1 ms; %2 ms").arg(tras, 0, 'f', 3).arg(minTras, 0, 'f', 3), "20 to 20.4; >= 20",
         tras >= 20.0 && tras <= 20.4 && minTras >= 20.0);
    return 0;
}
