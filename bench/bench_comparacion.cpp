// A compare with the controller and the verify after a write, against the simulator on a
// pseudo-terminal with all 256 addresses present and the pacing calibrated as at start-up.
// The compare is an identification and a read of the same cells, into an image of its
// own: its floor is theirs, (32 + 256) transactions × (7 ms byte pacing + 20 ms pause).
// The verify reads back the 249 cells a write sent: its floor is a read of those cells,
// timed from the first byte of its first read-back frame to the write's end. Beside them,
// the compare against a read of the same controller timed in the same run.
//
// Usage: bench_comparacion [runs]   (default 3)
#include "app/FormLoad.h"
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "bench/VentanaBanco.h"
#include "bench/HilosPuntuales.h"
#include "comparacion/Comparar.h"
#include "comparacion/Diferencias.h"
#include "link/Transaccion.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "sim/Simulador.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr double PausaBytesMs = 7.0;     // Retardo(1) after each of the first seven bytes
constexpr double PausaIntentoMs = 20.0;  // Retardo(20) after every try
constexpr double ObjetivoMax = 1.02;
constexpr int TransaccionesComparacion = 32 + 256;  // presence bytes, then every address
constexpr int CeldasEscritas = 249;                 // 0 to 246, 254, 255

double Suelo(int transacciones)
{
    return transacciones * (PausaBytesMs + PausaIntentoMs);
}

int64_t AhoraNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The moment each frame's first byte was handed to the line.
std::vector<int64_t> inicios;
int bytesEnviados = 0;

void AnotarLinea(bool respuesta)
{
    if (respuesta)
        return;
    if (bytesEnviados++ % LongitudTrama == 0)
        inicios.push_back(AhoraNs());
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int corridas = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 3;

    QTemporaryDir carpeta;
    frmMain* ventana = nullptr;
    SimuladorPtr sim = AbrirVentanaBanco("bench_comparacion", carpeta, ventana);
    if (!sim)
        return 1;
    QTextStream salida(stdout);
    CLeer_Click();

    std::vector<double> comparaciones, verificaciones, lecturas;
    for (int i = 0; i < corridas; ++i) {
        // The read of the same cells in the same run: on a busy machine both move together.
        QElapsedTimer l;
        l.start();
        CLeer_Click();
        lecturas.push_back(double(l.nsecsElapsed()) / 1e6);

        const int antes = SimTramasRecibidas(sim.get());
        QElapsedTimer t;
        t.start();
        CompararConControlador(false);
        comparaciones.push_back(double(t.nsecsElapsed()) / 1e6);
        if (QDialog* d = FormularioDiferencias())
            d->close();
        if (SimTramasRecibidas(sim.get()) - antes != TransaccionesComparacion)
            salida << "compare run " << i << ": " << SimTramasRecibidas(sim.get()) - antes << " frames, not "
                   << TransaccionesComparacion << "\n";

        Ventana().chkVerificar->setChecked(true);
        inicios.clear();
        bytesEnviados = 0;
        FijarTestigoLinea(&AnotarLinea);
        CEscribir_Click();
        const int64_t fin = AhoraNs();
        FijarTestigoLinea(nullptr);
        Ventana().chkVerificar->setChecked(false);
        if (int(inicios.size()) != 2 * CeldasEscritas) {
            salida << "verified write run " << i << ": " << inicios.size() << " frames, not " << 2 * CeldasEscritas
                   << " (" << TextoPanel1() << ")\n";
            continue;
        }
        verificaciones.push_back(double(fin - inicios[size_t(CeldasEscritas)]) / 1e6);
    }

    auto fila = [&](const QString& medida, const std::vector<double>& ms, int transacciones) {
        if (ms.empty()) {
            salida << medida << ": no run (target <= " << QString::number(ObjetivoMax, 'f', 2) << ") NOT met\n";
            return;
        }
        const double peor = *std::max_element(ms.begin(), ms.end()) / Suelo(transacciones);
        const double mejor = *std::min_element(ms.begin(), ms.end()) / Suelo(transacciones);
        salida << medida << " (" << ms.size() << " runs, floor " << QString::number(Suelo(transacciones), 'f', 0)
               << " ms): " << QString::number(mejor, 'f', 3) << " to " << QString::number(peor, 'f', 3)
               << " (target <= " << QString::number(ObjetivoMax, 'f', 2) << ") " << (peor <= ObjetivoMax ? "met" : "NOT met")
               << "\n";
    };
    fila(QStringLiteral("Compare with the controller / floor of identification and read"), comparaciones,
         TransaccionesComparacion);
    fila(QStringLiteral("Verify after writing / floor of a read of the written cells"), verificaciones, CeldasEscritas);
    double peorFrenteLectura = 0.0;
    for (size_t i = 0; i < std::min(comparaciones.size(), lecturas.size()); ++i)
        peorFrenteLectura = std::max(peorFrenteLectura, comparaciones[i] / lecturas[i]);
    salida << "Compare with the controller / a read of the same controller in the same run (worst of "
           << comparaciones.size() << "): " << QString::number(peorFrenteLectura, 'f', 3) << " (target <= "
           << QString::number(ObjetivoMax, 'f', 2) << ") " << (peorFrenteLectura <= ObjetivoMax ? "met" : "NOT met")
           << "\n";
    salida.flush();

    delete ventana;  // without closing: the bench saves no window placement
    return 0;
}
