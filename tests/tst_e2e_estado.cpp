// End to end: the status poll runs every second for ten ticks while the technician
// clicks direct commands in between. On the wire no transaction overlaps another (every
// interrogation is whole and in order, every command frame stands alone), and the lamps
// and measured values follow the status the simulated controller reports.
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

static int InterrogacionesCompletas(SimExterno& sim)
{
    int n = 0;
    for (const QString& l : RegistroSimExterno(sim))
        if (ComandoDeRegistro(l) == 5 && IndiceDeRegistro(l) == 3)
            ++n;
    return n;
}

// Processes events until the controller has seen n whole interrogations.
static bool EsperarInterrogaciones(SimExterno& sim, int n, int ms)
{
    QDeadlineTimer plazo(ms);
    while (!plazo.hasExpired()) {
        if (InterrogacionesCompletas(sim) >= n)
            return true;
        QTest::qWait(20);
    }
    return false;
}

class TestE2eEstado : public QObject {
    Q_OBJECT
    SimExterno sim;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void cleanup()
    {
        CerrarVentanaPrueba();
        DetenerSimExterno(sim);
    }

    void sondeoConOrdenesIntercaladas()
    {
        QString error;
        QVERIFY2(IniciarSimExterno(sim, 1, u"status0 0\nstatus1 0\ncurrent 0\n"_s, true, &error), qPrintable(error));
        CrearVentanaPrueba({true, false, u"1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"_s});
        Ui::frmMain& v = Ventana();
        SeleccionarPestana(3);
        QVERIFY(FrameP(3)->isVisible());
        // Changer type RVT06 (entry 0, as after start-up): status byte 1 bit 5 drives lamp 1 on.
        QCOMPARE(v.ComboTipoCambiador->currentIndex(), 0);

        QTest::mouseClick(v.chkEstado, Qt::LeftButton);
        QTest::mouseClick(v.chkCorrienteActual, Qt::LeftButton);
        QVERIFY(v.chkEstado->isChecked() && v.chkCorrienteActual->isChecked());
        v.TTiempoModoVerboso->selectAll();
        QTest::keyClicks(v.TTiempoModoVerboso, u"1"_s);
        OrdenSimExterno(sim, u"clearlog"_s);

        // The technician keeps clicking day, night and normal every 370 ms.
        QPushButton* ordenes[] = {v.CDia, v.CNoche, v.CNormal};
        int siguiente = 0;
        QTimer clics;
        clics.setInterval(370);
        QObject::connect(&clics, &QTimer::timeout, [&] {
            QTest::mouseClick(ordenes[siguiente++ % 3], Qt::LeftButton);
        });

        QTest::mouseClick(v.CModoVerboso, Qt::LeftButton);
        QVERIFY(!v.CModoVerboso->isEnabled());
        clics.start();

        // Ten ticks: five changes of the controller's status, each followed by two
        // interrogations (the one under way when the status changed may have read part of
        // the old status; the one after it reads only the new one), which must show it.
        for (int cambio = 1; cambio <= 5; ++cambio) {
            const bool encendida = cambio % 2 == 1;
            const int centesimas = 100 * cambio + 34;
            QCOMPARE(OrdenSimExterno(sim, u"set status0 %1"_s.arg(encendida ? 1 : 0)), u"ok"_s);
            QCOMPARE(OrdenSimExterno(sim, u"set status1 %1"_s.arg(encendida ? 0x20 : 0)), u"ok"_s);
            QCOMPARE(OrdenSimExterno(sim, u"set current %1"_s.arg(centesimas)), u"ok"_s);
            const int antes = InterrogacionesCompletas(sim);
            QVERIFY2(EsperarInterrogaciones(sim, antes + 2, 15000), qPrintable(u"change %1"_s.arg(cambio)));
            // Its last frame has been answered; the window ends that interrogation by
            // enabling the buttons it disabled (direct commands touch neither).
            QTRY_VERIFY_WITH_TIMEOUT(v.CLeer->isEnabled(), 2000);
            QCOMPARE(v.LedOn->isVisible(), encendida);
            QCOMPARE(v.LedOff->isVisible(), !encendida);
            QCOMPARE(v.LedVerdeLampara1On->isVisible(), encendida);
            QCOMPARE(v.LedLampara1OnApagado->isVisible(), !encendida);
            QCOMPARE(v.TCorrienteActual->text(), QLocale().toString(centesimas / 100.0, 'f', 2));
        }
        clics.stop();
        QTest::mouseClick(v.Command1, Qt::LeftButton);
        QVERIFY(v.CModoVerboso->isEnabled());
        QVERIFY(InterrogacionesCompletas(sim) >= 10);

        // The wire: whole frames only; each interrogation's four frames in order with
        // nothing between them; command frames alone between interrogations.
        const QStringList registro = RegistroSimExterno(sim);
        int grupos = 0, ordenesEnviadas = 0;
        for (int i = 0; i < registro.size(); ++i) {
            const int c = ComandoDeRegistro(registro[i]);
            QVERIFY2(c >= 0, qPrintable(u"not a whole frame: "_s + registro[i]));
            if (c == 6) {
                QCOMPARE(IndiceDeRegistro(registro[i]), 1);
                ++ordenesEnviadas;
                continue;
            }
            QCOMPARE(c, 5);
            QCOMPARE(IndiceDeRegistro(registro[i]), 0);
            if (i + 3 >= registro.size())
                break;  // the last interrogation may have been cut by the end of the log
            for (int k = 1; k <= 3; ++k) {
                QCOMPARE(ComandoDeRegistro(registro[i + k]), 5);
                QCOMPARE(IndiceDeRegistro(registro[i + k]), k);
            }
            i += 3;
            ++grupos;
        }
        QVERIFY(grupos >= 10);
        QVERIFY2(ordenesEnviadas >= 3, "clicks between interrogations reach the controller");
    }
};

QTEST_MAIN(TestE2eEstado)
#include "tst_e2e_estado.moc"
