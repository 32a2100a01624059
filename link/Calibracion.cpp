#include "link/Calibracion.h"

#include "app/ModuloKX.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"

#include <QElapsedTimer>
#include <QString>
#include <cmath>
#include <limits>

static constexpr int32_t VueltasCalibracion = 100000000;
// Deviation of the one-second check above which the computer is reported.
static constexpr double ToleranciaSegundos = 0.3;

static std::function<double()> relojInyectado;

static double Reloj()
{
    if (relojInyectado)
        return relojInyectado();
    static QElapsedTimer origen = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<double>(origen.nsecsElapsed()) / 1e9;
}

void FijarRelojCalibracion(std::function<double()> reloj)
{
    relojInyectado = std::move(reloj);
}

int32_t CuentaPorMilisegundo(double segundos)
{
    if (!(segundos > 0.0))
        return 0;
    const double cuenta = (VueltasCalibracion / 1000.0) / segundos;
    if (!(cuenta < static_cast<double>(std::numeric_limits<int32_t>::max())))
        return 0;
    // nearbyint in the default rounding mode takes a half to the even neighbour.
    return static_cast<int32_t>(std::nearbyint(cuenta));
}

void TestVelocidad()
{
    Panel1(QStringLiteral("Testing speed"));
    DoEvents();

    const double t0 = Reloj();
    ContarVueltas(VueltasCalibracion);
    const double t1 = Reloj();
    CuentaMilisegundo = CuentaPorMilisegundo(t1 - t0);
    Panel1(QStringLiteral("Index =  ") + QString::number(CuentaMilisegundo));

    // The counted equivalent of one second, so that the check shows how well the
    // count matches this computer (Retardo itself keeps time on the clock).
    const double t2 = Reloj();
    for (int i = 0; i < 1000; ++i)
        ContarVueltas(CuentaMilisegundo);
    if (std::abs(Reloj() - t2 - 1.0) > ToleranciaSegundos) {
        const double transcurrido = std::abs(Reloj() - t2);
        // Seven significant digits: the clock's noise beyond them means nothing here.
        Panel1(QStringLiteral("Out speed computer ") + QString::number(transcurrido, 'g', 7));
    }
    DoEvents();
}
