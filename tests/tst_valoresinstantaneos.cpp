// Live input and output states against the controller simulator on a pseudo-terminal.
#include "app/ModuloKX.h"
#include "flash/ValoresInstantaneos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "sim/Simulador.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int PuertoSim = 4;

// One letter per label: 1 "ON" in blue, 0 "OFF" in red, - "--" in black; ? anything else.
QChar Letra(QLabel* l)
{
    const QColor color = l->palette().color(QPalette::WindowText);
    const QString d = l->accessibleDescription();
    if (l->text() == QStringLiteral("ON") && color == QColor(0, 0, 255) && d == QStringLiteral("on"))
        return u'1';
    if (l->text() == QStringLiteral("OFF") && color == QColor(255, 0, 0) && d == QStringLiteral("off"))
        return u'0';
    if (l->text() == QStringLiteral("--") && color == QColor(0, 0, 0) && d == QStringLiteral("not read"))
        return u'-';
    return u'?';
}

// Inputs 1-8, then outputs 1-8, then outputs 9-11, separated by blanks.
QString Senales()
{
    QString r;
    for (int k = 1; k <= 8; ++k)
        r += Letra(lblExterna(k));
    r += u' ';
    for (int k = 1; k <= 8; ++k)
        r += Letra(lblSalida(k));
    r += u' ';
    for (int k = 9; k <= 11; ++k)
        r += Letra(lblSalida(k));
    return r;
}

QString Trama5(int indice)
{
    return QString::fromStdString(TramaHex(ConstruirTrama(5, uint8_t(indice), 0).data()));
}

const QStringList TresTramas = {Trama5(8), Trama5(9), Trama5(10)};

bool BotonesHabilitados()
{
    Ui::frmMain& v = Ventana();
    return v.CAbrir->isEnabled() && v.CGuardar->isEnabled() && v.CLeer->isEnabled() && v.CEscribir->isEnabled();
}

}  // namespace

class TestValoresInstantaneos : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    void FijarSim(uint8_t entradas, uint8_t salidas, uint8_t salidas9, const FallosSimulador& f = {})
    {
        EstadoSimulador e;
        e.Entradas = entradas;
        e.Salidas = salidas;
        e.Salidas9a11 = salidas9;
        SimFijarEstado(sim.get(), e);
        SimFijarFallos(sim.get(), f);
        SimBorrarRegistro(sim.get());
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        sim = IniciarSimuladorPrueba(PuertoSim, EstadoSimulador{});
        QVERIFY(sim);
    }

    void init()
    {
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        QVERIFY(CrearVentanaPrueba(o));
        NumeroPuerto = PuertoSim;
        QVERIFY(FijarPuerto(PuertoSim));
        ReiniciarEstadoPrueba();
        FijarSim(0, 0, 0);
    }

    void cleanup()
    {
        FactorEsperas = 1.0;
        CerrarVentanaPrueba();
    }

    void cleanupTestCase() { sim.reset(); }

    void alAbrirLaVentana()
    {
        QCOMPARE(Senales(), QStringLiteral("-------- -------- ---"));
        QCOMPARE(Ventana().btnSpoolValorInstantaneo->text(), QStringLiteral("Activar auto"));
        QVERIFY(!tmrSpoolValoresInstantaneos()->isActive());
    }

    void refresco_data()
    {
        QTest::addColumn<int>("entradas");
        QTest::addColumn<int>("salidas");
        QTest::addColumn<int>("salidas9");
        QTest::addColumn<QString>("esperado");

        QTest::newRow("inputs 5") << 5 << 0 << 0 << "10100000 00000000 000";
        QTest::newRow("outputs 9-11 from 255") << 0 << 0 << 255 << "00000000 00000000 111";
        QTest::newRow("bits 3-7 of index 10 ignored") << 0 << 0 << 0xF8 << "00000000 00000000 000";
        QTest::newRow("bit order") << 0x80 << 0x81 << 0x02 << "00000001 10000001 010";
        QTest::newRow("all on") << 255 << 255 << 7 << "11111111 11111111 111";
    }

    void refresco()
    {
        QFETCH(int, entradas);
        QFETCH(int, salidas);
        QFETCH(int, salidas9);
        QFETCH(QString, esperado);
        FijarSim(uint8_t(entradas), uint8_t(salidas), uint8_t(salidas9));

        Ventana().btnVerValoresInstantaneos->click();

        QCOMPARE(Senales(), esperado);
        QCOMPARE(SimRegistro(sim.get()), TresTramas);
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
        QVERIFY(BotonesHabilitados());
        QVERIFY(!MSCommDestellador().isOpen());
    }

    void sinRespuestaAlIndice9()
    {
        FijarSim(0xFF, 0xFF, 0x07);
        btnVerValoresInstantaneos_Click();
        QCOMPARE(Senales(), QStringLiteral("11111111 11111111 111"));

        FallosRapidos();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 5;
        f.CallarIndice = 9;
        FijarSim(5, 0xFF, 0x02, f);

        btnVerValoresInstantaneos_Click();

        QCOMPARE(Senales(), QStringLiteral("10100000 -------- 010"));
        QCOMPARE(SimRegistro(sim.get()), QStringList({Trama5(8), Trama5(9), Trama5(9), Trama5(9), Trama5(10)}));
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
        QVERIFY(DialogosMostrados().isEmpty());
    }

    void puertoNoDisponible()
    {
        FijarSim(5, 0, 0);
        btnVerValoresInstantaneos_Click();
        const QString antes = Senales();

        EnlaceRoto(8);
        NumeroPuerto = 8;
        QVERIFY(FijarPuerto(8));
        FijarSim(0xFF, 0xFF, 0xFF);

        btnVerValoresInstantaneos_Click();

        QCOMPARE(DialogosMostrados().size(), 1);
        QCOMPARE(DialogosMostrados().at(0).texto, QStringLiteral("Error"));
        QCOMPARE(DialogosMostrados().at(0).icono, QMessageBox::Critical);
        QCOMPARE(TextoPanel1(), QStringLiteral("Error"));
        QCOMPARE(Senales(), antes);
        QVERIFY(BotonesHabilitados());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(SimRegistro(sim.get()).isEmpty());
        QuitarEnlace(8);
    }

    void interruptorDosVeces()
    {
        QPushButton* b = Ventana().btnSpoolValorInstantaneo;
        b->click();
        QCOMPARE(b->text(), QStringLiteral("Desactivar auto"));
        QVERIFY(tmrSpoolValoresInstantaneos()->isActive());
        QCOMPARE(tmrSpoolValoresInstantaneos()->interval(), 1000);
        b->click();
        QCOMPARE(b->text(), QStringLiteral("Activar auto"));
        QVERIFY(!tmrSpoolValoresInstantaneos()->isActive());
        QTest::qWait(20);
        QVERIFY(SimRegistro(sim.get()).isEmpty());
        QCOMPARE(Senales(), QStringLiteral("-------- -------- ---"));
    }

    // The timer is stopped while its own refresh runs and starts again afterwards.
    void tickDetieneElTemporizador()
    {
        FijarSim(1, 2, 4);
        Ventana().btnSpoolValorInstantaneo->click();
        bool activoDurante = true;
        QTimer::singleShot(0, [&] { activoDurante = tmrSpoolValoresInstantaneos()->isActive(); });

        tmrSpoolValoresInstantaneos_Timer();

        QVERIFY(!activoDurante);
        QVERIFY(tmrSpoolValoresInstantaneos()->isActive());
        QCOMPARE(Senales(), QStringLiteral("10000000 01000000 001"));
        QCOMPARE(SimRegistro(sim.get()), TresTramas);
    }

    // Switched off while its refresh runs, the automatic refresh stays off.
    void apagadoDuranteSuRefresco()
    {
        QPushButton* b = Ventana().btnSpoolValorInstantaneo;
        b->click();
        QTimer::singleShot(0, [&] { b->click(); });

        tmrSpoolValoresInstantaneos_Timer();

        QCOMPARE(b->text(), QStringLiteral("Activar auto"));
        QVERIFY(!tmrSpoolValoresInstantaneos()->isActive());
    }

    // A tick that comes while a refresh waits for its reply does nothing.
    void tickMientrasRefresca()
    {
        FallosSimulador lento;
        lento.RetrasoMs = 30;
        FijarSim(5, 0, 0, lento);
        Ventana().btnSpoolValorInstantaneo->click();
        bool activoTrasTick = false;
        QTimer::singleShot(0, [&] {
            tmrSpoolValoresInstantaneos_Timer();
            activoTrasTick = tmrSpoolValoresInstantaneos()->isActive();
            btnVerValoresInstantaneos_Click();
        });

        btnVerValoresInstantaneos_Click();

        QCOMPARE(SimRegistro(sim.get()), TresTramas);
        QVERIFY(activoTrasTick);
        QCOMPARE(HistorialPanel1().count(QStringLiteral("End check")), 1);
        Ventana().btnSpoolValorInstantaneo->click();
    }

    // Through the running timer: a refresh a period after switching on.
    void refrescoAutomatico()
    {
        FijarSim(0, 0, 7);
        tmrSpoolValoresInstantaneos()->setInterval(50);
        Ventana().btnSpoolValorInstantaneo->click();
        QVERIFY(SimRegistro(sim.get()).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(Senales(), QStringLiteral("00000000 00000000 111"), 3000);
        Ventana().btnSpoolValorInstantaneo->click();
    }

    // Closing the window while an automatic refresh waits for a reply ends it quietly.
    void cerrarLaVentanaDuranteElRefresco()
    {
        FallosSimulador lento;
        lento.RetrasoMs = 20;
        FijarSim(0, 0, 0, lento);
        Ventana().btnSpoolValorInstantaneo->click();
        CerrarVentanaDurante([&] { return SimRegistro(sim.get()).size() >= 2; }, tmrSpoolValoresInstantaneos_Timer,
                             true);
        QTRY_VERIFY(!FormPrincipal());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(SimRegistro(sim.get()).size() < 3);
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("End check")));
    }
};

QTEST_MAIN(TestValoresInstantaneos)
#include "tst_valoresinstantaneos.moc"
