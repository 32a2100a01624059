// End to end, as a technician works: the real window with its real start-up, a qzl-sim
// process on a pseudo-terminal linked as com1 (and com2), driven only through the window.
// Reading a controller, changing four fields of different kinds and writing them back
// changes exactly those cells; a parameter file carries a whole controller, flash table
// (a segment starting at 0 degrees included) and colours, to a second controller.
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "params/TablaLux.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;

// A lantern with LEDs and no rotation: no motor fields, no segmented table.
static const QString LinternaLed = u"absent 0-16 47-53 221-225\n"_s;

static QString QzlIni(int puerto, int servicio)
{
    return u"%1\r\n0\r\n0\r\n\"1\"\r\n%2\r\n"_s.arg(puerto).arg(servicio);
}

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

static bool HuboCritico()
{
    for (const PeticionDialogo& d : DialogosMostrados())
        if (d.icono == QMessageBox::Critical)
            return true;
    return false;
}

// Frames of the log with their command and index, as "C/I".
static QStringList Ordenes(const QStringList& registro)
{
    QStringList o;
    for (const QString& l : registro)
        o.append(ComandoDeRegistro(l) < 0 ? l : u"%1/%2"_s.arg(ComandoDeRegistro(l)).arg(IndiceDeRegistro(l)));
    return o;
}

class TestE2eParametros : public QObject {
    Q_OBJECT
    SimExterno simA, simB;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        PrepararEntornoPrueba();
    }

    void cleanup()
    {
        CerrarVentanaPrueba();
        DetenerSimExterno(simA);
        DetenerSimExterno(simB);
        FactorEsperas = 1.0;
    }

    void leerCambiarEscribir_data()
    {
        QTest::addColumn<int>("servicio");
        QTest::addColumn<QString>("estado");
        QTest::newRow("LED lantern, no service code") << 0 << LinternaLed;
        QTest::newRow("service mode, every field") << int(CodigoServicioFabrica) << QString();
    }

    void leerCambiarEscribir()
    {
        QFETCH(int, servicio);
        QFETCH(QString, estado);
        QString error;
        QVERIFY2(IniciarSimExterno(simA, 1, estado, true, &error), qPrintable(error));
        const EstadoSimulador inicial = EstadoSimExterno(simA);

        CrearVentanaPrueba({true, false, QzlIni(1, servicio)});
        QVERIFY(FormPrincipal()->isVisible());
        QVERIFY(HistorialPanel1().contains(u"Serial Port  1"_s));
        DialogosMostrados().clear();
        OrdenSimExterno(simA, u"clearlog"_s);

        Pulsar(Ventana().CLeer);
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QVERIFY(!HuboCritico());
        QVERIFY2(DialogosMostrados().isEmpty(), "firmware 52 raises no message");

        // On the wire: the 32 presence bytes, then every present address once, in order.
        QStringList esperado;
        for (int i = 0; i < 32; ++i)
            esperado.append(u"128/%1"_s.arg(i));
        for (int a = 0; a < 256; ++a)
            if (EsPresente(inicial, a))
                esperado.append(u"1/%1"_s.arg(a));
        QCOMPARE(Ordenes(RegistroSimExterno(simA)), esperado);

        // What the window shows.
        Ui::frmMain& v = Ventana();
        QCOMPARE(v.TIdentificacion->text(), u"QZL DEMO BEACON "_s);
        QCOMPARE(v.TVersionFirmwareR->text(), u"52"_s);
        QCOMPARE(v.TNumeroID->text(), u"4660"_s);
        QCOMPARE(v.TTiempoLampara1->text(), u"10.0"_s);
        QCOMPARE(v.TLuxON->text(), u"50"_s);
        QCOMPARE(v.TLuxOFF->text(), u"100"_s);
        QCOMPARE(v.ComboSensorLuz->currentIndex(), 1);
        QCOMPARE(v.ComboTipoLampara2->currentIndex(), 1);
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Checked);
        QCOMPARE(v.txtAtenuacionNocturna->isEnabled(), true);
        const bool todo = servicio == CodigoServicioFabrica;
        QCOMPARE(v.TVelocidadUsuario1->isVisibleTo(FrameP(2)), todo);
        QCOMPARE(v.TLuxON->isVisibleTo(FrameP(1)), true);
        QCOMPARE(v.TNumeroFabricacion->isVisibleTo(FormPrincipal()), todo);
        QCOMPARE(v.ComboTipoCambiador->isVisibleTo(FrameP(1)), todo);
        QCOMPARE(NumeroPestanas(), todo ? 6 : 4);
        if (todo)
            QCOMPARE(v.TVelocidadUsuario1->text(), u"1.2500"_s);

        // Four fields of different kinds: a scaled number, a light level, a list, the check box.
        SeleccionarPestana(1);
        Teclear(v.TTiempoLampara1, u"12.5"_s);
        Teclear(v.TLuxON, u"100"_s);
        v.ComboTipoLampara2->setCurrentIndex(0);
        QTest::mouseClick(v.CheckBalizaEmergencia, Qt::LeftButton);
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Unchecked);

        OrdenSimExterno(simA, u"clearlog"_s);
        DialogosMostrados().clear();
        Pulsar(v.CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QVERIFY(!HuboCritico());

        // Every present address but the factory ones (247 to 253), once, in order.
        esperado.clear();
        for (int a = 0; a < 256; ++a)
            if (EsPresente(inicial, a) && (a < 247 || a > 253))
                esperado.append(u"2/%1"_s.arg(a));
        QCOMPARE(Ordenes(RegistroSimExterno(simA)), esperado);

        // Exactly the cells of the four fields changed: 10.0 s -> 12.5 s is 100 -> 125;
        // 50 lux (photocell count 256) -> 100 lux (count 192); AC -> DC; ticked -> clear.
        const EstadoSimulador final_ = EstadoSimExterno(simA);
        QCOMPARE(CeldasDistintas(inicial, final_), (QList<int>{17, 18, 29, 39, 54}));
        QCOMPARE(int(final_.Celdas[17]), 0);
        QCOMPARE(int(final_.Celdas[18]), 192);
        QCOMPARE(int(final_.Celdas[29]), 125);
        QCOMPARE(int(final_.Celdas[39]), 0);
        QCOMPARE(int(final_.Celdas[54]), 0);
    }

    // A read and a write with no edit in between leave the controller exactly as it was,
    // whatever its cells hold: light counts between the table's steps, a recovery time
    // above 999, values the lists clamp, cells no field shows. A file saved after the
    // read holds the same cells, and loading it on a blank controller and writing it
    // makes that one equal. Only a change of the sensor kind re-encodes the light levels.
    void leerYEscribirSinCambios_data()
    {
        QTest::addColumn<quint32>("semilla");
        QTest::newRow("seed 1") << quint32(1);
        QTest::newRow("seed 20261210") << quint32(20261210);
        QTest::newRow("seed 7777") << quint32(7777);
    }

    void leerYEscribirSinCambios()
    {
        QFETCH(quint32, semilla);
        QRandomGenerator azar(semilla);
        QString celdas = u"present 0-255\ncells 0"_s;
        for (int a = 0; a < 256; ++a) {
            int v = int(azar.bounded(256));
            if (a == 252)
                v = 52;  // no firmware message
            if (a == 54)
                v = int(azar.bounded(3));  // a check state a file can hold
            celdas += u" %1"_s.arg(v);
        }
        QString error;
        QVERIFY2(IniciarSimExterno(simA, 1, celdas + u"\n"_s, false, &error), qPrintable(error));
        QVERIFY2(IniciarSimExterno(simB, 2, u"present 0-255\n"_s, false, &error), qPrintable(error));
        const EstadoSimulador inicial = EstadoSimExterno(simA);

        CrearVentanaPrueba({true, false, QzlIni(1, CodigoServicioFabrica)});
        Ui::frmMain& v = Ventana();
        Pulsar(v.CLeer);
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        Pulsar(v.CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QVERIFY(!HuboCritico());
        QCOMPARE(CeldasDistintas(inicial, EstadoSimExterno(simA)), QList<int>());

        const QString archivo = QDir(CarpetaPrueba()).filePath(u"igual.qzl"_s);
        QFile::remove(archivo);
        ContestarDialogos(archivo);
        Pulsar(v.CGuardar);
        QCOMPARE(TextoPanel1(), u" Saved file"_s);
        QFile guardado(archivo);
        QVERIFY(guardado.open(QIODevice::ReadOnly));
        const QList<QByteArray> lineas = guardado.readAll().split('\n');
        for (int a = 0; a < 256; ++a)
            QCOMPARE(lineas[a].trimmed().toInt(), int(inicial.Celdas[size_t(a)]));

        // The other kind of sensor: only the cells of the kind and of the light levels change.
        const int otro = 1 - v.ComboSensorLuz->currentIndex();
        const QStringList lux = {v.TLuxON->text(), v.TLuxOFF->text(), v.TLuxLamparaFundida->text()};
        v.ComboSensorLuz->setCurrentIndex(otro);
        Pulsar(v.CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        const EstadoSimulador cambiado = EstadoSimExterno(simA);
        for (const int c : CeldasDistintas(inicial, cambiado))
            QVERIFY2(c == 41 || (c >= 17 && c <= 20) || c == 23 || c == 24, qPrintable(QString::number(c)));
        QCOMPARE(int(cambiado.Celdas[41]), otro);
        const int primeras[] = {17, 19, 23};
        for (int i = 0; i < 3; ++i) {
            int32_t l = lux[i].toInt();
            const int cuentas = LuxACuentas(l, otro);
            QCOMPARE(cambiado.Celdas[size_t(primeras[i])] * 256 + cambiado.Celdas[size_t(primeras[i] + 1)], cuentas);
        }

        // The file carries the first controller, untouched cells included, to a blank one.
        SeleccionarPestana(4);
        v.ComboCom->setCurrentIndex(1);
        QCOMPARE(TextoPanel1(), u"Serial Port  2"_s);
        Pulsar(v.CLeer);
        ContestarDialogos(archivo);
        Pulsar(v.CAbrir);
        Pulsar(v.CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QVERIFY(!HuboCritico());
        QList<int> distintas = CeldasDistintas(inicial, EstadoSimExterno(simB));
        distintas.removeIf([](int c) { return c >= 247 && c <= 253; });  // never written
        QCOMPARE(distintas, QList<int>());
    }

    void archivoASegundoControlador()
    {
        // Controller A: the demo, with a flash table and colours. Controller B: the same
        // model, other values, other factory data, a blank flash table.
        QString error;
        QVERIFY2(IniciarSimExterno(simA, 1, QString(), true, &error), qPrintable(error));
        const QString otro = u"present 0-60 221-225 231-255\n"
                             "cells 0 0 10 0 0 20 0 0 30 0 0 40 0 0 1 0 0 50\n"
                             "cells 17 0 192 1 0 0 10 0 192 0 10 0 0 10 0 10 0 10 0 10 0 10 1 1 1 0\n"
                             "cell 55 0\n"
                             "text 231 OTRO FARO       \n"
                             "cells 247 1 20 0 9 5 60 2 0 1\n"_s;
        QVERIFY2(IniciarSimExterno(simB, 2, otro, false, &error), qPrintable(error));
        const EstadoSimulador a = EstadoSimExterno(simA);

        const QString archivo = QDir(CarpetaPrueba()).filePath(u"faro.qzl"_s);
        QFile::remove(archivo);
        CrearVentanaPrueba({true, false, QzlIni(1, CodigoServicioFabrica)});
        Ui::frmMain* v = &Ventana();
        Pulsar(v->CLeer);
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        SeleccionarPestana(5);
        Pulsar(v->CLeerColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(LColor(1)->text(), QString::number(0xFFFFFF));

        ContestarDialogos(archivo);
        Pulsar(v->CGuardar);
        QCOMPARE(TextoPanel1(), u" Saved file"_s);
        QFile guardado(archivo);
        QVERIFY(guardado.open(QIODevice::ReadOnly));
        QCOMPARE(guardado.readAll().count("\r\n"), 520);
        guardado.close();

        // A fresh window on the second controller: read it (which identifies it), load the
        // file over what it showed, write the parameters and the flash table.
        CerrarVentanaPrueba();
        CrearVentanaPrueba({true, false, QzlIni(1, CodigoServicioFabrica)});
        v = &Ventana();
        SeleccionarPestana(4);
        v->ComboCom->setCurrentIndex(1);
        QCOMPARE(TextoPanel1(), u"Serial Port  2"_s);
        Pulsar(v->CLeer);
        QCOMPARE(v->TIdentificacion->text(), u"OTRO FARO       "_s);
        ContestarDialogos(archivo);
        DialogosMostrados().clear();
        HistorialPanel1().clear();
        Pulsar(v->CAbrir);
        // The file's changer type differs from B's: the load ends like a user's choice of it.
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QCOMPARE(TextoPanel1(), u"Changes pending record"_s);
        QCOMPARE(DialogosMostrados().size(), 1);  // the open dialog, and no message
        QCOMPARE(v->TIdentificacion->text(), u"QZL DEMO BEACON "_s);
        DialogosMostrados().clear();
        Pulsar(v->CEscribir);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        SeleccionarPestana(5);
        Pulsar(v->CEscribirColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QVERIFY(!HuboCritico());

        // Both controllers hold the same cells (the factory data 247 to 253 is never
        // written) and the same flash table and colours.
        const EstadoSimulador b = EstadoSimExterno(simB);
        QList<int> distintas = CeldasDistintas(a, b);
        distintas.removeIf([](int c) { return c >= 247 && c <= 253; });
        QCOMPARE(distintas, QList<int>());
        // Row 1 of A starts its first segment at 0 degrees: it must arrive too.
        QStringList tablaDistinta;
        for (int fila = 1; fila <= 8; ++fila) {
            QCOMPARE(ColorFila(b, fila), ColorFila(a, fila));
            for (int columna = 1; columna <= 32; ++columna)
                if (EntradaTabla(b, fila, columna) != EntradaTabla(a, fila, columna))
                    tablaDistinta.append(u"(%1, %2): %3 became %4"_s.arg(fila).arg(columna)
                                             .arg(EntradaTabla(a, fila, columna))
                                             .arg(EntradaTabla(b, fila, columna)));
        }
        QCOMPARE(tablaDistinta, QStringList());
        QCOMPARE(int(EntradaTabla(b, 1, 1)), 0);
    }
};

QTEST_MAIN(TestE2eParametros)
#include "tst_e2e_parametros.moc"
