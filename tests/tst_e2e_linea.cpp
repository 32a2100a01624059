// End to end: the line is pulled (the simulated controller's pseudo-terminal vanishes)
// in the middle of a read, a write and a colour transfer. Each time the technician gets
// a clear message, nothing crashes, a failed read changes no field and a failed colour
// read no table entry, the port is closed, and once the line is back the same operation
// works.
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "link/Puerto.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSerialPort>
#include <QTest>

#include <cstring>

using namespace Qt::StringLiterals;

static void Pulsar(QPushButton* boton)
{
    QVERIFY2(boton->isEnabled(), qPrintable(boton->objectName() + u" is disabled"_s));
    QTest::mouseClick(boton, Qt::LeftButton);
}

static void Teclear(QLineEdit* campo, const QString& texto)
{
    campo->setFocus();
    campo->selectAll();
    QTest::keyClicks(campo, texto);
}

class TestE2eLinea : public QObject {
    Q_OBJECT
    SimExterno sim;

    // The demo controller on com1, read once in service mode (every page has its tab).
    void Preparar()
    {
        QString error;
        QVERIFY2(IniciarSimExterno(sim, 1, QString(), true, &error), qPrintable(error));
        CrearVentanaPrueba({true, false, u"1\r\n0\r\n0\r\n\"1\"\r\n573\r\n"_s});
        Pulsar(Ventana().CLeer);
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QCOMPARE(Ventana().TTiempoLampara1->text(), u"10.0"_s);
        DialogosMostrados().clear();
    }

    // The line comes back (a new pseudo-terminal behind the same com1).
    void Reponer()
    {
        QVERIFY(OrdenSimExterno(sim, u"reopen"_s).startsWith(u"ok"_s));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void init()
    {
        // A try that gets no reply gives up after half a second instead of two.
        FactorEsperas = 0.25;
    }

    void cleanup()
    {
        CerrarVentanaPrueba();
        DetenerSimExterno(sim);
        FactorEsperas = 1.0;
    }

    void lecturaCortada()
    {
        Preparar();
        // New values in the controller, then the line goes after the identification and
        // twenty reads.
        QCOMPARE(OrdenSimExterno(sim, u"set cells 28 0 120"_s), u"ok"_s);
        const QMap<QString, QString> antes = ValoresCampos();
        QCOMPARE(OrdenSimExterno(sim, u"closeafter 52"_s), u"ok"_s);
        HistorialPanel1().clear();
        Pulsar(Ventana().CLeer);

        // Addresses 0 to 19 came in; address 20 found no line.
        QCOMPARE(TextoPanel1(), u"Reading Error in data 20"_s);
        QCOMPARE(ValoresCampos(), antes);
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CLeer->isEnabled());

        Reponer();
        HistorialPanel1().clear();
        Pulsar(Ventana().CLeer);
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QCOMPARE(Ventana().TTiempoLampara1->text(), u"12.0"_s);
        QVERIFY(!MSCommDestellador().isOpen());
    }

    void escrituraCortada()
    {
        Preparar();
        SeleccionarPestana(1);
        Teclear(Ventana().TTiempoLampara1, u"12.5"_s);
        Teclear(Ventana().TTiempoFalloRed, u"30"_s);
        QCOMPARE(OrdenSimExterno(sim, u"closeafter 31"_s), u"ok"_s);
        Pulsar(Ventana().CEscribir);

        // Addresses 0 to 30 went out; address 31 found no line.
        QCOMPARE(TextoPanel1(), u"Writing Error in data 31"_s);
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CEscribir->isEnabled());
        EstadoSimulador e = EstadoSimExterno(sim);
        QCOMPARE(int(e.Celdas[29]), 125);  // written before the line went
        QCOMPARE(int(e.Celdas[32]), 0);  // not reached
        QCOMPARE(int(e.Celdas[33]), 100);

        Reponer();
        Pulsar(Ventana().CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        e = EstadoSimExterno(sim);
        QCOMPARE(int(e.Celdas[32]), 1);
        QCOMPARE(int(e.Celdas[33]), 44);  // 30.0 s is 300
        QVERIFY(!MSCommDestellador().isOpen());
    }

    void coloresCortados()
    {
        Preparar();
        SeleccionarPestana(5);
        Pulsar(Ventana().CLeerColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(TextoCeldaPautas(2, 1), u"090"_s);

        // Writing: the line goes in segment 1; the write says so instead of "Ended".
        FijarCeldaActualPautas(2, 3);
        QTest::keyClicks(Ventana().MSFlexGridPautas, u"200"_s);
        FijarCeldaActualPautas(1, 1);
        QCOMPARE(OrdenSimExterno(sim, u"closeafter 100"_s), u"ok"_s);
        Pulsar(Ventana().CEscribirColores);
        QVERIFY2(TextoPanel1().startsWith(u"Writing Error in data "_s), qPrintable(TextoPanel1()));
        QVERIFY(!MSCommDestellador().isOpen());

        // Reading: the line goes again; the table, colours and grid stay as they were.
        Reponer();
        int32_t tabla[9][33];
        int32_t colores[9];
        std::memcpy(tabla, TablaPautas, sizeof tabla);
        std::memcpy(colores, TablaColores, sizeof colores);
        QCOMPARE(OrdenSimExterno(sim, u"closeafter 150"_s), u"ok"_s);
        Pulsar(Ventana().CLeerColores);
        QVERIFY2(TextoPanel1().startsWith(u"Reading Error in data "_s), qPrintable(TextoPanel1()));
        QVERIFY(std::memcmp(tabla, TablaPautas, sizeof tabla) == 0);
        QVERIFY(std::memcmp(colores, TablaColores, sizeof colores) == 0);
        QCOMPARE(TextoCeldaPautas(2, 3), u"200"_s);
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CLeer->isEnabled());

        // Back: the whole table goes out and comes back.
        Reponer();
        Pulsar(Ventana().CEscribirColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(int(EntradaTabla(EstadoSimExterno(sim), 2, 3)), 200);
        Pulsar(Ventana().CBorrarTabla);
        Pulsar(Ventana().CLeerColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(TextoCeldaPautas(2, 3), u"200"_s);
        QCOMPARE(TextoCeldaPautas(3, 2), u"359"_s);
        QVERIFY(!MSCommDestellador().isOpen());
    }
};

QTEST_MAIN(TestE2eLinea)
#include "tst_e2e_linea.moc"
