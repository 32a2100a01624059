// The window from the keyboard alone: Tab reaches every control of each page once and
// comes back, Ctrl+Tab leaves the flash grid, the tab strip switches pages, and a
// colour label takes the focus, shows it and opens the colour chooser with Space or Enter.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "ui/Dialogos.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString IniServicio = u"1\r\n0\r\n0\r\n\"1\"\r\n573\r\n"_s;

QString Nombre(const QWidget* w)
{
    if (!w)
        return u"(none)"_s;
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

// What a keyboard user can land on now: focusable by Tab, shown and enabled.
bool Alcanzable(const QWidget* w)
{
    return (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isVisibleTo(w->window())
        && w->isEnabled();
}

// Every control of the window a Tab should pass, in the order of the focus chain.
QList<QWidget*> Esperados()
{
    QList<QWidget*> lista;
    QWidget* ventana = FormPrincipal();
    for (QWidget* w = ventana->nextInFocusChain(); w != ventana; w = w->nextInFocusChain())
        if (Alcanzable(w))
            lista.append(w);
    return lista;
}

QWidget* Foco()
{
    return QApplication::focusWidget();
}

// Tab, or Ctrl+Tab where Tab stays inside the control (the flash grid).
void Avanzar(bool atras = false)
{
    QWidget* w = Foco();
    const bool grid = w == Ventana().MSFlexGridPautas;
    Qt::KeyboardModifiers m = atras ? Qt::ShiftModifier : Qt::NoModifier;
    if (grid)
        m |= Qt::ControlModifier;
    QTest::keyClick(w, atras ? Qt::Key_Backtab : Qt::Key_Tab, m);
}

} // namespace

class TstTeclado : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        FactorEsperas = 0.001;
        OpcionesVentanaPrueba o;
        o.qzlIni = IniServicio;
        frmMain* f = CrearVentanaPrueba(o);
        // As after the read of a controller with every field: the start picture gone and
        // every parameter field shown (the language list stays hidden for good).
        Ventana().PictureInicio->hide();
        for (int p = 1; p <= 6; ++p)
            for (QWidget* w : FrameP(p)->findChildren<QWidget*>())
                if (!w->objectName().startsWith(u"qt_") && w != Ventana().ComboIdioma && w != Label(24))
                    w->show();
        for (QWidget* w : Ventana().Frame1_0->findChildren<QWidget*>())
            w->show();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    // From the first control of a page, Tab passes every enabled control of the window
    // once (the page's, the identification fields, the tab strip and the buttons below)
    // and comes back to where it started; Shift+Tab walks the same ring backwards.
    void tabRecorreCadaPagina_data()
    {
        QTest::addColumn<int>("pagina");
        for (int p = 1; p <= 6; ++p)
            QTest::addRow("page %d", p) << p;
    }
    void tabRecorreCadaPagina()
    {
        QFETCH(int, pagina);
        SeleccionarPestana(pagina);
        QCOMPARE(int(FrameActual), pagina);
        QApplication::processEvents();
        const QList<QWidget*> esperados = Esperados();
        QWidget* primero = nullptr;
        for (QWidget* w : esperados)
            if (FrameP(pagina)->isAncestorOf(w)) {
                primero = w;
                break;
            }
        QVERIFY(primero);
        primero->setFocus(Qt::TabFocusReason);
        QCOMPARE(Foco(), primero);

        for (bool atras : {false, true}) {
            QList<QWidget*> recorrido = {primero};
            for (int paso = 0; paso < 2 * esperados.size(); ++paso) {
                Avanzar(atras);
                if (Foco() == primero)
                    break;
                QVERIFY2(Foco() && !recorrido.contains(Foco()), qPrintable(u"twice: "_s + Nombre(Foco())));
                recorrido.append(Foco());
            }
            QCOMPARE(Foco(), primero);
            QStringList vistos, faltan;
            for (QWidget* w : recorrido)
                vistos << Nombre(w);
            for (QWidget* w : esperados)
                if (!recorrido.contains(w))
                    faltan << Nombre(w);
            QVERIFY2(faltan.isEmpty(), qPrintable(u"never reached: "_s + faltan.join(u' ')));
            QCOMPARE(recorrido.size(), esperados.size());
            // Every control of the page in one run, before the window's own buttons.
            int dentro = 0;
            for (int i = 0; i < recorrido.size(); ++i)
                if (FrameP(pagina)->isAncestorOf(recorrido[i]))
                    ++dentro;
            for (int i = 0; i < dentro; ++i)
                QVERIFY2(FrameP(pagina)->isAncestorOf(recorrido[atras ? (recorrido.size() - i) % recorrido.size() : i]),
                         qPrintable(vistos.join(u' ')));
            QVERIFY2(recorrido.contains(Ventana().TabStrip1->tabBar()), "the tab strip is never reached");
        }
    }

    // Pages whose reading order is not simply top to bottom: page 3 reads its left
    // column (the indicator rows with their identifier and refresh) before the command
    // groups on the right and the checks below them; page 5 reads the grid, the colour
    // labels of its rows, then the fields and buttons below.
    void ordenDeLectura_data()
    {
        QTest::addColumn<int>("pagina");
        QTest::addColumn<QStringList>("orden");
        QTest::newRow("page 3") << 3
                                << QStringList{u"TNumeroSerieTelemando"_s, u"CInterrogar"_s, u"CCambioLamparaOn"_s,
                                               u"CCambioLamparaOff"_s, u"CNormal"_s, u"CNoche"_s, u"CDia"_s,
                                               u"CFalloRedOn"_s, u"CFalloRedOff"_s, u"TTiempoModoVerboso"_s,
                                               u"CModoVerboso"_s, u"Command1"_s, u"btnTelemandoMotor1"_s,
                                               u"btnTelamandoMotor2"_s, u"chkEstado"_s, u"chkVelocidadActual"_s,
                                               u"TVelocidadActual"_s, u"chkCorrienteActual"_s, u"TCorrienteActual"_s,
                                               u"chkCorrienteLeds"_s, u"txtCorrienteLeds"_s};
        QTest::newRow("page 5") << 5
                                << QStringList{u"MSFlexGridPautas"_s, u"LColor_1"_s, u"LColor_2"_s, u"LColor_3"_s,
                                               u"LColor_4"_s, u"LColor_5"_s, u"LColor_6"_s, u"LColor_7"_s,
                                               u"LColor_8"_s, u"TDientesDisco"_s, u"TLuminosidadLeds"_s,
                                               u"TGradosOffset"_s, u"CheckColores"_s, u"Command2"_s,
                                               u"CBorrarTabla"_s, u"CEscribirColores"_s, u"CLeerColores"_s};
    }
    void ordenDeLectura()
    {
        QFETCH(int, pagina);
        QFETCH(QStringList, orden);
        SeleccionarPestana(pagina);
        QApplication::processEvents();
        QStringList vistos;
        for (QWidget* w : Esperados())
            if (FrameP(pagina)->isAncestorOf(w))
                vistos << w->objectName();
        QCOMPARE(vistos, orden);
    }

    // Inside the grid Tab moves from cell to cell; Ctrl+Tab leaves it forward and
    // Ctrl+Shift+Tab backward, without touching the cells.
    void ctrlTabSaleDelGrid()
    {
        SeleccionarPestana(5);
        QTableWidget* g = Ventana().MSFlexGridPautas;
        g->setFocus(Qt::TabFocusReason);
        FijarCeldaActualPautas(1, 1);
        QTest::keyClick(g, Qt::Key_Tab);
        QCOMPARE(Foco(), g);
        QCOMPARE(ColumnaActualPautas(), 2);
        QTest::keyClick(g, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(Foco(), static_cast<QWidget*>(LColor(1)));
        QCOMPARE(int(FrameActual), 5);
        g->setFocus(Qt::TabFocusReason);
        QTest::keyClick(g, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(Foco() != g);
        QVERIFY(!FrameP(5)->isAncestorOf(Foco()));
        QCOMPARE(int(FrameActual), 5);
        QCOMPARE(FilaActualPautas(), 1);
        QCOMPARE(ColumnaActualPautas(), 2);
    }

    // The tab strip switches pages with the arrow keys, and Ctrl+Tab from a page goes
    // to the next tab, as Qt's tab strips do.
    void pestanasConTeclado()
    {
        SeleccionarPestana(1);
        QTabBar* barra = Ventana().TabStrip1->tabBar();
        barra->setFocus(Qt::TabFocusReason);
        QTest::keyClick(barra, Qt::Key_Right);
        QCOMPARE(PestanaSeleccionada(), 2);
        QCOMPARE(int(FrameActual), 2);
        QVERIFY(FrameP(2)->isVisible());
        QVERIFY(!FrameP(1)->isVisible());
        QTest::keyClick(barra, Qt::Key_Left);
        QCOMPARE(int(FrameActual), 1);
        Ventana().TLuxON->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Ventana().TLuxON, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(int(FrameActual), 2);
    }

    // Space, Return and the keypad's Enter on a focused colour label open the colour
    // chooser for that row, as a click does; other keys do not.
    void teclaEnEtiquetaDeColor_data()
    {
        QTest::addColumn<int>("fila");
        QTest::addColumn<int>("tecla");
        QTest::addColumn<int>("modificadores");
        QTest::addColumn<bool>("abre");
        QTest::newRow("space row 3") << 3 << int(Qt::Key_Space) << int(Qt::NoModifier) << true;
        QTest::newRow("return row 1") << 1 << int(Qt::Key_Return) << int(Qt::NoModifier) << true;
        QTest::newRow("keypad enter row 8") << 8 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("a letter") << 4 << int(Qt::Key_A) << int(Qt::NoModifier) << false;
        QTest::newRow("ctrl+space") << 4 << int(Qt::Key_Space) << int(Qt::ControlModifier) << false;
    }
    void teclaEnEtiquetaDeColor()
    {
        QFETCH(int, fila);
        QFETCH(int, tecla);
        QFETCH(int, modificadores);
        QFETCH(bool, abre);
        SeleccionarPestana(5);
        for (int r = 1; r <= 8; ++r)
            TablaColores[r] = 0;
        RellenarColores();
        const QColor elegido(10, 200, 30);
        ContestarDialogos(QString(), elegido);
        DialogosMostrados().clear();
        QLabel* l = LColor(fila);
        l->setFocus(Qt::TabFocusReason);
        QCOMPARE(Foco(), static_cast<QWidget*>(l));
        QTest::keyClick(l, Qt::Key(tecla), Qt::KeyboardModifiers(modificadores));
        if (!abre) {
            QVERIFY(DialogosMostrados().isEmpty());
            QCOMPARE(l->text(), u"0"_s);
            return;
        }
        QCOMPARE(DialogosMostrados().size(), 1);
        QCOMPARE(DialogosMostrados().last().tipo, PeticionDialogo::Color);
        QCOMPARE(DialogosMostrados().last().inicial, QColor(0, 0, 0));
        const int32_t codigo = 10 | (200 << 8) | (30 << 16);
        QCOMPARE(l->text(), QString::number(codigo));
        QCOMPARE(TablaColores[fila], codigo);
        for (int r = 1; r <= 8; ++r)
            if (r != fila)
                QCOMPARE(TablaColores[r], 0);
    }

    // A focused colour label looks different from one without the focus.
    void etiquetaDeColorMuestraElFoco()
    {
        SeleccionarPestana(5);
        QLabel* l = LColor(2);
        Ventana().TDientesDisco->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        const QImage sinFoco = l->grab().toImage();
        l->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
        QVERIFY(l->hasFocus());
        const QImage conFoco = l->grab().toImage();
        QVERIFY(sinFoco != conFoco);
    }
};

QTEST_MAIN(TstTeclado)
#include "tst_teclado.moc"
