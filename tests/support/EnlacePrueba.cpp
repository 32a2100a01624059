#include "support/EnlacePrueba.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "support/VentanaPrueba.h"

#include <QFile>
#include <QTest>

SimuladorPtr IniciarSimuladorPrueba(int puerto, const EstadoSimulador& estado)
{
    OpcionesSimulador o;
    o.Estado = estado;
    o.CarpetaEnlace = CarpetaPrueba().toStdString();
    o.PuertoEnlace = puerto;
    std::string error;
    SimuladorPtr sim(SimIniciar(o, &error));
    if (!sim) {
        qWarning("simulator: %s", error.c_str());
        return sim;
    }
    NumeroPuerto = static_cast<int16_t>(puerto);
    FijarPuerto(puerto);
    return sim;
}

bool EsperarTramas(SimuladorQZL* sim, int n, int ms)
{
    return QTest::qWaitFor([&] { return SimTramasRecibidas(sim) >= n; }, ms);
}

void FallosRapidos()
{
    FactorEsperas = 0.05;
    CuentaMilisegundo = 0;
}

void EnlaceRoto(int puerto)
{
    const QString enlace = CarpetaPrueba() + QStringLiteral("/com") + QString::number(puerto);
    QFile::remove(enlace);
    QFile::link(CarpetaPrueba() + QStringLiteral("/no-such-device"), enlace);
}

void QuitarEnlace(int puerto)
{
    QFile::remove(CarpetaPrueba() + QStringLiteral("/com") + QString::number(puerto));
}
