// The nine direct-command buttons, pressed on the window against the simulator.
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QPushButton>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

static void Pulsar(const QString& boton)
{
    auto* b = qobject_cast<QPushButton*>(Control(boton));
    QVERIFY2(b, qPrintable(boton));
    b->click();
}

class TstComandos : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    static void Botones()
    {
        QTest::addColumn<QString>("boton");
        QTest::addColumn<QString>("trama");
        QTest::addColumn<QString>("exito");
        QTest::addColumn<QString>("fallo");
        QTest::newRow("CDia") << "CDia" << "4B 58 00 00 06 01 01 F9" << " QZL is in day mode" << " QZL day mode failed";
        QTest::newRow("CNoche") << "CNoche" << "4B 58 00 00 06 01 02 FA" << " QZL is in night mode"
                                << " QZL night mode failed";
        QTest::newRow("CNormal") << "CNormal" << "4B 58 00 00 06 01 00 F8" << " QZL normal mode"
                                 << " QZL normal mode failed";
        QTest::newRow("CCambioLamparaOn") << "CCambioLamparaOn" << "4B 58 00 00 06 00 01 F8" << " QZL changer On"
                                          << " QZL changer On failed";
        QTest::newRow("CCambioLamparaOff") << "CCambioLamparaOff" << "4B 58 00 00 06 00 00 F9" << " QZL changer Off"
                                           << " QZL changer Off failed";
        QTest::newRow("CFalloRedOn") << "CFalloRedOn" << "4B 58 00 00 06 02 01 FA" << " QZL sector fail On OK"
                                     << " QZL sector fail On OK failed";
        QTest::newRow("CFalloRedOff") << "CFalloRedOff" << "4B 58 00 00 06 02 00 FB" << " QZL sector fail Off OK"
                                      << " QZL sector fail Off OK failed";
        QTest::newRow("btnTelemandoMotor1") << "btnTelemandoMotor1" << "4B 58 00 00 06 03 00 FA" << " QZL Motor 1 OK"
                                            << " QZL Motor 1 fail";
        QTest::newRow("btnTelamandoMotor2") << "btnTelamandoMotor2" << "4B 58 00 00 06 03 01 FB" << " QZL Motor 2 OK"
                                            << " QZL Motor 2 fail";
    }

private slots:
    void initTestCase()
    {
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
    }

    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
    }

    void init()
    {
        ReiniciarEstadoPrueba();
        sim = IniciarSimuladorPrueba(2);
        QVERIFY(sim);
    }

    void cleanup()
    {
        CerrarCom();
        sim.reset();
    }

    void exito_data() { Botones(); }

    void exito()
    {
        QFETCH(QString, boton);
        QFETCH(QString, trama);
        QFETCH(QString, exito);
        Pulsar(boton);
        QCOMPARE(SimRegistro(sim.get()), QStringList{trama});
        QCOMPARE(TextoPanel1(), exito);
        QVERIFY(!MSCommDestellador().isOpen());
        // The controller carried the order out.
        const EstadoSimulador e = SimEstado(sim.get());
        const QStringList bytes = trama.split(u' ');
        QCOMPARE(int(e.UltimaOrden[bytes[5].toInt(nullptr, 16)]), bytes[6].toInt(nullptr, 16));
    }

    void fallo_data() { Botones(); }

    void fallo()
    {
        QFETCH(QString, boton);
        QFETCH(QString, trama);
        QFETCH(QString, fallo);
        FallosSimulador f;
        f.Silencioso = true;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();
        Pulsar(boton);
        QCOMPARE(SimRegistro(sim.get()), QStringList(3, trama));
        QCOMPARE(TextoPanel1(), fallo);
        QCOMPARE(HistorialPanel1().value(HistorialPanel1().size() - 2), QStringLiteral("Error R  3"));
        QVERIFY(!MSCommDestellador().isOpen());
    }

    // Any 8 bytes are an answer.
    void cualquierRespuestaEsExito()
    {
        FallosSimulador f;
        f.Basura = true;
        SimFijarFallos(sim.get(), f);
        Pulsar(QStringLiteral("CNoche"));
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in night mode"));
    }

    void puertoNoDisponible()
    {
        EnlaceRoto(4);
        NumeroPuerto = 4;
        QVERIFY(FijarPuerto(4));
        Pulsar(QStringLiteral("CDia"));
        QCOMPARE(HistorialPanel1(), QStringList{"Serial Port  4  Not Avalaible"});
        QVERIFY(!MSCommDestellador().isOpen());
        QCOMPARE(SimTramasRecibidas(sim.get()), 0);
        QuitarEnlace(4);
    }

    // A second button pressed while the first one's transaction waits does nothing.
    void botonDuranteUnaTransaccion()
    {
        FallosSimulador f;
        f.RetrasoMs = 100;
        SimFijarFallos(sim.get(), f);
        QTimer::singleShot(30, [] { Pulsar(QStringLiteral("CNoche")); });
        Pulsar(QStringLiteral("CDia"));
        QCOMPARE(SimRegistro(sim.get()), QStringList{"4B 58 00 00 06 01 01 F9"});
        QCOMPARE(HistorialPanel1(), QStringList{" QZL is in day mode"});
        QVERIFY(!MSCommDestellador().isOpen());

        // Afterwards the second button works again.
        SimFijarFallos(sim.get(), FallosSimulador{});
        Pulsar(QStringLiteral("CNoche"));
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in night mode"));
    }

    // The adapter is pulled while a button waits for its answer.
    void lineaDesenchufada()
    {
        FallosSimulador f;
        f.Silencioso = true;
        SimFijarFallos(sim.get(), f);
        QTimer::singleShot(50, [&] { SimCerrarLinea(sim.get()); });
        Pulsar(QStringLiteral("CFalloRedOn"));
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL sector fail On OK failed"));
        QVERIFY(!MSCommDestellador().isOpen());
        QCOMPARE(SimTramasRecibidas(sim.get()), 1);

        // The next press finds no port behind the link.
        Pulsar(QStringLiteral("CDia"));
        QCOMPARE(TextoPanel1(), QStringLiteral("Serial Port  2  Not Avalaible"));
    }
};

QTEST_MAIN(TstComandos)
#include "tst_comandos.moc"
