// The flash-table grid: formatting, typing, leaving a cell, tab, clearing, redrawing.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Pautas.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

class tst_pautas : public QObject {
    Q_OBJECT

private:
    QTableWidget* grid() { return Ventana().MSFlexGridPautas; }
    void teclear(const QString& teclas)
    {
        for (const QChar ch : teclas) {
            if (ch == QLatin1Char('<'))
                QTest::keyClick(grid(), Qt::Key_Backspace);
            else
                QTest::keyClicks(grid(), QString(ch));
        }
    }
    // Clicks a data cell with the mouse, as the user would.
    void clicCelda(int fila, int columna)
    {
        QTableWidget* g = grid();
        g->scrollToItem(g->item(fila - 1, columna - 1));
        const QRect r = g->visualItemRect(g->item(fila - 1, columna - 1));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }

private slots:
    // One window for the whole file (its start-up calibrates for a second); each test
    // starts from a freshly formatted and cleared grid.
    void initTestCase()
    {
        CrearVentanaPrueba();
        SeleccionarPestana(5);
        QCoreApplication::processEvents();
    }
    void init()
    {
        FormatearGrid();
        BorrarDatosGrid();
        for (int r = 1; r <= 8; ++r)
            TablaColores[r] = 0;
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    void formato()
    {
        QTableWidget* g = grid();
        QCOMPARE(g->rowCount(), 8);
        QCOMPARE(g->columnCount(), 32);
        QCOMPARE(TextoCeldaPautas(0, 0), QString());
        QCOMPARE(TextoCeldaPautas(0, 1), QStringLiteral(" 1I"));
        QCOMPARE(TextoCeldaPautas(0, 2), QStringLiteral(" 1F"));
        QCOMPARE(TextoCeldaPautas(0, 19), QStringLiteral(" 10I"));
        QCOMPARE(TextoCeldaPautas(0, 32), QStringLiteral(" 16F"));
        QCOMPARE(TextoCeldaPautas(1, 0), QStringLiteral(" 1"));
        QCOMPARE(TextoCeldaPautas(8, 0), QStringLiteral(" 8"));
        // 350 x 250 twips at 15 twips a pixel, headers included.
        for (int c = 0; c < 32; ++c)
            QCOMPARE(g->columnWidth(c), 23);
        for (int r = 0; r < 8; ++r)
            QCOMPARE(g->rowHeight(r), 17);
        // Three digits fit a cell; they are never replaced by "...".
        QVERIFY(QFontMetrics(g->font()).horizontalAdvance(QStringLiteral("888")) <= 23 - 4);
        QCOMPARE(g->textElideMode(), Qt::ElideNone);
        QCOMPARE(g->verticalHeader()->width(), 23);
        QCOMPARE(g->horizontalHeader()->height(), 17);
        // Shading: end columns light 3-D, start columns window background, headers button face.
        const QPalette p = g->palette();
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(FondoCeldaPautas(r, 0), p.color(QPalette::Button));
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(FondoCeldaPautas(r, c), p.color(c % 2 ? QPalette::Base : QPalette::Midlight));
        }
        QVERIFY(p.color(QPalette::Base) != p.color(QPalette::Midlight));
        // Cleared, with (1, 1) current and nothing editable in place.
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 32; ++c) {
                QCOMPARE(TablaPautas[r][c], 511);
                QCOMPARE(TextoCeldaPautas(r, c), QString());
            }
        QCOMPARE(FilaActualPautas(), 1);
        QCOMPARE(ColumnaActualPautas(), 1);
        QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void teclearYSalir_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("columna");
        QTest::addColumn<QString>("izquierda");  // typed first into the cell to the left ("" none)
        QTest::addColumn<QString>("teclas");     // '<' is backspace
        QTest::addColumn<QString>("antes");      // the cell's text before leaving
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("entrada");

        QTest::newRow("45") << 1 << 1 << "" << "45" << "45" << "045" << 45;
        QTest::newRow("0") << 1 << 1 << "" << "0" << "0" << "000" << 0;
        QTest::newRow("359") << 4 << 1 << "" << "359" << "359" << "359" << 359;
        QTest::newRow("360") << 1 << 1 << "" << "360" << "360" << "" << 511;
        QTest::newRow("400") << 1 << 1 << "" << "400" << "400" << "" << 511;
        QTest::newRow("007") << 1 << 1 << "" << "007" << "007" << "007" << 7;
        QTest::newRow("0000090") << 1 << 1 << "" << "0000090" << "0000090" << "090" << 90;
        QTest::newRow("huge") << 1 << 1 << "" << "00000000000000000000000000000009999999999999"
                              << "00000000000000000000000000000009999999999999" << "" << 511;
        QTest::newRow("left empty") << 2 << 3 << "" << "10" << "10" << "" << 511;
        QTest::newRow("left filled") << 2 << 2 << "20" << "10" << "10" << "010" << 10;
        QTest::newRow("backspace") << 1 << 1 << "" << "045<" << "04" << "004" << 4;
        QTest::newRow("backspace on empty") << 1 << 1 << "" << "<" << "" << "" << 511;
        QTest::newRow("all erased") << 1 << 1 << "" << "12<<<<" << "" << "" << 511;
        QTest::newRow("letters ignored") << 1 << 1 << "" << "a4 b-5.x" << "45" << "045" << 45;
        QTest::newRow("end column") << 5 << 2 << "90" << "180" << "180" << "180" << 180;
    }
    void teclearYSalir()
    {
        QFETCH(int, fila);
        QFETCH(int, columna);
        QFETCH(QString, izquierda);
        QFETCH(QString, teclas);
        QFETCH(QString, antes);
        QFETCH(QString, texto);
        QFETCH(int, entrada);

        if (!izquierda.isEmpty()) {
            clicCelda(fila, columna - 1);
            teclear(izquierda);
        }
        clicCelda(fila, columna);
        teclear(teclas);
        QCOMPARE(TextoCeldaPautas(fila, columna), antes);
        QCOMPARE(TablaPautas[fila][columna], 511);  // nothing taken before the cell is left
        clicCelda(8, 32);
        QCOMPARE(TextoCeldaPautas(fila, columna), texto);
        QCOMPARE(TablaPautas[fila][columna], entrada);
    }

    // Every way of changing the current cell runs the check on the cell left.
    void salidaPorCualquierCamino_data()
    {
        QTest::addColumn<int>("camino");
        QTest::newRow("tab") << 0;
        QTest::newRow("arrow") << 1;
        QTest::newRow("click") << 2;
        QTest::newRow("program") << 3;
    }
    void salidaPorCualquierCamino()
    {
        QFETCH(int, camino);
        FijarCeldaActualPautas(3, 7);
        TablaPautas[3][6] = 10;
        FijarTextoCeldaPautas(3, 6, QStringLiteral("010"));
        teclear(QStringLiteral("77"));
        switch (camino) {
        case 0: QTest::keyClick(grid(), Qt::Key_Tab); break;
        case 1: QTest::keyClick(grid(), Qt::Key_Down); break;
        case 2: clicCelda(1, 1); break;
        default: FijarCeldaActualPautas(6, 6); break;
        }
        QCOMPARE(TablaPautas[3][7], 77);
        QCOMPARE(TextoCeldaPautas(3, 7), QStringLiteral("077"));
    }

    // A cell that held an angle and is emptied or rejected no longer carries it.
    void vaciarCeldaConEntrada()
    {
        clicCelda(1, 1);
        teclear(QStringLiteral("45"));
        clicCelda(1, 2);
        teclear(QStringLiteral("90"));
        clicCelda(1, 3);
        QCOMPARE(TablaPautas[1][1], 45);
        QCOMPARE(TablaPautas[1][2], 90);

        clicCelda(1, 1);
        teclear(QStringLiteral("<<<"));
        clicCelda(2, 1);
        QCOMPARE(TextoCeldaPautas(1, 1), QString());
        QCOMPARE(TablaPautas[1][1], 511);
        // The cells to its right stay as they are.
        QCOMPARE(TextoCeldaPautas(1, 2), QStringLiteral("090"));
        QCOMPARE(TablaPautas[1][2], 90);

        clicCelda(1, 2);
        teclear(QStringLiteral("0"));  // "0900"
        clicCelda(2, 1);
        QCOMPARE(TextoCeldaPautas(1, 2), QString());
        QCOMPARE(TablaPautas[1][2], 511);
    }

    void entradaSoloAlCambiarDeCelda()
    {
        clicCelda(1, 1);
        teclear(QStringLiteral("120"));
        // Focus goes elsewhere in the window; the current cell stays.
        QLineEdit* campo = Ventana().TDientesDisco;
        campo->show();
        QTest::mouseClick(campo, Qt::LeftButton);
        campo->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(TablaPautas[1][1], 511);
        QCOMPARE(TextoCeldaPautas(1, 1), QStringLiteral("120"));
        clicCelda(1, 2);
        QCOMPARE(TablaPautas[1][1], 120);
    }

    void tabulador()
    {
        FijarCeldaActualPautas(2, 5);
        QTest::keyClick(grid(), Qt::Key_Tab);
        QCOMPARE(FilaActualPautas(), 2);
        QCOMPARE(ColumnaActualPautas(), 6);
        // The last column goes on at the start of the next row.
        FijarTextoCeldaPautas(2, 31, QStringLiteral("001"));
        FijarCeldaActualPautas(2, 32);
        teclear(QStringLiteral("5"));
        QTest::keyClick(grid(), Qt::Key_Tab);
        QCOMPARE(FilaActualPautas(), 3);
        QCOMPARE(ColumnaActualPautas(), 1);
        QCOMPARE(TablaPautas[2][32], 5);
        // The last cell has nowhere to go.
        FijarCeldaActualPautas(8, 32);
        QTest::keyClick(grid(), Qt::Key_Tab);
        QCOMPARE(FilaActualPautas(), 8);
        QCOMPARE(ColumnaActualPautas(), 32);
        // Shift-tab is left to the window (it leaves the grid), not taken as a character.
        FijarCeldaActualPautas(4, 4);
        QTest::keyClick(grid(), Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(FilaActualPautas(), 4);
        QCOMPARE(ColumnaActualPautas(), 4);
        QCOMPARE(TextoCeldaPautas(4, 4), QString());
    }

    void borrarMantieneColores()
    {
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 32; ++c) {
                TablaPautas[r][c] = (r * 37 + c) % 360;
                FijarTextoCeldaPautas(r, c, TextoEntradaPautas(TablaPautas[r][c]));
            }
        TablaColores[3] = 255;
        FijarColorCabeceraPautas(3, Qt::red);
        QTest::mouseClick(Ventana().CBorrarTabla, Qt::LeftButton);
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 32; ++c) {
                QCOMPARE(TablaPautas[r][c], 511);
                QCOMPARE(TextoCeldaPautas(r, c), QString());
            }
        QCOMPARE(TablaColores[3], 255);
        QCOMPARE(FondoCeldaPautas(3, 0), QColor(Qt::red));
        QCOMPARE(FondoCeldaPautas(2, 0), grid()->palette().color(QPalette::Button));
    }

    void redibujar()
    {
        FijarCeldaActualPautas(3, 5);
        for (int r = 1; r <= 8; ++r)
            for (int c = 1; c <= 32; ++c)
                TablaPautas[r][c] = 511;
        TablaPautas[1][1] = 7;
        TablaPautas[1][2] = 359;
        TablaPautas[1][3] = 360;
        TablaPautas[3][5] = 400;
        TablaPautas[3][6] = -1;
        TablaPautas[2][2] = 0;
        FijarTextoCeldaPautas(5, 5, QStringLiteral("123"));  // stale text goes
        RedibujaGrid();
        QCOMPARE(TextoCeldaPautas(1, 1), QStringLiteral("007"));
        QCOMPARE(TextoCeldaPautas(1, 2), QStringLiteral("359"));
        QCOMPARE(TextoCeldaPautas(1, 3), QString());
        QCOMPARE(TextoCeldaPautas(2, 2), QStringLiteral("000"));
        QCOMPARE(TextoCeldaPautas(3, 5), QString());
        QCOMPARE(TextoCeldaPautas(3, 6), QString());
        QCOMPARE(TextoCeldaPautas(5, 5), QString());
        // Entries that are not angles keep their value, the current cell's included.
        QCOMPARE(TablaPautas[1][3], 360);
        QCOMPARE(TablaPautas[3][5], 400);
        QCOMPARE(TablaPautas[3][6], -1);
        QCOMPARE(TablaPautas[5][5], 511);
    }

    // Header colours follow the row colour; the row number stays readable.
    void colorCabecera()
    {
        FijarColorCabeceraPautas(4, Qt::black);
        QCOMPARE(FondoCeldaPautas(4, 0), QColor(Qt::black));
        QCOMPARE(grid()->verticalHeaderItem(3)->foreground().color(), QColor(Qt::white));
        FijarColorCabeceraPautas(4, Qt::yellow);
        QCOMPARE(grid()->verticalHeaderItem(3)->foreground().color(), QColor(Qt::black));
    }
};

QTEST_MAIN(tst_pautas)
#include "tst_pautas.moc"
