// The speed calibration: its arithmetic and messages with an injected clock, and the
// real loops with the real clock.
#include "app/ModuloKX.h"
#include "link/Calibracion.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"

#include <QElapsedTimer>
#include <QTest>

#include <limits>

// A clock that gives the calibration the readings of a script, in order:
// before and after the count, before and after the check, and the re-reading
// for the message. Past the end it repeats the last reading.
static std::function<double()> Guion(const QList<double>& lecturas, int* leidas)
{
    *leidas = 0;
    return [lecturas, leidas] {
        const int i = qMin(*leidas, int(lecturas.size()) - 1);
        ++*leidas;
        return lecturas[i];
    };
}

class TstCalibracion : public QObject {
    Q_OBJECT

private slots:
    void cleanup()
    {
        FijarRelojCalibracion({});
        CuentaMilisegundo = 0;
    }

    void cuentaPorMilisegundo_data()
    {
        QTest::addColumn<double>("segundos");
        QTest::addColumn<int>("cuenta");
        QTest::newRow("0.25 s") << 0.25 << 400000;
        QTest::newRow("1 s") << 1.0 << 100000;
        QTest::newRow("0.3 s rounds down") << 0.3 << 333333;
        QTest::newRow("0.7 s rounds to nearest") << 0.7 << 142857;
        QTest::newRow("2.5 to even 2") << 40000.0 << 2;
        QTest::newRow("3.5 to even 4") << 28571.428571428572 << 4;
        QTest::newRow("7.5 to even 8") << 13333.333333333334 << 8;
        QTest::newRow("62.5 to even 62") << 1600.0 << 62;
        QTest::newRow("no time passed") << 0.0 << 0;
        QTest::newRow("clock went back") << -0.5 << 0;
        QTest::newRow("beyond 32 bits") << 1e-9 << 0;
        QTest::newRow("largest that fits") << 100000.0 / 2147483000.0 << 2147483000;
    }

    void cuentaPorMilisegundo()
    {
        QFETCH(double, segundos);
        QFETCH(int, cuenta);
        QCOMPARE(CuentaPorMilisegundo(segundos), cuenta);
    }

    // Elapsed times of the count and of the one-second check, and what panel 1 shows.
    // The loops really run with the count the injected times give.
    void mensajes_data()
    {
        QTest::addColumn<double>("cuentaSegundos");
        QTest::addColumn<double>("chequeoSegundos");
        QTest::addColumn<int>("cuenta");
        QTest::addColumn<QStringList>("mensajes");
        QTest::newRow("0.25 s machine") << 0.25 << 1.0 << 400000
                                        << QStringList{"Testing speed", "Index =  400000"};
        QTest::newRow("check 1.2 s keeps the index") << 100.0 << 1.2 << 1000
                                                     << QStringList{"Testing speed", "Index =  1000"};
        QTest::newRow("check 0.75 s keeps the index") << 100.0 << 0.75 << 1000
                                                      << QStringList{"Testing speed", "Index =  1000"};
        QTest::newRow("check 1.35 s") << 100.0 << 1.35 << 1000
                                      << QStringList{"Testing speed", "Index =  1000", "Out speed computer 1.35"};
        QTest::newRow("check 0.6 s") << 50.0 << 0.6 << 2000
                                     << QStringList{"Testing speed", "Index =  2000", "Out speed computer 0.6"};
        QTest::newRow("check 1.453125 s") << 100.0 << 1.453125 << 1000
                                          << QStringList{"Testing speed", "Index =  1000",
                                                         "Out speed computer 1.453125"};
        QTest::newRow("clock stood still") << 0.0 << 0.0 << 0
                                           << QStringList{"Testing speed", "Index =  0", "Out speed computer 0"};
    }

    void mensajes()
    {
        QFETCH(double, cuentaSegundos);
        QFETCH(double, chequeoSegundos);
        QFETCH(int, cuenta);
        QFETCH(QStringList, mensajes);
        const double t0 = 1000.0;
        const double t1 = t0 + cuentaSegundos;
        const double t2 = t1 + 0.001;
        int leidas = 0;
        FijarRelojCalibracion(Guion({t0, t1, t2, t2 + chequeoSegundos, t2 + chequeoSegundos}, &leidas));
        HistorialPanel1().clear();

        TestVelocidad();

        QCOMPARE(CuentaMilisegundo, cuenta);
        QCOMPARE(HistorialPanel1(), mensajes);
        QCOMPARE(TextoPanel1(), mensajes.last());
    }

    // With the real clock: the count is measured, and Retardo then really waits.
    void relojReal()
    {
        TestVelocidad();
        QVERIFY(CuentaMilisegundo > 0);
        QVERIFY(HistorialPanel1().contains(QStringLiteral("Index =  ") + QString::number(CuentaMilisegundo)));
        QElapsedTimer reloj;
        reloj.start();
        Retardo(100);
        // Only a floor: a loop the compiler had removed would take no time at all.
        QVERIFY2(reloj.elapsed() >= 30, qPrintable(QString::number(reloj.elapsed())));
    }
};

QTEST_MAIN(TstCalibracion)
#include "tst_calibracion.moc"
