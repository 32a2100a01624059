// End to end: a technician edits a row of the flash table in the grid, gives it a
// colour, writes the table with its colours to a qzl-sim process on com1, clears the
// table and reads it back from the controller.
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

static void Pulsar(QPushButton* boton)
{
    QVERIFY2(boton->isEnabled(), qPrintable(boton->objectName() + u" is disabled"_s));
    QTest::mouseClick(boton, Qt::LeftButton);
}

// Clicks a cell of the grid (rows and columns from 1) and types into it.
static void Escribir(int fila, int columna, const QString& digitos)
{
    FijarCeldaActualPautas(fila, columna);
    QTest::keyClicks(Ventana().MSFlexGridPautas, digitos);
}

// Offsets of the frames with commands desde to desde + 3, as "S/offset" (S 1 to 4).
static QStringList Transferidos(const QStringList& registro, int desde)
{
    QStringList t;
    for (const QString& l : registro) {
        const int c = ComandoDeRegistro(l);
        if (c >= desde && c <= desde + 3)
            t.append(u"%1/%2"_s.arg(c - desde + 1).arg(IndiceDeRegistro(l)));
        else
            t.append(l);
    }
    return t;
}

static QStringList TodosLosDesplazamientos()
{
    QStringList t;
    for (int s = 1; s <= 4; ++s) {
        for (int o = 0; o <= 66; ++o)
            t.append(u"%1/%2"_s.arg(s).arg(o));
        for (int o = 128; o <= 194; ++o)
            t.append(u"%1/%2"_s.arg(s).arg(o));
    }
    return t;
}

class TestE2ePautas : public QObject {
    Q_OBJECT
    SimExterno sim;

private slots:
    void cleanup()
    {
        CerrarVentanaPrueba();
        DetenerSimExterno(sim);
    }

    void editarEscribirYReleer()
    {
        // A controller whose table is blank (all zeros, as a controller fresh from the factory).
        QString error;
        QVERIFY2(IniciarSimExterno(sim, 1, u"present 0-60 231-255\n"_s, false, &error), qPrintable(error));
        CrearVentanaPrueba({true, false, u"1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"_s});
        QCOMPARE(NumeroPestanas(), 5);
        SeleccionarPestana(5);
        QVERIFY(Ventana().MSFlexGridPautas->isVisible());

        // Row 4: two segments, 10 to 100 and 200 to 300; a start of 400 is refused.
        Escribir(4, 1, u"10"_s);
        Escribir(4, 2, u"100"_s);
        Escribir(4, 3, u"200"_s);
        Escribir(4, 4, u"300"_s);
        Escribir(4, 5, u"400"_s);
        FijarCeldaActualPautas(1, 1);
        const QStringList fila4{u"010"_s, u"100"_s, u"200"_s, u"300"_s, QString()};
        for (int c = 1; c <= 5; ++c)
            QCOMPARE(TextoCeldaPautas(4, c), fila4[c - 1]);

        // Pure red for row 4 from the colour chooser.
        ContestarDialogos(QString(), QColor(255, 0, 0));
        QTest::mouseClick(LColor(4), Qt::LeftButton);
        QCOMPARE(LColor(4)->text(), u"255"_s);
        QCOMPARE(FondoCeldaPautas(4, 0), QColor(255, 0, 0));

        OrdenSimExterno(sim, u"clearlog"_s);
        Pulsar(Ventana().CEscribirColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(Transferidos(RegistroSimExterno(sim), 131), TodosLosDesplazamientos());

        const EstadoSimulador e = EstadoSimExterno(sim);
        const int esperada[] = {10, 100, 200, 300};
        for (int fila = 1; fila <= 8; ++fila) {
            // Rows never given a colour are sent as their label's number.
            QCOMPARE(ColorFila(e, fila), fila == 4 ? 255u : uint32_t(fila));
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(int(EntradaTabla(e, fila, c)), fila == 4 && c <= 4 ? esperada[c - 1] : EntradaVacia);
        }

        // Cleared, then read back from the controller.
        Pulsar(Ventana().CBorrarTabla);
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(TextoCeldaPautas(4, c), QString());
        OrdenSimExterno(sim, u"clearlog"_s);
        Pulsar(Ventana().CLeerColores);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(Transferidos(RegistroSimExterno(sim), 135), TodosLosDesplazamientos());
        for (int fila = 1; fila <= 8; ++fila)
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(TextoCeldaPautas(fila, c), fila == 4 && c <= 4 ? fila4[c - 1] : QString());
        QCOMPARE(TablaPautas[4][4], 300);
        QCOMPARE(TablaPautas[4][5], EntradaVacia);
        QCOMPARE(LColor(4)->text(), u"255"_s);
        QCOMPARE(LColor(5)->text(), u"5"_s);
        QCOMPARE(FondoCeldaPautas(4, 0), QColor(255, 0, 0));
    }
};

QTEST_MAIN(TestE2ePautas)
#include "tst_e2e_pautas.moc"
