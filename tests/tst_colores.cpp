// Row colours, their labels and the transfer of the flash table to and from the
// controller simulator; the colour preview window.
#include "app/ModuloKX.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "flash/FormDibujo.h"
#include "flash/Pautas.h"
#include "link/Puerto.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTableWidget>
#include <QtTest>

#include <set>

using namespace Qt::StringLiterals;

// Every frame of the wire log as (command, index, data).
struct Trama3 {
    int comando, indice, dato;
};
static QList<Trama3> Tramas(SimuladorQZL* sim)
{
    QList<Trama3> t;
    for (const QString& linea : SimRegistro(sim)) {
        const QStringList b = linea.split(QLatin1Char(' '));
        if (b.size() != 8 || b[0] != QLatin1String("4B"))
            continue;
        t.append({b[4].toInt(nullptr, 16), b[5].toInt(nullptr, 16), b[6].toInt(nullptr, 16)});
    }
    return t;
}

// Frame 200 of a transfer answered 300 ms late: time to act while it waits.
static void ResponderTardeALaTrama200(SimuladorQZL* sim)
{
    SimFijarSorteo(sim, [](const Trama&, int numero) {
        FalloTrama f;
        if (numero == 200) {
            f.tipo = FalloTrama::Tarde;
            f.Ms = 300;
        }
        return f;
    });
}

// Bytes that no transfer touches, so that a stray frame would show.
static EstadoSimulador ControladorMarcado()
{
    EstadoSimulador e = EstadoDemo();
    for (auto& segmento : e.Segmentos)
        segmento.fill(0xA5);
    return e;
}

static void EscribirTablaEnVentana(const int32_t colores[9], const int32_t tabla[9][33])
{
    for (int r = 1; r <= 8; ++r) {
        TablaColores[r] = colores[r];
        for (int c = 1; c <= 32; ++c)
            TablaPautas[r][c] = tabla[r][c];
    }
    RellenarColores();
    RedibujaGrid();
}

// A cell clicked as a user clicks it.
static void ClicCelda(int fila, int columna)
{
    QTableWidget* g = Ventana().MSFlexGridPautas;
    g->scrollToItem(g->item(fila - 1, columna - 1));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->visualItemRect(g->item(fila - 1, columna - 1)).center());
}

// The controls that change the table, with their state: "MSFlexGridPautas on", "LColor_3 off".
static QStringList ControlesDeLaTabla()
{
    QList<QWidget*> controles{Ventana().MSFlexGridPautas, Ventana().CBorrarTabla};
    for (int i = 1; i <= 8; ++i)
        controles << LColor(i);
    QStringList estado;
    for (const QWidget* w : controles)
        estado << w->objectName() + (w->isEnabled() ? u" on"_s : u" off"_s);
    return estado;
}
static QStringList ControlesDeLaTabla(bool activos)
{
    QStringList estado = ControlesDeLaTabla();
    for (QString& e : estado)
        e = e.section(u' ', 0, 0) + (activos ? u" on"_s : u" off"_s);
    return estado;
}

// What could change the table while a colour transfer runs: a user's edit in the grid,
// "Borrar Tabla", a colour chosen, a file opened; and the table changed in memory by
// anything else.
enum CambioTabla { TeclearCelda, BorrarTabla, ElegirColor, AbrirArchivo, CambioEnMemoria };
static const QColor ColorElegido(1, 2, 3);

static QString ArchivoOtraTabla()
{
    return CarpetaPrueba() + u"/otra tabla.qzl"_s;
}

static void Cambiar(int cambio)
{
    switch (cambio) {
    case TeclearCelda:
        // Typing appends: the cell's three digits go first.
        ClicCelda(8, 32);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(Ventana().MSFlexGridPautas, Qt::Key_Backspace);
        QTest::keyClicks(Ventana().MSFlexGridPautas, u"123"_s);
        ClicCelda(1, 1);
        break;
    case BorrarTabla:
        QTest::mouseClick(Ventana().CBorrarTabla, Qt::LeftButton);
        break;
    case ElegirColor:
        ContestarDialogos(QString(), ColorElegido);
        QTest::mouseClick(LColor(3), Qt::LeftButton);
        break;
    case AbrirArchivo:
        ContestarDialogos(ArchivoOtraTabla());
        QTest::mouseClick(Ventana().CAbrir, Qt::LeftButton);
        break;
    case CambioEnMemoria:
        TablaPautas[8][32] = 5;
        TablaColores[7] = 77;
        break;
    }
}

class tst_colores : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

private slots:
    // One window for the whole file (its start-up calibrates for a second); each test
    // starts with the start-up's grid and labels.
    void initTestCase()
    {
        FactorEsperas = 0.05;  // the start-up's port test finds no port here
        CrearVentanaPrueba();
    }
    void init()
    {
        if (!FormPrincipal())
            CrearVentanaPrueba();
        ReiniciarEstadoPrueba();
        ContestarDialogos();
        FormatearGrid();
        BorrarDatosGrid();
        for (int i = 1; i <= 8; ++i) {
            TablaColores[i] = 0;
            FijarTextoLColor(i, i);
        }
    }
    void cleanup()
    {
        CerrarCom();
        sim.reset();
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    void codigosDeColor()
    {
        QCOMPARE(CodigoDeColor(QColor(30, 20, 10)), 660510);
        QCOMPARE(ColorDeCodigo(660510), QColor(30, 20, 10));
        QCOMPARE(CodigoDeColor(Qt::red), 255);
        QCOMPARE(TextoProgresoSegmento(2, 3, 7), QStringLiteral(" 2 - 003 - 007"));
        QCOMPARE(TextoProgresoSegmento(4, 194, 255), QStringLiteral(" 4 - 194 - 255"));
    }

    void elegirColor()
    {
        // Captions start as the label numbers.
        for (int i = 1; i <= 8; ++i)
            QCOMPARE(LColor(i)->text(), QString::number(i));
        ContestarDialogos(QString(), QColor(Qt::red));
        QTest::mouseClick(LColor(4), Qt::LeftButton);
        QCOMPARE(DialogosMostrados().last().tipo, PeticionDialogo::Color);
        QCOMPARE(LColor(4)->text(), QStringLiteral("255"));
        QCOMPARE(LColor(4)->accessibleDescription(), QStringLiteral("255"));
        QCOMPARE(TablaColores[4], 255);
        QCOMPARE(FondoCeldaPautas(4, 0), QColor(Qt::red));

        // The chooser starts on the row's colour; cancelling changes nothing.
        ContestarDialogos();
        LColor_Click(4);
        QCOMPARE(DialogosMostrados().last().inicial, QColor(Qt::red));
        QCOMPARE(LColor(4)->text(), QStringLiteral("255"));
        QCOMPARE(TablaColores[4], 255);
        QCOMPARE(FondoCeldaPautas(4, 0), QColor(Qt::red));
        LColor_Click(6);
        QCOMPARE(LColor(6)->text(), QStringLiteral("6"));
        QCOMPARE(TablaColores[6], 0);
        QCOMPARE(FondoCeldaPautas(6, 0), Ventana().MSFlexGridPautas->palette().color(QPalette::Button));
    }

    void escribir()
    {
        sim = IniciarSimuladorPrueba(1, ControladorMarcado());
        QVERIFY(sim);
        ContestarDialogos(QString(), QColor(30, 20, 10));
        LColor_Click(1);
        QCOMPARE(LColor(1)->text(), QStringLiteral("660510"));
        QTest::keyClicks(Ventana().MSFlexGridPautas, QStringLiteral("45"));
        FijarCeldaActualPautas(1, 2);
        QCOMPARE(TablaPautas[1][1], 45);
        TablaPautas[2][32] = 300;
        TablaPautas[3][1] = 7 * 256 + 1;
        // The captions are the source of the colours, whatever the table holds.
        TablaColores[5] = 999;

        QTest::mouseClick(Ventana().CEscribirColores, Qt::LeftButton);

        QCOMPARE(HistorialPanel1().first(), QStringLiteral("Segments transmision"));
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QVERIFY(HistorialPanel1().contains(QStringLiteral(" 1 - 000 - 010")));
        QVERIFY(HistorialPanel1().contains(QStringLiteral(" 2 - 003 - 007")));
        QCOMPARE(PitidosDados(), 0);
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CLeer->isEnabled());

        const QList<Trama3> t = Tramas(sim.get());
        QCOMPARE(t.size(), 4 * 134);
        // Segment 1 starts with the colour of row 1 and entry (1, 1).
        const int esperado[5][2] = {{0, 10}, {1, 20}, {2, 30}, {3, 0}, {4, 45}};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(t[i].comando, 131);
            QCOMPARE(t[i].indice, esperado[i][0]);
            QCOMPARE(t[i].dato, esperado[i][1]);
        }
        for (const Trama3& f : t) {
            QVERIFY(f.comando >= 131 && f.comando <= 134);
            QVERIFY2((f.indice >= 0 && f.indice <= 66) || (f.indice >= 128 && f.indice <= 194),
                     qPrintable(QString::number(f.indice)));
        }

        const EstadoSimulador e = SimEstado(sim.get());
        const auto& s1 = e.Segmentos[0];
        QCOMPARE(s1[193], uint8_t(1));
        QCOMPARE(s1[194], uint8_t(44));
        QCOMPARE(ColorFila(e, 1), 660510u);
        QCOMPARE(EntradaTabla(e, 1, 1), uint16_t(45));
        QCOMPARE(EntradaTabla(e, 1, 2), uint16_t(511));  // an empty entry travels as 1, 255
        QCOMPARE(s1[5], uint8_t(1));
        QCOMPARE(s1[6], uint8_t(255));
        // Never-chosen colours go as their label numbers: row 5 as 0, 0, 5.
        const auto& s3 = e.Segmentos[2];
        QCOMPARE(s3[0], uint8_t(0));
        QCOMPARE(s3[1], uint8_t(0));
        QCOMPARE(s3[2], uint8_t(5));
        QCOMPARE(TablaColores[5], 5);
        QCOMPARE(ColorFila(e, 8), 8u);
        // Offsets 67 to 127 and 195 to 255 keep what the controller had.
        for (const auto& seg : e.Segmentos)
            for (int o = 0; o < 256; ++o)
                if ((o >= 67 && o <= 127) || o >= 195)
                    QCOMPARE(seg[o], uint8_t(0xA5));
    }

    void escribirConFallo()
    {
        sim = IniciarSimuladorPrueba(1, ControladorMarcado());
        QVERIFY(sim);
        FallosRapidos();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 132;
        f.CallarIndice = 10;
        SimFijarFallos(sim.get(), f);

        CEscribirColores_Click();

        QVERIFY(HistorialPanel1().contains(QStringLiteral("Reading Error in data 10")));
        QCOMPARE(PitidosDados(), 1);
        QCOMPARE(TextoPanel1(), QStringLiteral("Writing Error in data 10"));
        QVERIFY(!MSCommDestellador().isOpen());
        // The rest of that half is skipped; the other half and the later segments are sent.
        std::set<std::pair<int, int>> enviados;
        for (const Trama3& t : Tramas(sim.get()))
            enviados.insert({t.comando, t.indice});
        for (int o = 0; o <= 9; ++o)
            QVERIFY(enviados.count({132, o}));
        for (int o = 11; o <= 66; ++o)
            QVERIFY(!enviados.count({132, o}));
        for (int o = 128; o <= 194; ++o)
            QVERIFY(enviados.count({132, o}));
        for (int s = 133; s <= 134; ++s)
            for (int o : {0, 66, 128, 194})
                QVERIFY(enviados.count({s, o}));
        const EstadoSimulador e = SimEstado(sim.get());
        QCOMPARE(e.Segmentos[1][10], uint8_t(0xA5));
        QCOMPARE(e.Segmentos[1][11], uint8_t(0xA5));
        QCOMPARE(ColorFila(e, 8), 8u);
    }

    // A whole table read from the controller is shown, and written back it gives the
    // controller the same bytes.
    void leerYVolverAEscribir()
    {
        EstadoSimulador origen = ControladorMarcado();
        QRandomGenerator azar(7);
        for (int r = 1; r <= 8; ++r) {
            FijarColorFila(origen, r, azar.bounded(1 << 24));
            for (int c = 1; c <= 32; ++c)
                FijarEntradaTabla(origen, r, c, static_cast<uint16_t>(azar.bounded(360)));
        }
        for (int c = 1; c <= 32; ++c)
            FijarEntradaTabla(origen, 3, c, 511);
        FijarEntradaTabla(origen, 5, 5, 400);
        FijarEntradaTabla(origen, 8, 32, 65535);
        sim = IniciarSimuladorPrueba(1, origen);
        QVERIFY(sim);

        QTest::mouseClick(Ventana().CLeerColores, Qt::LeftButton);
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QVERIFY(HistorialPanel1().contains(TextoProgresoSegmento(1, 0, origen.Segmentos[0][0])));
        QVERIFY(Ventana().CLeer->isEnabled());
        QVERIFY(Ventana().CGuardar->isEnabled());
        QCOMPARE(Tramas(sim.get()).size(), 4 * 134);
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(TablaColores[r], static_cast<int32_t>(ColorFila(origen, r)));
            QCOMPARE(LColor(r)->text(), QString::number(ColorFila(origen, r)));
            QCOMPARE(FondoCeldaPautas(r, 0), ColorDeCodigo(TablaColores[r]));
            for (int c = 1; c <= 32; ++c) {
                QCOMPARE(TablaPautas[r][c], static_cast<int32_t>(EntradaTabla(origen, r, c)));
                QCOMPARE(TextoCeldaPautas(r, c), TextoEntradaPautas(TablaPautas[r][c]));
            }
        }
        for (int c = 1; c <= 32; ++c)
            QCOMPARE(TextoCeldaPautas(3, c), QString());
        QCOMPARE(TextoCeldaPautas(5, 5), QString());

        EstadoSimulador vacio;
        SimFijarEstado(sim.get(), vacio);
        CEscribirColores_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        const EstadoSimulador escrito = SimEstado(sim.get());
        for (int s = 0; s < 4; ++s)
            for (const MitadSegmento& m : MitadesSegmento)
                for (int o = m.primera; o <= m.ultima; ++o)
                    QCOMPARE(escrito.Segmentos[s][o], origen.Segmentos[s][o]);
    }

    // A read with a failed byte changes nothing and says where it failed.
    void leerConFallo()
    {
        int32_t colores[9] = {};
        int32_t tabla[9][33] = {};
        for (int r = 1; r <= 8; ++r) {
            colores[r] = r * 1000;
            for (int c = 1; c <= 32; ++c)
                tabla[r][c] = (r * 11 + c) % 360;
        }
        EscribirTablaEnVentana(colores, tabla);
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        FallosRapidos();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 136;
        f.CallarIndice = 130;
        SimFijarFallos(sim.get(), f);

        CLeerColores_Click();

        QCOMPARE(TextoPanel1(), QStringLiteral("Reading Error in data 130"));
        QCOMPARE(PitidosDados(), 1);
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Ended")));
        QVERIFY(Ventana().CAbrir->isEnabled());
        QVERIFY(!MSCommDestellador().isOpen());
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(TablaColores[r], colores[r]);
            QCOMPARE(LColor(r)->text(), QString::number(colores[r]));
            for (int c = 1; c <= 32; ++c) {
                QCOMPARE(TablaPautas[r][c], tabla[r][c]);
                QCOMPARE(TextoCeldaPautas(r, c), TextoEntradaPautas(tabla[r][c]));
            }
        }
    }

    void puertoNoDisponible()
    {
        EnlaceRoto(1);
        FijarPuerto(1);
        NumeroPuerto = 1;
        TablaPautas[1][1] = 45;
        CLeerColores_Click();
        QCOMPARE(TextoPanel1(), TextoPuertoNoDisponible(1));
        QCOMPARE(TablaPautas[1][1], 45);
        QVERIFY(Ventana().CLeer->isEnabled());
        CEscribirColores_Click();
        QCOMPARE(TextoPanel1(), TextoPuertoNoDisponible(1));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Ended")));
        QCOMPARE(PitidosDados(), 0);
        QuitarEnlace(1);
    }

    // The window closed in the middle of a transfer. A read stops: there is no grid left
    // to fill. A write goes on to the last byte, as the parameter write does, with the
    // window waiting for it; then the window goes (the details are in tst_cierre).
    void cerrarLaVentanaDuranteLaTransferencia_data()
    {
        QTest::addColumn<bool>("escribir");
        QTest::newRow("leer") << false;
        QTest::newRow("escribir") << true;
    }
    void cerrarLaVentanaDuranteLaTransferencia()
    {
        QFETCH(bool, escribir);
        sim = IniciarSimuladorPrueba(1, ControladorMarcado());
        QVERIFY(sim);
        CerrarVentanaDurante([&] { return SimTramasRecibidas(sim.get()) >= 40; },
                             escribir ? CEscribirColores_Click : CLeerColores_Click);
        QTRY_VERIFY(!FormPrincipal());
        QVERIFY(!MSCommDestellador().isOpen());
        const int tramas = Tramas(sim.get()).size();
        if (escribir) {
            QCOMPARE(tramas, 4 * 134);
            QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        } else {
            QVERIFY(tramas < 4 * 134);
            QVERIFY(!HistorialPanel1().contains(QStringLiteral("Ended")));
        }
    }

    // A change tried while frame 200 of a colour write waits for its late reply never
    // reaches the controller: it gets the table as it stood when the write began, which
    // is what the window still shows. The controls that change the table are locked
    // meanwhile (the file and transfer buttons stay as they are) and come back after.
    void cambiosDuranteLaEscritura_data()
    {
        QTest::addColumn<int>("cambio");
        QTest::newRow("cell typed") << int(TeclearCelda);
        QTest::newRow("Borrar Tabla") << int(BorrarTabla);
        QTest::newRow("colour chosen") << int(ElegirColor);
        QTest::newRow("file opened") << int(AbrirArchivo);
        QTest::newRow("table changed in memory") << int(CambioEnMemoria);
    }
    void cambiosDuranteLaEscritura()
    {
        QFETCH(int, cambio);
        int32_t colores[9] = {};
        int32_t tabla[9][33] = {};
        int32_t otrosColores[9] = {};
        int32_t otraTabla[9][33] = {};
        for (int r = 1; r <= 8; ++r) {
            colores[r] = r * 1111;
            otrosColores[r] = r * 7;
            for (int c = 1; c <= 32; ++c) {
                tabla[r][c] = (r * 37 + c * 11) % 360;
                otraTabla[r][c] = c <= 2 ? (r + c) : EntradaVacia;
            }
        }
        EscribirTablaEnVentana(colores, tabla);
        QFile archivo(ArchivoOtraTabla());
        QVERIFY(archivo.open(QIODevice::WriteOnly));
        archivo.write(TextoArchivoQZL(ImagenParametros{}, otrosColores, otraTabla));
        archivo.close();
        sim = IniciarSimuladorPrueba(1, ControladorMarcado());
        QVERIFY(sim);
        ResponderTardeALaTrama200(sim.get());
        bool hecho = false;
        QStringList controlesDurante;
        bool botonesDurante = false;
        QTimer vigia;
        connect(&vigia, &QTimer::timeout, this, [&] {
            if (hecho || SimTramasRecibidas(sim.get()) <= 200)
                return;
            hecho = true;
            controlesDurante = ControlesDeLaTabla();
            Ui::frmMain& v = Ventana();
            botonesDurante = v.CAbrir->isEnabled() && v.CGuardar->isEnabled() && v.CLeer->isEnabled()
                             && v.CEscribir->isEnabled() && v.CLeerColores->isEnabled()
                             && v.CEscribirColores->isEnabled();
            Cambiar(cambio);
        });
        vigia.start(1);
        QTest::mouseClick(Ventana().CEscribirColores, Qt::LeftButton);
        vigia.stop();

        QVERIFY(hecho);
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(Tramas(sim.get()).size(), 4 * 134);
        for (const PeticionDialogo& p : DialogosMostrados())
            QVERIFY(p.tipo != PeticionDialogo::Color && p.tipo != PeticionDialogo::AbrirArchivo);
        const EstadoSimulador e = SimEstado(sim.get());
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(ColorFila(e, r), uint32_t(colores[r]));
            for (int c = 1; c <= 32; ++c)
                QCOMPARE(int(EntradaTabla(e, r, c)), tabla[r][c]);
        }
        QCOMPARE(controlesDurante, ControlesDeLaTabla(false));
        QVERIFY(botonesDurante);
        QCOMPARE(ControlesDeLaTabla(), ControlesDeLaTabla(true));
        if (cambio == CambioEnMemoria)
            return;
        // The window shows what was sent.
        for (int r = 1; r <= 8; ++r) {
            QCOMPARE(LColor(r)->text(), QString::number(colores[r]));
            QCOMPARE(TablaColores[r], colores[r]);
            for (int c = 1; c <= 32; ++c) {
                QCOMPARE(TablaPautas[r][c], tabla[r][c]);
                QCOMPARE(TextoCeldaPautas(r, c), TextoEntradaPautas(tabla[r][c]));
            }
        }

        // Once the write is over, the same change does what it always does.
        Cambiar(cambio);
        switch (cambio) {
        case TeclearCelda:
            QCOMPARE(TablaPautas[8][32], 123);
            break;
        case BorrarTabla:
            QCOMPARE(TablaPautas[1][1], EntradaVacia);
            QCOMPARE(TextoCeldaPautas(1, 1), QString());
            break;
        case ElegirColor:
            QCOMPARE(TablaColores[3], CodigoDeColor(ColorElegido));
            QCOMPARE(LColor(3)->text(), QString::number(CodigoDeColor(ColorElegido)));
            break;
        case AbrirArchivo:
            QCOMPARE(TablaPautas[1][1], otraTabla[1][1]);
            QCOMPARE(TablaPautas[8][32], EntradaVacia);
            QCOMPARE(LColor(1)->text(), QString::number(otrosColores[1]));
            break;
        default:
            break;
        }
    }

    // A colour read locks the same controls; a colour clicked meanwhile opens no chooser.
    void bloqueoDuranteLaLectura()
    {
        sim = IniciarSimuladorPrueba(1, ControladorMarcado());
        QVERIFY(sim);
        ResponderTardeALaTrama200(sim.get());
        QStringList controlesDurante;
        QTimer vigia;
        connect(&vigia, &QTimer::timeout, this, [&] {
            if (!controlesDurante.isEmpty() || SimTramasRecibidas(sim.get()) <= 200)
                return;
            controlesDurante = ControlesDeLaTabla();
            Cambiar(ElegirColor);
        });
        vigia.start(1);
        QTest::mouseClick(Ventana().CLeerColores, Qt::LeftButton);
        vigia.stop();
        QCOMPARE(controlesDurante, ControlesDeLaTabla(false));
        QVERIFY(DialogosMostrados().isEmpty());
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QCOMPARE(ControlesDeLaTabla(), ControlesDeLaTabla(true));
    }

    void vistaPrevia()
    {
        ContestarDialogos(QString(), QColor(0, 0, 255));
        LColor_Click(1);
        QTest::mouseClick(Ventana().Command2, Qt::LeftButton);
        QPointer<FormDibujo> f = FormularioDibujo();
        QVERIFY(f->isVisible());
        QVERIFY(!f->isModal());
        QCOMPARE(f->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(f->ScaleWidth(), 5865.0);
        QCOMPARE(f->ScaleHeight(), 4650.0);
        // Centre (2932.5, 2325) twips; radii 100 and 1500 in blue, 500 in black.
        const QImage img = f->Dibujo();
        const QColor fondo = img.pixelColor(5, 5);
        auto colorA = [&](double radioTwips) {
            const int x = static_cast<int>((2932.5 + radioTwips) / 15.0);
            const int y = 2325 / 15;
            for (int dx = -1; dx <= 1; ++dx)
                if (img.pixelColor(x + dx, y) != fondo)
                    return img.pixelColor(x + dx, y);
            return fondo;
        };
        QCOMPARE(colorA(1500), QColor(0, 0, 255));
        QCOMPARE(colorA(500), QColor(Qt::black));
        QCOMPARE(colorA(100), QColor(0, 0, 255));
        QCOMPARE(colorA(1000), fondo);
        // What was drawn is what the window paints.
        QCOMPARE(f->grab().toImage().convertToFormat(QImage::Format_RGB32), img);
        // Closing the main window closes it.
        CerrarVentanaPrueba();
        QTRY_VERIFY(!f || !f->isVisible());
    }
};

QTEST_MAIN(tst_colores)
#include "tst_colores.moc"
