// Controllers whose replies carry the answer in byte 6 and anything around it: with or
// without the "K" "X" header (and 4B 58 later in the reply), repeating command and index,
// the command only (with 0, the answer or a fixed byte beside it), or nothing at all.
// Every operation of the window runs against each shape: every frame goes out once and
// every value arrives right. And a late reply is still never taken for another frame's.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Colores.h"
#include "flash/PaginaEstado.h"
#include "flash/Pautas.h"
#include "flash/ValoresInstantaneos.h"
#include "link/Comandos.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FormaRespuesta)

namespace {

// A controller with every address present whose cells provoke each shape's pitfalls:
// 75 = 88 and 237 = "K" put 4B 58 inside a reply without header (00 FF 00 00 01 4B 58 ..
// and .. 01 ED 4B 58); 100 to 102 hold their own addresses, so a controller that puts the
// answer in byte 5 repeats command and index three times in a row by chance.
EstadoSimulador Controlador()
{
    EstadoSimulador e = EstadoTodoPresente();
    e.Celdas[75] = 88;
    e.Celdas[237] = 'K';
    for (int a = 100; a <= 102; ++a)
        e.Celdas[size_t(a)] = uint8_t(a);
    e.Estado0 = 0x05;
    e.Estado1 = 0x21;
    e.CorrienteActual = 1234;
    e.VelocidadActual = 4321;
    e.CorrienteLeds = 777;
    e.Entradas = 0xA5;
    e.Salidas = 0x3C;
    e.Salidas9a11 = 0x05;
    for (int s = 0; s < 4; ++s)
        for (int o = 0; o < 256; ++o)
            e.Segmentos[size_t(s)][size_t(o)] = uint8_t((s * 67 + o * 13 + 1) & 0xFF);
    return e;
}

// The frames on the wire since the log was cleared, as "command/index".
QStringList Ordenes(SimuladorQZL* sim)
{
    QStringList o;
    for (const QString& l : SimRegistro(sim))
        o.append(ComandoDeRegistro(l) < 0 ? l : u"%1/%2"_s.arg(ComandoDeRegistro(l)).arg(IndiceDeRegistro(l)));
    return o;
}

QStringList Esperadas(int comando, const QList<int>& indices)
{
    QStringList o;
    for (const int i : indices)
        o.append(u"%1/%2"_s.arg(comando).arg(i));
    return o;
}

QList<int> Rango(int desde, int hasta)
{
    QList<int> l;
    for (int i = desde; i <= hasta; ++i)
        l.append(i);
    return l;
}

QList<int> OffsetsSegmento()
{
    return Rango(0, 66) + Rango(128, 194);
}

}  // namespace

class tst_formasrespuesta : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    void Forma(FormaRespuesta forma)
    {
        FallosSimulador f;
        f.Forma = forma;
        SimFijarFallos(sim.get(), f);
        SimBorrarRegistro(sim.get());
        HistorialPanel1().clear();
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FactorEsperas = 0.05;  // the start-up's port test finds no port here
        CrearVentanaPrueba();
        FijarTablaIdioma(TablaIngles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        sim = IniciarSimuladorPrueba(1, Controlador());
        QVERIFY(sim);
        ContestarDialogos();
    }
    void init()
    {
        ReiniciarEstadoPrueba();
        SimFijarEstado(sim.get(), Controlador());
        FijarPuerto(1);
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
    }

    void cadaOperacion_data()
    {
        QTest::addColumn<FormaRespuesta>("forma");
        for (const FormaRespuesta forma : FormasRespuesta)
            QTest::newRow(NombreForma(forma)) << forma;
    }

    void cadaOperacion()
    {
        QFETCH(FormaRespuesta, forma);
        const EstadoSimulador antes = Controlador();
        Ui::frmMain& v = Ventana();

        // Read: the 32 presence bytes, then every present address, each once.
        Forma(forma);
        CLeer_Click();
        // The changer list's handler may say "Changes pending record" after "Ended".
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QStringList esperadas = Esperadas(128, Rango(0, 31)) + Esperadas(1, Rango(0, 255));
        QCOMPARE(Ordenes(sim.get()), esperadas);
        for (int a = 0; a < 256; ++a)
            QVERIFY2(ImagenBase().celda[a] == antes.Celdas[size_t(a)], qPrintable(u"cell %1"_s.arg(a)));
        QVERIFY(ValoresVentana == PertenenciaValores::DelControlador);

        // Write, after one field was typed into: that field's cells change, no other.
        Forma(forma);
        v.TVelocidadUsuario1->setText(u"2.5"_s);
        CEscribir_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QStringList escritura;
        for (int a = 0; a < 256; ++a)
            if (a < 247 || a > 253)
                escritura.append(u"2/%1"_s.arg(a));
        QCOMPARE(Ordenes(sim.get()), escritura);
        EstadoSimulador escrito = antes;
        escrito.Celdas[0] = 0x00;  // 2.5 as 25000
        escrito.Celdas[1] = 0x61;
        escrito.Celdas[2] = 0xA8;
        QCOMPARE(SimEstado(sim.get()).Celdas, escrito.Celdas);

        // Colour write: the window's table and colours into the four segments.
        Forma(forma);
        for (int r = 1; r <= 8; ++r) {
            TablaColores[r] = 0x010203 * r;
            for (int c = 1; c <= 32; ++c)
                TablaPautas[r][c] = c <= r ? (r * 40 + c) % 360 : EntradaVacia;
        }
        RellenarColores();
        RedibujaGrid();
        CEscribirColores_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        esperadas.clear();
        for (int s = 1; s <= 4; ++s)
            esperadas += Esperadas(130 + s, OffsetsSegmento());
        QCOMPARE(Ordenes(sim.get()), esperadas);
        const EstadoSimulador tras = SimEstado(sim.get());
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(int(ColorFila(tras, r)), TablaColores[r]);
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(int(EntradaTabla(tras, r, c)), TablaPautas[r][c]);
        }

        // Colour read: back from the controller's segments.
        SimFijarEstado(sim.get(), antes);
        Forma(forma);
        CLeerColores_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        esperadas.clear();
        for (int s = 1; s <= 4; ++s)
            esperadas += Esperadas(134 + s, OffsetsSegmento());
        QCOMPARE(Ordenes(sim.get()), esperadas);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(TablaColores[r], int32_t(ColorFila(antes, r)));
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(TablaPautas[r][c], int32_t(EntradaTabla(antes, r, c)));
        }

        // Status and measured values.
        Forma(forma);
        for (QCheckBox* c : {v.chkEstado, v.chkCorrienteActual, v.chkVelocidadActual, v.chkCorrienteLeds})
            c->setChecked(true);
        CInterrogar_Click();
        QCOMPARE(TextoPanel1(), u"End check"_s);
        QCOMPARE(Ordenes(sim.get()), Esperadas(5, Rango(0, 7)));
        QCOMPARE(v.TCorrienteActual->text(), TextoMedida(1234));
        QCOMPARE(v.TVelocidadActual->text(), TextoMedida(4321));
        QCOMPARE(v.txtCorrienteLeds->text(), TextoMedida(777));
        QVERIFY(!v.LedOn->isHidden() && v.LedOff->isHidden());  // status byte 0, bit 0

        // Live values: inputs, outputs 1 to 8 and 9 to 11.
        Forma(forma);
        btnVerValoresInstantaneos_Click();
        QCOMPARE(TextoPanel1(), u"End check"_s);
        QCOMPARE(Ordenes(sim.get()), Esperadas(5, {8, 9, 10}));
        for (int k = 1; k <= 8; ++k) {
            QCOMPARE(lblExterna(k)->text(), (0xA5 >> (k - 1)) & 1 ? u"ON"_s : u"OFF"_s);
            QCOMPARE(lblSalida(k)->text(), (0x3C >> (k - 1)) & 1 ? u"ON"_s : u"OFF"_s);
        }
        for (int k = 9; k <= 11; ++k)
            QCOMPARE(lblSalida(k)->text(), (0x05 >> (k - 9)) & 1 ? u"ON"_s : u"OFF"_s);

        // A direct command.
        Forma(forma);
        CDia_Click();
        QCOMPARE(TextoPanel1(), u" QZL is in day mode"_s);
        QCOMPARE(Ordenes(sim.get()), QStringList{u"6/1"_s});
    }

    // The first try of every frame is answered late and its retry in time: whatever the
    // shape, the late reply that comes while the next frame waits is not taken as its
    // answer, and a retry is the only frame sent twice.
    void respuestaTardiaConCadaForma_data()
    {
        cadaOperacion_data();
    }

    void respuestaTardiaConCadaForma()
    {
        QFETCH(FormaRespuesta, forma);
        FactorEsperas = 0.1;  // a 200 ms reply limit, 110 ms of grace
        SimAplicar(sim.get(), "cell 0 0\ncell 1 48\ncell 2 212\ncell 3 7\ncell 4 0x4B\ncell 5 0x58");
        FallosSimulador f;
        f.Forma = forma;
        f.RetrasoPrimerIntentoMs = EsperaMs(2000) * 13 / 10;
        SimFijarFallos(sim.get(), f);
        SimBorrarRegistro(sim.get());
        QVERIFY(AbrirCom());
        const int esperado[] = {0, 48, 212, 7, 0x4B, 0x58};
        for (int celda = 0; celda < 6; ++celda) {
            ComandoQZL c{};
            c.Comando = 1;
            c.Indice = uint8_t(celda);
            const RespuestaQZL r = EnviarComando(c);
            QCOMPARE(r.Estado, EstadoRespuesta);
            QCOMPARE(int(r.Dato), esperado[celda]);
        }
        CerrarCom();
        QStringList dobles;
        for (int celda = 0; celda < 6; ++celda)
            dobles << u"1/%1"_s.arg(celda) << u"1/%1"_s.arg(celda);
        QCOMPARE(Ordenes(sim.get()), dobles);
        // The grace of the last frame would hold up the next test's first frame.
        QTest::qWait(EsperaMs(3200));
    }
};

QTEST_MAIN(tst_formasrespuesta)
#include "tst_formasrespuesta.moc"
