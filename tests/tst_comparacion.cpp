// Comparing the window with the controller or a file, the Differences window, and the
// verify after writing, through the simulator.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "comparacion/Comparacion.h"
#include "comparacion/Comparar.h"
#include "comparacion/Diferencias.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "link/Puerto.h"
#include "params/Campos.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The Differences window's rows, as "caption | window | other".
QStringList Filas()
{
    QStringList filas;
    QTableWidget* t = TablaDiferencias();
    if (!t || !FormularioDiferencias()->isVisible())
        return filas;
    for (int f = 0; f < t->rowCount(); ++f)
        filas << u"%1 | %2 | %3"_s.arg(t->item(f, 1)->text(), t->item(f, 2)->text(), t->item(f, 3)->text());
    return filas;
}

QString Resumen()
{
    auto* l = FormularioDiferencias() ? FormularioDiferencias()->findChild<QLabel*>(u"lblResumen"_s) : nullptr;
    return l ? l->text() : QString();
}

void CerrarDiferencias()
{
    if (QDialog* d = FormularioDiferencias())
        d->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Etiqueta(int celda)
{
    return TextoDe(FilaDeCelda(celda)->etiqueta);
}

// Every field's content, the presence map, the write image and the tabs: what a compare
// must leave as it found it.
struct Instantanea {
    QStringList campos;
    QByteArray mapa;
    QByteArray base;
    QStringList pestanas;
    PertenenciaValores pertenencia;
    bool operator==(const Instantanea&) const = default;
};

Instantanea Tomar()
{
    Instantanea i;
    for (const FilaMapa& f : MapaMemoria()) {
        const ValorCampo v = LeerCampo(f);
        i.campos << u"%1=%2/%3/%4/%5"_s.arg(QLatin1String(f.campo), v.texto).arg(v.indice).arg(v.marca).arg(v.textoCuentas);
    }
    i.mapa = QByteArray(reinterpret_cast<const char*>(MapaParametros), sizeof MapaParametros);
    i.base = QByteArray(reinterpret_cast<const char*>(ImagenBase().celda), sizeof ImagenBase().celda);
    for (int p = 0; p < Ventana().TabStrip1->count(); ++p)
        i.pestanas << Ventana().TabStrip1->tabText(p);
    i.pertenencia = ValoresVentana;
    return i;
}

// The frames that change a controller: parameter and segment writes.
int Escrituras(SimuladorQZL* sim)
{
    int n = TramasDeComando(sim, 2).size();
    for (int c = 131; c <= 134; ++c)
        n += TramasDeComando(sim, c).size();
    return n;
}

}  // namespace

class ComparacionPrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    // The demo controller with every address present, read into the window.
    void Leido(const EstadoSimulador& e = EstadoTodoPresente())
    {
        SimFijarEstado(sim.get(), e);
        CLeer_Click();
        QCOMPARE(ValoresVentana, PertenenciaValores::DelControlador);
        SimBorrarRegistro(sim.get());
        HistorialPanel1().clear();
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        sim = IniciarSimuladorPrueba(1, EstadoSimulador{});
        QVERIFY(sim);
        CrearVentanaPrueba();
    }
    void init()
    {
        ReiniciarEstadoPrueba();
        CodigoServicio = CodigoServicioFabrica;
        ContestarDialogos();
        SimFijarFallos(sim.get(), FallosSimulador{});
        SimFijarSorteo(sim.get(), nullptr);
        SimBorrarRegistro(sim.get());
        FijarPuerto(1);
        Ventana().chkVerificar->setChecked(false);
        CerrarDiferencias();
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
    }

    // A new installation has the box clear, and a tick is kept for the next start.
    void casillaGuardadaEnAjustes()
    {
        QSettings ajustes(u"QZL"_s, u"QZL"_s);
        QVERIFY(!ajustes.contains(u"Settings/VerifyAfterWrite"_s));
        CrearVentanaPrueba();
        QVERIFY(!Ventana().chkVerificar->isChecked());
        Ventana().chkVerificar->click();
        QCOMPARE(QSettings(u"QZL"_s, u"QZL"_s).value(u"Settings/VerifyAfterWrite"_s).toBool(), true);
        CrearVentanaPrueba();
        QVERIFY(Ventana().chkVerificar->isChecked());
        Ventana().chkVerificar->click();
        QCOMPARE(QSettings(u"QZL"_s, u"QZL"_s).value(u"Settings/VerifyAfterWrite"_s).toBool(), false);
        FijarPuerto(1);
    }

    // What a cell shows in the Differences window: the field's own text, and the raw cells
    // beside it when the field cannot show them as they are.
    void textoDeValor_data()
    {
        QTest::addColumn<int>("celda");
        QTest::addColumn<QList<int>>("valores");
        QTest::addColumn<QString>("texto");
        QTest::newRow("two-entry list, entry 1") << 55 << QList<int>{1} << u"24 hours ON"_s;
        QTest::newRow("two-entry list, value 3") << 55 << QList<int>{3} << u"24 hours ON (cell 55 holds 3)"_s;
        QTest::newRow("time 999") << 57 << QList<int>{3, 231} << u"999"_s;
        QTest::newRow("time above 999") << 57 << QList<int>{3, 232} << u"999 (cells 57-58 hold 1000)"_s;
        QTest::newRow("check box ticked") << 54 << QList<int>{1} << u"Ticked"_s;
        QTest::newRow("check box cell 3") << 54 << QList<int>{3} << u"Ticked (cell 54 holds 3)"_s;
        QTest::newRow("16-bit delay in tenths") << 28 << QList<int>{1, 44} << u"30.0"_s;
    }
    void textoDeValor()
    {
        QFETCH(int, celda);
        QFETCH(QList<int>, valores);
        QFETCH(QString, texto);
        ImagenParametros img;
        for (int i = 0; i < valores.size(); ++i)
            img.celda[celda + i] = valores[i];
        QCOMPARE(TextoValorCampo(*FilaDeCelda(celda), img), texto);
    }

    // The controller read into an image of its own: every difference listed with both
    // values, nothing written, and nothing of the window changed.
    void compararConControlador()
    {
        Leido();
        CLeerColores_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        SimBorrarRegistro(sim.get());
        EstadoSimulador e = SimEstado(sim.get());
        e.Celdas[28] = 1;   // delay lamp 1: 30.0 s
        e.Celdas[29] = 44;
        e.Celdas[55] = 3;   // a function mode the list cannot show
        e.Celdas[100] = uint8_t(e.Celdas[100] + 1);  // a cell no field shows
        FijarColorFila(e, 2, 0x123456);
        FijarEntradaTabla(e, 3, 5, 77);
        SimFijarEstado(sim.get(), e);
        const QString antes28 = Ventana().TTiempoLampara1->text();
        const QString antes55 = Ventana().cmbModofuncionamiento->currentText();
        const Instantanea ventana = Tomar();

        CompararConControlador(true);

        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(Escrituras(sim.get()), 0);
        QVERIFY(Tomar() == ventana);
        QCOMPARE(Filas(), QStringList({
            u"%1 | %2 | 30.0"_s.arg(Etiqueta(28), antes28),
            u"%1 | %2 | 24 hours ON (cell 55 holds 3)"_s.arg(Etiqueta(55), antes55),
            u"Cell 100 | %1 | %2"_s.arg(e.Celdas[100] - 1).arg(e.Celdas[100]),
            u"Row 3 | 5: %1 | 5: 77"_s.arg(TablaPautas[3][5]),
            u"Colour 2 | %1 | %2"_s.arg(TablaColores[2]).arg(0x123456),
        }));
        QTableWidget* t = TablaDiferencias();
        QCOMPARE(t->horizontalHeaderItem(2)->text(), u"Window"_s);
        QCOMPARE(t->horizontalHeaderItem(3)->text(), u"Controller"_s);
        // The summary counts what was looked at: every field, every cell without one, 8 rows and 8 colours.
        const QStringList n = Resumen().split(u' ');
        QCOMPARE(Resumen(), u"%1 compared, %2 equal, 5 different"_s.arg(n[0].toInt()).arg(n[0].toInt() - 5));
        QCOMPARE(FormularioDiferencias()->windowTitle(), u"Differences"_s);
        QVERIFY(FormularioDiferencias()->findChild<QLabel*>(u"lblSinDiferencias"_s)->isHidden());

        // What the compare showed is what a read of that controller shows.
        CLeer_Click();
        QCOMPARE(Ventana().TTiempoLampara1->text(), u"30.0"_s);
    }

    void sinDiferencias()
    {
        Leido();
        CompararConControlador(false);
        QCOMPARE(Filas(), QStringList());
        QVERIFY(!FormularioDiferencias()->findChild<QLabel*>(u"lblSinDiferencias"_s)->isHidden());
        QCOMPARE(FormularioDiferencias()->findChild<QLabel*>(u"lblSinDiferencias"_s)->text(), u"No differences"_s);
        QVERIFY(Resumen().endsWith(u", 0 different"_s));
        // Without the table, no segment is read.
        for (int c = 135; c <= 138; ++c)
            QCOMPARE(TramasDeComando(sim.get(), c).size(), 0);
    }

    // Fields on one side only: the window's map is not the controller's.
    void presenteEnUnLado()
    {
        EstadoSimulador e = EstadoTodoPresente();
        Leido(e);
        FijarPresente(e, 28, false);
        SimFijarEstado(sim.get(), e);
        CompararConControlador(false);
        QCOMPARE(Filas(), QStringList{u"%1 | %2 | not present"_s.arg(Etiqueta(28), Ventana().TTiempoLampara1->text())});
    }

    // A transfer that fails ends with its own text, shows no result, and leaves the window.
    void fallaDuranteComparacion_data()
    {
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("texto");
        QTest::newRow("presence byte 5") << 128 << 5 << u"Identification Error in data 5"_s;
        QTest::newRow("cell 37") << 1 << 37 << u"Reading Error in data 37"_s;
        QTest::newRow("segment 2 byte 10") << 136 << 10 << u"Reading Error in data 10"_s;
    }
    void fallaDuranteComparacion()
    {
        QFETCH(int, comando);
        QFETCH(int, indice);
        QFETCH(QString, texto);
        Leido();
        FallosRapidos();
        const Instantanea ventana = Tomar();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = uint8_t(comando);
        f.CallarIndice = uint8_t(indice);
        SimFijarFallos(sim.get(), f);
        CompararConControlador(true);
        QCOMPARE(TextoPanel1(), texto);
        QVERIFY(!FormularioDiferencias());
        QVERIFY(Tomar() == ventana);
    }

    void compararConArchivo()
    {
        Leido();
        ImagenParametros imagen = ImagenBase();
        imagen.celda[57] = 0;
        imagen.celda[58] = 45;
        int32_t colores[9];
        int32_t tabla[9][33];
        std::copy(TablaColores, TablaColores + 9, colores);
        std::copy(&TablaPautas[0][0], &TablaPautas[0][0] + 9 * 33, &tabla[0][0]);
        colores[8] = 0xABCDEF;
        const QString ruta = CarpetaPrueba() + u"/otro.qzl"_s;
        QString error;
        QVERIFY2(EscribirArchivoQZL(ruta, imagen, colores, tabla, error), qPrintable(error));
        const QString antes = Ventana().txtTiempoDe->text();

        CompararConArchivo(ruta, false);
        QCOMPARE(Filas(), QStringList{u"%1 | %2 | 45"_s.arg(Etiqueta(57), antes)});
        QCOMPARE(TablaDiferencias()->horizontalHeaderItem(3)->text(), u"File"_s);
        CompararConArchivo(ruta, true);
        QCOMPARE(Filas().size(), 2);
        QCOMPARE(Filas().last(), u"Colour 8 | %1 | %2"_s.arg(TablaColores[8]).arg(0xABCDEF));
        QCOMPARE(SimRegistro(sim.get()), QStringList());

        // A file that is no parameter file says why and shows nothing.
        CerrarDiferencias();
        QFile malo(CarpetaPrueba() + u"/malo.qzl"_s);
        QVERIFY(malo.open(QIODevice::WriteOnly));
        malo.write("x\r\n");
        malo.close();
        CompararConArchivo(malo.fileName(), false);
        QVERIFY(!FormularioDiferencias());
        QCOMPARE(MensajesMostrados().size(), 1);
    }

    // The button asks what with, and the box's tick is passed on.
    void botonPreguntaConQue()
    {
        Leido();
        QList<PeticionDialogo> vistas;
        FijarContestadorDialogos([&vistas](const PeticionDialogo& p) {
            vistas << p;
            RespuestaDialogo r;
            r.eleccion = 0;
            r.marcada = true;
            return r;
        });
        Ventana().CComparar->click();
        QCOMPARE(vistas.size(), 1);
        QCOMPARE(vistas[0].botones, QStringList({u"The controller on the selected port"_s, u"A parameter file"_s, u"Cancel"_s}));
        QCOMPARE(vistas[0].casilla, u"Include the flash table and colours"_s);
        QCOMPARE(TramasDeComando(sim.get(), 135).size(), 67 * 2);
        QVERIFY(FormularioDiferencias());
        ContestarDialogos();
    }

    void filasCopiables()
    {
        Leido();
        EstadoSimulador e = SimEstado(sim.get());
        const int v101 = ImagenBase().celda[101];
        e.Celdas[100] = uint8_t(ImagenBase().celda[100] + 1);
        e.Celdas[101] = uint8_t(v101 + 2);
        SimFijarEstado(sim.get(), e);
        CompararConControlador(false);
        QTableWidget* t = TablaDiferencias();
        QCOMPARE(t->rowCount(), 2);
        QVERIFY(!t->accessibleName().isEmpty());
        t->selectRow(1);
        t->setFocus();
        QTest::keySequence(t, QKeySequence::Copy);
        const QString texto = QApplication::clipboard()->text();
        QCOMPARE(texto, u"Page\tParameter\tWindow\tController\tUnit\n\tCell 101\t%1\t%2\t\n"_s.arg(v101).arg(v101 + 2));
    }

    // With the box clear a write reads nothing back and ends as always.
    void sinVerificarNoRelee()
    {
        Leido();
        FallosSimulador f;
        f.Almacen = FalloAlmacen::NoGuarda;
        SimFijarFallos(sim.get(), f);
        Ventana().TTiempoLampara1->setText(u"301"_s);
        CEscribir_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(TramasDeComando(sim.get(), 1).size(), 0);
        QVERIFY(!FormularioDiferencias());
    }

    void verificarTrasEscribir_data()
    {
        QTest::addColumn<int>("fallo");
        QTest::addColumn<int>("celda");      // the write frame the fault reaches; -1 every one it can
        QTest::addColumn<QString>("texto");  // panel 1 at the end; %1 the count of cells written
        QTest::addColumn<int>("filas");      // rows of the Differences window; -1 none shown
        QTest::newRow("sound controller") << int(FalloAlmacen::Ninguno) << -1 << u"%1 cells verified"_s << -1;
        QTest::newRow("cell 29 not stored") << int(FalloAlmacen::NoGuarda) << 29 << u"1 cells differ"_s << 1;
        QTest::newRow("cell 29 bit flipped") << int(FalloAlmacen::BitCambiado) << 29 << u"1 cells differ"_s << 1;
        QTest::newRow("cell 100 bit flipped") << int(FalloAlmacen::BitCambiado) << 100 << u"1 cells differ"_s << 1;
        QTest::newRow("some addresses") << int(FalloAlmacen::SoloAlgunas) << -1 << u"%1 cells differ"_s << -2;
        // A fault of the table's segments leaves the parameter cells alone.
        QTest::newRow("segment fault only") << int(FalloAlmacen::SegmentoNoGuardado) << -1 << u"%1 cells verified"_s << -1;
    }
    void verificarTrasEscribir()
    {
        QFETCH(int, fallo);
        QFETCH(int, celda);
        QFETCH(QString, texto);
        QFETCH(int, filas);
        Leido();
        // Something the controller does not hold yet, so that a write that is not kept shows.
        Ventana().TTiempoLampara1->setText(QString::number(Ventana().TTiempoLampara1->text().toDouble() + 7, 'f', 1));
        EstadoSimulador e = SimEstado(sim.get());
        e.Celdas[100] = uint8_t(e.Celdas[100] + 1);  // the write puts the window's back
        for (int a = 3; a < 256; a += 4)
            e.Celdas[size_t(a)] = uint8_t(e.Celdas[size_t(a)] ^ 0x40);
        SimFijarEstado(sim.get(), e);
        if (celda >= 0) {
            SimFijarSorteo(sim.get(), [fallo, celda](const Trama& t, int) {
                FalloTrama ft;
                if (t[4] == 2 && t[5] == celda) {
                    ft.Almacen = FalloAlmacen(fallo);
                    ft.Bit = 2;
                }
                return ft;
            });
        } else {
            FallosSimulador f;
            f.Almacen = FalloAlmacen(fallo);
            SimFijarFallos(sim.get(), f);
        }
        Ventana().chkVerificar->setChecked(true);
        CEscribir_Click();
        const QList<int> escritas = IndicesDeComando(sim.get(), 2);
        // Every cell written is read back once, in the write's order, after the last write.
        const QStringList registro = SimRegistro(sim.get());
        QCOMPARE(IndicesDeComando(sim.get(), 1), escritas);
        QVERIFY(ComandoDeRegistro(registro[escritas.size()]) == 1);
        int algunas = 0;
        for (int a : escritas)
            algunas += a % 4 == 3 ? 1 : 0;
        const QString esperado = !texto.contains(u"%1"_s) ? texto
            : texto.arg(texto.startsWith(u"%1 cells differ"_s) ? algunas : int(escritas.size()));
        QCOMPARE(TextoPanel1(), esperado);
        if (filas == -1) {
            QVERIFY(!FormularioDiferencias());
        } else {
            QVERIFY(FormularioDiferencias() && FormularioDiferencias()->isVisible());
            QCOMPARE(TablaDiferencias()->horizontalHeaderItem(2)->text(), u"Written"_s);
            QCOMPARE(TablaDiferencias()->horizontalHeaderItem(3)->text(), u"Read back"_s);
            if (filas > 0)
                QCOMPARE(TablaDiferencias()->rowCount(), filas);
            else
                QVERIFY(TablaDiferencias()->rowCount() > 1);
        }
    }

    // A read-back that gets no reply says so and names the address.
    void relecturaFallida()
    {
        Leido();
        FallosRapidos();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 1;
        f.CallarIndice = 40;
        SimFijarFallos(sim.get(), f);
        Ventana().chkVerificar->setChecked(true);
        CEscribir_Click();
        QCOMPARE(TextoPanel1(), u"Read-back failed at address 40"_s);
        QVERIFY(!FormularioDiferencias());
    }

    void verificarColores_data()
    {
        QTest::addColumn<double>("proporcion");  // of the segment writes not stored
        QTest::addColumn<bool>("difieren");
        QTest::newRow("sound") << 0.0 << false;
        QTest::newRow("some bytes not stored") << 0.2 << true;
    }
    void verificarColores()
    {
        QFETCH(double, proporcion);
        QFETCH(bool, difieren);
        Leido();
        EstadoSimulador e = SimEstado(sim.get());
        for (auto& s : e.Segmentos)
            for (uint8_t& b : s)
                b = uint8_t(b ^ 0x5A);
        SimFijarEstado(sim.get(), e);
        FallosSimulador f;
        f.Almacen = FalloAlmacen::SegmentoNoGuardado;
        f.ProporcionAlmacen = proporcion;
        SimFijarFallos(sim.get(), f);
        Ventana().chkVerificar->setChecked(true);
        CEscribirColores_Click();
        const EstadoSimulador despues = SimEstado(sim.get());
        int distintos = 0;
        const int32_t* colores = TablaColores;
        for (int s = 1; s <= SegmentosPautas; ++s) {
            const BytesSegmento enviados = CodificarSegmento(s, colores, TablaPautas);
            for (const MitadSegmento& m : MitadesSegmento)
                for (int o = m.primera; o <= m.ultima; ++o)
                    distintos += despues.Segmentos[size_t(s - 1)][size_t(o)] != enviados[size_t(o)] ? 1 : 0;
        }
        QCOMPARE(distintos > 0, difieren);
        QCOMPARE(TextoPanel1(), difieren ? u"%1 cells differ"_s.arg(distintos) : u"536 cells verified"_s);
        QCOMPARE(FormularioDiferencias() != nullptr, difieren);
        for (int c = 135; c <= 138; ++c)
            QCOMPARE(TramasDeComando(sim.get(), c).size(), 67 * 2);
    }
};

QTEST_MAIN(ComparacionPrueba)
#include "tst_comparacion.moc"
