// The controller simulator: protocol core, state file, and its line as the tool
// sees it through QSerialPort on a pseudo-terminal.
#include "sim/Simulador.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace {

QByteArray Bytes(const Trama& t)
{
    return QByteArray(reinterpret_cast<const char*>(t.data()), 8);
}

QByteArray TramaQ(int comando, int indice, int dato)
{
    return Bytes(ConstruirTrama(uint8_t(comando), uint8_t(indice), uint8_t(dato)));
}

EstadoSimulador Desde(const QString& sentencias)
{
    EstadoSimulador e;
    std::string error;
    if (!AplicarTextoEstado(e, sentencias.toStdString(), &error))
        qFatal("bad fixture: %s", error.c_str());
    return e;
}

// Reads until n bytes have arrived or ms have passed; returns what came.
QByteArray Leer(QSerialPort& p, int n, int ms)
{
    QByteArray r;
    QElapsedTimer t;
    t.start();
    while (r.size() < n && t.elapsed() < ms) {
        if (p.bytesAvailable() == 0)
            p.waitForReadyRead(int(std::max<qint64>(1, ms - t.elapsed())));
        r += p.readAll();
    }
    return r;
}

bool Abrir(QSerialPort& p, const QString& ruta)
{
    p.setPortName(ruta);
    if (!p.open(QIODevice::ReadWrite))
        return false;
    p.setBaudRate(9600);
    p.setDataBits(QSerialPort::Data8);
    p.setParity(QSerialPort::NoParity);
    p.setStopBits(QSerialPort::OneStop);
    return true;
}

void Enviar(QSerialPort& p, const QByteArray& b)
{
    p.write(b);
    p.waitForBytesWritten(500);
}

}  // namespace

class TestSimulador : public QObject {
    Q_OBJECT

private slots:
    void tramasDelTool();
    void protocolo_data();
    void protocolo();
    void ficheroEstadoIdaYVuelta();
    void ficheroEstadoErrores_data();
    void ficheroEstadoErrores();
    void textoConservaBlancosYAlmohadilla();
    void controladorDemo();
    void tablaDeDestellosEnSegmentos();

    void lineaContestaYRegistra();
    void lineaSobreviveAlCierreDelPuerto();
    void lineaResincroniza();
    void fallosDeRespuesta_data();
    void fallosDeRespuesta();
    void falloPorTrama_data();
    void falloPorTrama();
    void callarTrasTramasYEnOrden();
    void respuestaTardiaLlegaDespues();
    void puertoCerradoPierdeLoPendiente();
    void cerrarYReabrirConEnlace();
    void lineaCortadaNoLlevaAOtroTerminal_data();
    void lineaCortadaNoLlevaAOtroTerminal();
    void enlaceNoPisaUnFichero();
    void dispositivoExistente();
    void detenerEsRapidoConRespuestaPendiente();

    void programaPorEntradaEstandar();
    void fallosDeAlmacen_data();
    void fallosDeAlmacen();
    void falloDeAlmacenPorProporcion();
    void programaConFalloDeAlmacen();
};

void TestSimulador::tramasDelTool()
{
    QCOMPARE(QString::fromStdString(TramaHex(ConstruirTrama(6, 1, 1).data())),
             QStringLiteral("4B 58 00 00 06 01 01 F9"));
    QCOMPARE(QString::fromStdString(TramaHex(ConstruirTrama(5, 0, 0).data())),
             QStringLiteral("4B 58 00 00 05 00 00 FA"));
    QCOMPARE(QString::fromStdString(TramaHex(ConstruirTrama(128, 5, 0).data())),
             QStringLiteral("4B 58 00 00 80 05 00 7A"));
    // The 16-bit value takes part in the checksum.
    const Trama t = ConstruirTrama(1, 2, 3, 0x10, 0x20);
    QCOMPARE(int(t[7]), 0xFF ^ 0x10 ^ 0x20 ^ 1 ^ 2 ^ 3);
    QVERIFY(TramaValida(t.data()));
    Trama mala = t;
    mala[6] ^= 1;
    QVERIFY(!TramaValida(mala.data()));
    mala = t;
    mala[1] = 'Y';
    QVERIFY(!TramaValida(mala.data()));
}

void TestSimulador::protocolo_data()
{
    QTest::addColumn<QString>("inicial");
    QTest::addColumn<int>("comando");
    QTest::addColumn<int>("indice");
    QTest::addColumn<int>("dato");
    QTest::addColumn<int>("respuesta");
    QTest::addColumn<QString>("cambio");  // statements the state must have taken

    const QString base = QStringLiteral(
        "cell 37 200\ncell 255 0x34\npresent 24 27 31 255\nstatus0 0x91\nstatus1 0x22\n"
        "current 1234\nspeed 0x8000\nledcurrent 65535\ninputs 0xA5\noutputs 0x3C\noutputs9 5\n"
        "segment 1 0 10 20 30\nsegment 4 194 77\nsegment 2 255 9");
    QTest::newRow("read cell 37") << base << 1 << 37 << 0 << 200 << "";
    QTest::newRow("read cell 255") << base << 1 << 255 << 0 << 0x34 << "";
    QTest::newRow("read empty cell") << base << 1 << 0 << 0 << 0 << "";
    QTest::newRow("read ignores dato") << base << 1 << 37 << 99 << 200 << "";
    QTest::newRow("write cell 37") << base << 2 << 37 << 99 << 99 << "cell 37 99";
    QTest::newRow("write cell 0 to 0") << base << 2 << 0 << 0 << 0 << "";
    QTest::newRow("presence byte 3") << base << 128 << 3 << 0 << 0x89 << "";
    QTest::newRow("presence byte 31") << base << 128 << 31 << 0 << 0x80 << "";
    QTest::newRow("presence byte 32 out of map") << base << 128 << 32 << 0 << 0 << "";
    QTest::newRow("status byte 0") << base << 5 << 0 << 0 << 0x91 << "";
    QTest::newRow("status byte 1") << base << 5 << 1 << 0 << 0x22 << "";
    QTest::newRow("current high") << base << 5 << 2 << 0 << 0x04 << "";
    QTest::newRow("current low") << base << 5 << 3 << 0 << 0xD2 << "";
    QTest::newRow("speed high") << base << 5 << 4 << 0 << 0x80 << "";
    QTest::newRow("speed low") << base << 5 << 5 << 0 << 0x00 << "";
    QTest::newRow("LED current high") << base << 5 << 6 << 0 << 0xFF << "";
    QTest::newRow("LED current low") << base << 5 << 7 << 0 << 0xFF << "";
    QTest::newRow("inputs") << base << 5 << 8 << 0 << 0xA5 << "";
    QTest::newRow("outputs 1-8") << base << 5 << 9 << 0 << 0x3C << "";
    QTest::newRow("outputs 9-11") << base << 5 << 10 << 0 << 5 << "";
    QTest::newRow("status 11 unknown") << base << 5 << 11 << 0 << 0 << "";
    QTest::newRow("night mode") << base << 6 << 1 << 2 << 2 << "order 1 2";
    QTest::newRow("motor 1") << base << 6 << 3 << 0 << 0 << "order 3 0";
    QTest::newRow("segment 1 write") << base << 131 << 3 << 45 << 45 << "segment 1 3 45";
    QTest::newRow("segment 4 write") << base << 134 << 255 << 1 << 1 << "segment 4 255 1";
    QTest::newRow("segment 1 read") << base << 135 << 1 << 0 << 20 << "";
    QTest::newRow("segment 2 read last byte") << base << 136 << 255 << 0 << 9 << "";
    QTest::newRow("segment 4 read") << base << 138 << 194 << 0 << 77 << "";
    QTest::newRow("segment 3 read empty") << base << 137 << 0 << 0 << 0 << "";
    QTest::newRow("unknown command 3") << base << 3 << 37 << 5 << 0 << "";
    QTest::newRow("unknown command 0") << base << 0 << 0 << 0 << 0 << "";
    QTest::newRow("unknown command 130") << base << 130 << 1 << 1 << 0 << "";
    QTest::newRow("unknown command 139") << base << 139 << 1 << 0 << 0 << "";
    QTest::newRow("unknown command 255") << base << 255 << 255 << 255 << 0 << "";
}

void TestSimulador::protocolo()
{
    QFETCH(QString, inicial);
    QFETCH(int, comando);
    QFETCH(int, indice);
    QFETCH(int, dato);
    QFETCH(int, respuesta);
    QFETCH(QString, cambio);

    EstadoSimulador e = Desde(inicial);
    EstadoSimulador esperado = e;
    std::string error;
    QVERIFY(AplicarTextoEstado(esperado, cambio.toStdString(), &error));

    const Trama t = ConstruirTrama(uint8_t(comando), uint8_t(indice), uint8_t(dato));
    const Trama r = ResponderTrama(e, t.data());
    QCOMPARE(int(r[0]), 0x4B);
    QCOMPARE(int(r[1]), 0x58);
    QCOMPARE(int(r[2]), 0);
    QCOMPARE(int(r[3]), 0);
    QCOMPARE(int(r[4]), comando);
    QCOMPARE(int(r[5]), indice);
    QCOMPARE(int(r[6]), respuesta);
    QCOMPARE(int(r[7]), 0xFF ^ r[2] ^ r[3] ^ r[4] ^ r[5] ^ r[6]);
    QVERIFY(TramaValida(r.data()));
    QVERIFY2(e == esperado, VolcarEstado(e).c_str());
}

void TestSimulador::ficheroEstadoIdaYVuelta()
{
    EstadoSimulador demo = EstadoDemo();
    demo.UltimaOrden[2] = 1;
    demo.Segmentos[3][255] = 0xAB;  // beyond what the tool transfers, still kept
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString ruta = dir.filePath("estado.txt");
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray::fromStdString(VolcarEstado(demo)));
    f.close();

    EstadoSimulador cargado = Desde("cell 99 1");  // loading replaces, it does not add
    std::string error;
    QVERIFY2(CargarFicheroEstado(cargado, ruta.toStdString(), &error), error.c_str());
    QVERIFY(cargado == demo);
    QCOMPARE(VolcarEstado(cargado), VolcarEstado(demo));
}

void TestSimulador::ficheroEstadoErrores_data()
{
    QTest::addColumn<QString>("texto");
    QTest::addColumn<QString>("mensaje");  // start of the error
    QTest::newRow("cell address 256") << "cell 256 1" << "line 1:";
    QTest::newRow("cell value 256") << "# ok\ncell 1 256" << "line 2:";
    QTest::newRow("cell missing value") << "cell 1" << "line 1:";
    QTest::newRow("cell extra value") << "cell 1 2 3" << "line 1:";
    QTest::newRow("cells past 255") << "cells 254 1 2 3" << "line 1: cells run past";
    QTest::newRow("not a number") << "status0 1x" << "line 1:";
    QTest::newRow("negative") << "inputs -1" << "line 1:";
    QTest::newRow("current over 16 bits") << "current 65536" << "line 1:";
    QTest::newRow("reversed range") << "present 60-0" << "line 1: bad address range";
    QTest::newRow("range past 255") << "present 250-256" << "line 1: bad address range";
    QTest::newRow("segment 5") << "segment 5 0 1" << "line 1:";
    QTest::newRow("segment past 255") << "segment 1 255 1 2" << "line 1:";
    QTest::newRow("colour over 24 bits") << "colour 1 0x1000000" << "line 1:";
    QTest::newRow("row 9") << "row 9 0 90" << "line 1:";
    QTest::newRow("text past 255") << "text 250 ABCDEFGHIJ" << "line 1: text runs past";
    QTest::newRow("text without text") << "text 231" << "line 1:";
    QTest::newRow("unknown statement") << "\n\ncel 1 2" << "line 3: unknown statement 'cel'";
}

void TestSimulador::ficheroEstadoErrores()
{
    QFETCH(QString, texto);
    QFETCH(QString, mensaje);
    QTemporaryDir dir;
    const QString ruta = dir.filePath("malo.txt");
    QFile f(ruta);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(texto.toUtf8());
    f.close();

    EstadoSimulador e = EstadoDemo();
    std::string error;
    QVERIFY(!CargarFicheroEstado(e, ruta.toStdString(), &error));
    QVERIFY2(QString::fromStdString(error).contains(": " + mensaje), error.c_str());
    QVERIFY2(e == EstadoDemo(), "a bad file must leave the state untouched");
}

void TestSimulador::textoConservaBlancosYAlmohadilla()
{
    // Decimal with leading zeros is decimal; '#' inside a text is a character.
    const EstadoSimulador e = Desde("cell 010 0x0F # comment\ntext 231 NO. #7  \r\n");
    QCOMPARE(int(e.Celdas[10]), 15);
    const char* esperado = "NO. #7  ";
    for (int i = 0; i < 8; ++i)
        QCOMPARE(int(e.Celdas[size_t(231 + i)]), int(uint8_t(esperado[i])));
    QCOMPARE(int(e.Celdas[239]), 0);
    std::string error;
    EstadoSimulador x;
    QVERIFY(!AplicarTextoEstado(x, "cell 08x 1", &error));
}

void TestSimulador::controladorDemo()
{
    const EstadoSimulador e = EstadoDemo();
    for (int a = 0; a < 256; ++a) {
        const bool campo = a <= 60 || (a >= 221 && a <= 225) || a >= 231;
        QVERIFY2(EsPresente(e, a) == campo, qPrintable(QString::number(a)));
    }
    QVERIFY(e.Celdas[252] >= 48);  // no old-firmware warning
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(&e.Celdas[231]), 16),
             QByteArray("QZL DEMO BEACON "));
    QVERIFY(e.Celdas[27] <= 4);  // a changer type the tool knows
    // At least one coloured row with segments; empty entries are 511.
    QCOMPARE(ColorFila(e, 2), 0x0000FFu);
    QCOMPARE(int(EntradaTabla(e, 2, 1)), 90);
    QCOMPARE(int(EntradaTabla(e, 8, 32)), 511);
    for (int f = 1; f <= 8; ++f)
        for (int c = 1; c <= 32; ++c)
            QVERIFY(EntradaTabla(e, f, c) <= 359 || EntradaTabla(e, f, c) == 511);
}

void TestSimulador::tablaDeDestellosEnSegmentos()
{
    // The layout the tool writes: colour blue, green, red at 0-2, entry c at 2c+1/2c+2;
    // even rows at 128 of the same segment.
    EstadoSimulador e;
    FijarColorFila(e, 1, 660510);  // blue 10, green 20, red 30
    FijarEntradaTabla(e, 1, 1, 45);
    FijarEntradaTabla(e, 2, 32, 300);
    FijarColorFila(e, 5, 5);
    FijarEntradaTabla(e, 8, 1, 511);
    QCOMPARE(int(e.Segmentos[0][0]), 10);
    QCOMPARE(int(e.Segmentos[0][1]), 20);
    QCOMPARE(int(e.Segmentos[0][2]), 30);
    QCOMPARE(int(e.Segmentos[0][3]), 0);
    QCOMPARE(int(e.Segmentos[0][4]), 45);
    QCOMPARE(int(e.Segmentos[0][193]), 1);
    QCOMPARE(int(e.Segmentos[0][194]), 44);
    QCOMPARE(int(e.Segmentos[2][2]), 5);
    QCOMPARE(int(e.Segmentos[3][131]), 1);
    QCOMPARE(int(e.Segmentos[3][132]), 255);
    QCOMPARE(ColorFila(e, 1), 660510u);
    QCOMPARE(int(EntradaTabla(e, 2, 32)), 300);
    // The statements say the same.
    QVERIFY(Desde("colour 1 660510\nrow 1 45\nrow 2 " + QString("0 ").repeated(31) + "300\n"
                  "colour 5 5\nrow 8 511")
                .Segmentos == e.Segmentos);
}

// ---------------------------------------------------------------------------------
// The line, through QSerialPort
// ---------------------------------------------------------------------------------
void TestSimulador::lineaContestaYRegistra()
{
    OpcionesSimulador op;
    op.Estado = EstadoDemo();
    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    QVERIFY2(sim, error.c_str());
    QVERIFY(SimLineaAbierta(sim.get()));

    QSerialPort p;
    QVERIFY2(Abrir(p, QString::fromStdString(SimRuta(sim.get()))), qPrintable(p.errorString()));
    Enviar(p, TramaQ(1, 252, 0));
    QCOMPARE(Leer(p, 8, 1000).toHex(' '), QByteArray("4b 58 00 00 01 fc 34 36"));
    Enviar(p, TramaQ(2, 37, 99));
    QCOMPARE(Leer(p, 8, 1000).size(), 8);
    Enviar(p, TramaQ(6, 1, 1));
    QCOMPARE(Leer(p, 8, 1000).size(), 8);

    QCOMPARE(SimRegistro(sim.get()), QStringList({"4B 58 00 00 01 FC 00 02",
                                                  "4B 58 00 00 02 25 63 BB",
                                                  "4B 58 00 00 06 01 01 F9"}));
    QCOMPARE(SimTramasRecibidas(sim.get()), 3);
    const EstadoSimulador e = SimEstado(sim.get());
    QCOMPARE(int(e.Celdas[37]), 99);
    QCOMPARE(int(e.UltimaOrden[1]), 1);

    SimBorrarRegistro(sim.get());
    QVERIFY(SimRegistro(sim.get()).isEmpty());
    // A change from the test is seen by the next frame.
    QVERIFY(SimAplicar(sim.get(), "cell 37 7"));
    QVERIFY(!SimAplicar(sim.get(), "cell 37 8\ncell 300 1"));  // all or nothing
    Enviar(p, TramaQ(1, 37, 0));
    QCOMPARE(int(uint8_t(Leer(p, 8, 1000).at(6))), 7);
}

void TestSimulador::lineaSobreviveAlCierreDelPuerto()
{
    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    const QString ruta = QString::fromStdString(SimRuta(sim.get()));
    for (int vez = 0; vez < 3; ++vez) {
        QSerialPort p;
        QVERIFY2(Abrir(p, ruta), qPrintable(p.errorString()));
        Enviar(p, TramaQ(128, 0, 0));
        QCOMPARE(Leer(p, 8, 1000).size(), 8);
        p.close();
    }
    QCOMPARE(SimTramasRecibidas(sim.get()), 3);
}

void TestSimulador::lineaResincroniza()
{
    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    QVERIFY(SimAplicar(sim.get(), "cell 5 55"));
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    // Stray bytes, a stray header, then a good frame: only the frame is answered.
    QByteArray ruido = QByteArray::fromHex("0102") + "KX" + TramaQ(1, 5, 0);
    Enviar(p, ruido);
    QCOMPARE(Leer(p, 8, 1000).toHex(' '), Bytes(ConstruirTrama(1, 5, 55)).toHex(' '));
    QCOMPARE(Leer(p, 1, 60).size(), 0);
    // A frame with a wrong checksum is not answered.
    QByteArray mala = TramaQ(1, 5, 0);
    mala[7] = char(mala[7] ^ 0x40);
    Enviar(p, mala + TramaQ(5, 0, 0));
    QCOMPARE(Leer(p, 8, 1000), Bytes(ConstruirTrama(5, 0, 0)));
    QCOMPARE(Leer(p, 1, 60).size(), 0);
    const QStringList reg = SimRegistro(sim.get());
    QCOMPARE(reg.size(), 4);
    QCOMPARE(reg[0], QStringLiteral("stray 01 02 4B 58"));
    QCOMPARE(reg[1], QStringLiteral("4B 58 00 00 01 05 00 FB"));
    QCOMPARE(reg[2], QStringLiteral("stray 4B 58 00 00 01 05 00 BB"));
    QCOMPARE(reg[3], QStringLiteral("4B 58 00 00 05 00 00 FA"));
    // A fragment that never completes is logged as stray once the line goes quiet.
    Enviar(p, QByteArray("KX\x01", 3));
    QTRY_COMPARE_WITH_TIMEOUT(SimRegistro(sim.get()).size(), 5, 2000);
    QCOMPARE(SimRegistro(sim.get()).last(), QStringLiteral("stray 4B 58 01"));
}

// A fault chosen per frame by the test's own function: what reaches the tool, whether the
// frame was carried out, and whether the line is still there.
void TestSimulador::falloPorTrama_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QByteArray>("llega");   // bytes on the line, "R" standing for the reply
    QTest::addColumn<int>("minimoMs");       // the last byte not before this
    QTest::addColumn<bool>("escrito");       // the write of cell 9 happened
    QTest::addColumn<bool>("linea");         // the line is still open
    QTest::newRow("none") << int(FalloTrama::Ninguno) << QByteArray("R") << 0 << true << true;
    QTest::newRow("silent") << int(FalloTrama::Silencio) << QByteArray() << 0 << false << true;
    QTest::newRow("late") << int(FalloTrama::Tarde) << QByteArray("R") << 150 << true << true;
    QTest::newRow("partial") << int(FalloTrama::Parcial) << QByteArray("R3") << 0 << true << true;
    QTest::newRow("stray before") << int(FalloTrama::BytesAntes) << QByteArray("\x01\xFER") << 0 << true << true;
    QTest::newRow("stray after") << int(FalloTrama::BytesDespues) << QByteArray("R\x01\xFE") << 0 << true << true;
    QTest::newRow("pulled unanswered") << int(FalloTrama::CortarLinea) << QByteArray() << 0 << false << false;
}

void TestSimulador::falloPorTrama()
{
    QFETCH(int, tipo);
    QFETCH(QByteArray, llega);
    QFETCH(int, minimoMs);
    QFETCH(bool, escrito);
    QFETCH(bool, linea);

    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    std::vector<int> numeros;
    std::mutex m;
    SimFijarSorteo(sim.get(), [&](const Trama& t, int numero) {
        std::lock_guard<std::mutex> l(m);
        numeros.push_back(numero);
        FalloTrama f;
        if (t[4] != 2)
            return f;  // only the write is faulted
        f.tipo = FalloTrama::Tipo(tipo);
        f.Ms = f.tipo == FalloTrama::Tarde ? 150 : 2;
        f.Bytes = 3;
        f.Sueltos = {0x01, 0xFE};
        return f;
    });
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    Enviar(p, TramaQ(1, 0, 0));  // a frame the function leaves alone
    QCOMPARE(Leer(p, 8, 1000).size(), 8);

    QByteArray esperado = llega;
    const QByteArray respuesta = TramaQ(2, 9, 0x42);  // the reply echoes the frame
    if (esperado.endsWith("R3"))
        esperado.replace("R3", respuesta.left(3));
    esperado.replace("R", respuesta);
    QElapsedTimer reloj;
    reloj.start();
    Enviar(p, respuesta);
    QByteArray r = Leer(p, esperado.size(), 1000);
    const qint64 ms = reloj.elapsed();
    r += Leer(p, 64, 60);  // nothing more comes
    QCOMPARE(r.toHex(' '), esperado.toHex(' '));
    QVERIFY2(ms >= minimoMs, qPrintable(QString::number(ms)));
    QCOMPARE(int(SimEstado(sim.get()).Celdas[9]), escrito ? 0x42 : 0);
    QTRY_COMPARE_WITH_TIMEOUT(SimLineaAbierta(sim.get()), linea, 1000);
    std::lock_guard<std::mutex> l(m);
    QCOMPARE(numeros, std::vector<int>({0, 1}));
}

void TestSimulador::fallosDeRespuesta_data()
{
    QTest::addColumn<QString>("fallo");
    QTest::addColumn<int>("bytes");       // bytes expected on the line
    QTest::addColumn<bool>("cabecera");   // the reply starts with "K" "X"
    QTest::addColumn<bool>("escrito");    // the write of cell 9 happened
    QTest::newRow("none") << "" << 8 << true << true;
    QTest::newRow("silent") << "silent" << 0 << false << false;
    QTest::newRow("partial 3") << "partial 3" << 3 << true << true;
    QTest::newRow("partial 0") << "partial 0" << 0 << false << true;
    QTest::newRow("extra 2") << "extra 2" << 10 << true << true;
    QTest::newRow("garbage") << "garbage" << 8 << false << true;
    QTest::newRow("garbage plus extra") << "garbage extra" << 9 << false << true;
}

void TestSimulador::fallosDeRespuesta()
{
    QFETCH(QString, fallo);
    QFETCH(int, bytes);
    QFETCH(bool, cabecera);
    QFETCH(bool, escrito);

    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    FallosSimulador f;
    f.Silencioso = fallo == "silent";
    if (fallo.startsWith("partial"))
        f.BytesRespuesta = fallo.section(' ', 1).toInt();
    if (fallo == "extra 2")
        f.BytesExtra = 2;
    f.Basura = fallo.startsWith("garbage");
    if (fallo == "garbage extra")
        f.BytesExtra = 1;
    SimFijarFallos(sim.get(), f);

    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    Enviar(p, TramaQ(2, 9, 0x42));
    const QByteArray r = Leer(p, 64, 100);
    QCOMPARE(r.size(), bytes);
    QCOMPARE(r.startsWith("KX"), cabecera);
    if (fallo == "extra 2")
        QCOMPARE(r.mid(8), QByteArray("\xEE\xEF"));
    if (fallo == "partial 3")
        QCOMPARE(r, QByteArray("KX\x00", 3));
    QCOMPARE(SimEstado(sim.get()).Celdas[9] == 0x42, escrito);
    QCOMPARE(SimRegistro(sim.get()), QStringList{"4B 58 00 00 02 09 42 B6"});
}

void TestSimulador::callarTrasTramasYEnOrden()
{
    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    auto contesta = [&p](int comando, int indice) {
        Enviar(p, TramaQ(comando, indice, 0));
        return Leer(p, 8, 120).size() == 8;
    };

    // Two frames answered, then none; the count starts when the fault is set.
    QVERIFY(contesta(1, 0));
    FallosSimulador f;
    f.CallarTrasTramas = 2;
    SimFijarFallos(sim.get(), f);
    QVERIFY(contesta(1, 1));
    QVERIFY(contesta(1, 2));
    QVERIFY(!contesta(1, 3));
    QVERIFY(!contesta(1, 4));

    // Only the read of 37, twice (so the tool's third try would get through).
    f = FallosSimulador{};
    f.CallarEnOrden = true;
    f.CallarComando = 1;
    f.CallarIndice = 37;
    f.CallarVeces = 2;
    SimFijarFallos(sim.get(), f);
    QVERIFY(contesta(1, 36));
    QVERIFY(!contesta(1, 37));
    QVERIFY(!contesta(1, 37));
    QVERIFY(contesta(1, 37));
    QVERIFY(contesta(1, 38));

    // From the read of 37 on, nothing.
    f.CallarDesdeEntonces = true;
    SimFijarFallos(sim.get(), f);
    QVERIFY(contesta(2, 37));  // another command with the same index
    QVERIFY(!contesta(1, 37));
    QVERIFY(!contesta(1, 38));
    SimFijarFallos(sim.get(), FallosSimulador{});
    QVERIFY(contesta(1, 38));
}

void TestSimulador::respuestaTardiaLlegaDespues()
{
    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    FallosSimulador f;
    f.RetrasoMs = 150;
    SimFijarFallos(sim.get(), f);
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    QElapsedTimer t;
    t.start();
    Enviar(p, TramaQ(5, 8, 0));
    QCOMPARE(Leer(p, 8, 60).size(), 0);
    QCOMPARE(Leer(p, 8, 1000).size(), 8);
    QVERIFY(t.elapsed() >= 140);
}

void TestSimulador::puertoCerradoPierdeLoPendiente()
{
    // As on a real serial port: a reply that comes after the tool closed the port, and
    // bytes left unread at the close, are gone when the port is opened again.
    SimuladorPtr sim(SimIniciar(OpcionesSimulador{}));
    QVERIFY(sim);
    const QString ruta = QString::fromStdString(SimRuta(sim.get()));
    FallosSimulador f;
    f.RetrasoMs = 80;
    SimFijarFallos(sim.get(), f);
    QSerialPort p;
    QVERIFY(Abrir(p, ruta));
    Enviar(p, TramaQ(1, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(SimTramasRecibidas(sim.get()), 1, 1000);
    p.close();  // the tool gave up before the reply
    QTest::qWait(150);
    QVERIFY(Abrir(p, ruta));
    QCOMPARE(Leer(p, 8, 60).size(), 0);

    // Bytes still unread in the line when the port closes: done with plain descriptors,
    // because QSerialPort takes everything into its own buffer as soon as it arrives.
    p.close();
    f.RetrasoMs = 0;
    SimFijarFallos(sim.get(), f);
    const int fd = ::open(qPrintable(ruta), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::ioctl(fd, TIOCEXCL), 0);  // as Qt's serial port does while it is open
    const QByteArray t = TramaQ(1, 1, 0);
    QCOMPARE(::write(fd, t.constData(), 8), ssize_t(8));
    QTRY_COMPARE_WITH_TIMEOUT(SimTramasRecibidas(sim.get()), 2, 1000);
    int pendientes = 0;
    QTRY_VERIFY_WITH_TIMEOUT(::ioctl(fd, FIONREAD, &pendientes) == 0 && pendientes == 8, 1000);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
    QTest::qWait(60);
    QVERIFY(Abrir(p, ruta));
    QCOMPARE(Leer(p, 8, 60).size(), 0);
    // While the port stays open, what came late is still there (the tool's next try takes it).
    f.BytesRespuesta = 8;
    f.RetrasoMs = 50;
    SimFijarFallos(sim.get(), f);
    Enviar(p, TramaQ(1, 2, 0));
    QCOMPARE(Leer(p, 8, 20).size(), 0);
    QTest::qWait(100);
    QCOMPARE(Leer(p, 8, 1000).size(), 8);
}

void TestSimulador::cerrarYReabrirConEnlace()
{
    QTemporaryDir dir;
    OpcionesSimulador op;
    op.CarpetaEnlace = dir.path().toStdString();
    op.PuertoEnlace = 4;
    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    QVERIFY2(sim, error.c_str());
    const QString enlace = dir.filePath("com4");
    QCOMPARE(QString::fromStdString(SimEnlace(sim.get())), enlace);
    QCOMPARE(QFileInfo(enlace).symLinkTarget(), QString::fromStdString(SimRuta(sim.get())));

    FallosSimulador f;
    f.CerrarTrasTramas = 1;
    SimFijarFallos(sim.get(), f);
    {
        QSerialPort p;
        QVERIFY2(Abrir(p, enlace), qPrintable(p.errorString()));
        Enviar(p, TramaQ(1, 0, 0));
        QCOMPARE(Leer(p, 8, 1000).size(), 8);  // the last reply still arrives
        QTRY_VERIFY_WITH_TIMEOUT(!SimLineaAbierta(sim.get()), 2000);
        Enviar(p, TramaQ(1, 1, 0));
        QCOMPARE(Leer(p, 8, 100).size(), 0);
    }
    {
        QSerialPort p;
        QVERIFY(!Abrir(p, enlace));  // the device has vanished
    }
    QVERIFY(QFileInfo(enlace).isSymLink());

    QVERIFY2(SimReabrirLinea(sim.get(), &error), error.c_str());
    QVERIFY(SimLineaAbierta(sim.get()));
    QCOMPARE(QFileInfo(enlace).symLinkTarget(), QString::fromStdString(SimRuta(sim.get())));
    {
        QSerialPort p;
        QVERIFY2(Abrir(p, enlace), qPrintable(p.errorString()));
        Enviar(p, TramaQ(1, 2, 0));
        QCOMPARE(Leer(p, 8, 1000).size(), 8);
    }
    // Closing on demand, then reopening again.
    SimCerrarLinea(sim.get());
    QVERIFY(!SimLineaAbierta(sim.get()));
    QVERIFY(SimReabrirLinea(sim.get()));
    // The frame written while the line was gone never arrived.
    QCOMPARE(SimRegistro(sim.get()),
             QStringList({"4B 58 00 00 01 00 00 FE", "4B 58 00 00 01 02 00 FC"}));

    sim.reset();
    QVERIFY2(!QFileInfo::exists(enlace) && !QFileInfo(enlace).isSymLink(),
             "stopping removes its own link");
}

// Once the line is pulled, its pseudo-terminal number is free and the next pty anyone
// opens may get it. The link must not lead there: it points where nothing can be opened.
void TestSimulador::lineaCortadaNoLlevaAOtroTerminal_data()
{
    QTest::addColumn<bool>("trasTrama");
    QTest::newRow("pulled on demand") << false;
    QTest::newRow("pulled after a reply") << true;
}

void TestSimulador::lineaCortadaNoLlevaAOtroTerminal()
{
    QFETCH(bool, trasTrama);
    QTemporaryDir dir;
    OpcionesSimulador op;
    op.CarpetaEnlace = dir.path().toStdString();
    op.PuertoEnlace = 3;
    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    QVERIFY2(sim, error.c_str());
    const QString enlace = dir.filePath("com3");
    const std::string antigua = SimRuta(sim.get());
    if (trasTrama) {
        FallosSimulador f;
        f.CerrarTrasTramas = 1;
        SimFijarFallos(sim.get(), f);
        QSerialPort p;
        QVERIFY2(Abrir(p, enlace), qPrintable(p.errorString()));
        Enviar(p, TramaQ(1, 0, 0));
        QCOMPARE(Leer(p, 8, 1000).size(), 8);
        QTRY_VERIFY_WITH_TIMEOUT(!SimLineaAbierta(sim.get()), 2000);
    } else {
        SimCerrarLinea(sim.get());
    }

    // Another program's pseudo-terminals, until one of them has the old number (the
    // kernel hands out the lowest free one, so this is usually the first).
    std::vector<int> ajenos;
    bool mismoNumero = false;
    for (int i = 0; i < 16 && !mismoNumero; ++i) {
        const int m = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(m >= 0);
        ajenos.push_back(m);
        QVERIFY(grantpt(m) == 0 && unlockpt(m) == 0);
        mismoNumero = std::string(ptsname(m)) == antigua;
    }
    QVERIFY(QFileInfo(enlace).isSymLink());
    QVERIFY(QFileInfo(enlace).symLinkTarget() != QString::fromStdString(antigua));
    QVERIFY(QFileInfo(enlace).canonicalFilePath().isEmpty());
    {
        QSerialPort p;
        QVERIFY(!Abrir(p, enlace));
    }
    for (const int m : ajenos)
        ::close(m);

    // Back: the link leads to the new line; stopping removes it.
    QVERIFY2(SimReabrirLinea(sim.get(), &error), error.c_str());
    QCOMPARE(QFileInfo(enlace).symLinkTarget(), QString::fromStdString(SimRuta(sim.get())));
    sim.reset();
    QVERIFY(!QFileInfo(enlace).isSymLink());
}

void TestSimulador::enlaceNoPisaUnFichero()
{
    QTemporaryDir dir;
    QFile f(dir.filePath("com2"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("keep");
    f.close();
    std::string error;
    QVERIFY(!CrearEnlaceCom(dir.path().toStdString(), 2, "/dev/null", &error));
    QVERIFY(!error.empty());
    QVERIFY(!QFileInfo(f.fileName()).isSymLink());
    QVERIFY(!CrearEnlaceCom(dir.path().toStdString(), 0, "/dev/null", &error));
    QVERIFY(!CrearEnlaceCom(dir.path().toStdString(), 10, "/dev/null", &error));
    // An old link is replaced.
    QVERIFY(CrearEnlaceCom(dir.path().toStdString(), 9, "/dev/null", &error));
    QVERIFY(CrearEnlaceCom(dir.path().toStdString(), 9, "/dev/zero", &error));
    QCOMPARE(QFileInfo(dir.filePath("com9")).symLinkTarget(), QStringLiteral("/dev/zero"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                        | QDir::NoDotAndDotDot).size(), 2);
}

void TestSimulador::dispositivoExistente()
{
    // A serial device given by path: here the slave of a pty whose master plays the tool.
    const int maestro = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(maestro >= 0);
    QVERIFY(grantpt(maestro) == 0 && unlockpt(maestro) == 0);
    const QString esclavo = QString::fromLocal8Bit(ptsname(maestro));
    OpcionesSimulador op;
    op.Dispositivo = esclavo.toStdString();
    op.Estado = EstadoDemo();
    std::string error;
    SimuladorPtr sim(SimIniciar(op, &error));
    QVERIFY2(sim, error.c_str());
    QCOMPARE(QString::fromStdString(SimRuta(sim.get())), esclavo);

    auto pregunta = [maestro](int comando, int indice) -> int {
        const QByteArray t = TramaQ(comando, indice, 0);
        if (::write(maestro, t.constData(), 8) != 8)
            return -1;
        QByteArray r;
        QElapsedTimer reloj;
        reloj.start();
        while (r.size() < 8 && reloj.elapsed() < 1000) {
            pollfd p{maestro, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0 && (p.revents & POLLIN)) {
                char b[16];
                const ssize_t n = ::read(maestro, b, sizeof b);
                if (n > 0)
                    r.append(b, int(n));
            }
        }
        return r.size() == 8 ? int(uint8_t(r[6])) : -1;
    };
    QCOMPARE(pregunta(128, 31), 0xFF);
    SimCerrarLinea(sim.get());
    QVERIFY(SimReabrirLinea(sim.get(), &error));
    QCOMPARE(QString::fromStdString(SimRuta(sim.get())), esclavo);
    QCOMPARE(pregunta(1, 251), 7);
    sim.reset();
    ::close(maestro);

    OpcionesSimulador falta;
    falta.Dispositivo = "/nonexistent/ttyS99";
    QVERIFY(!SimIniciar(falta, &error));
    QVERIFY2(QString::fromStdString(error).contains("/nonexistent/ttyS99"), error.c_str());
}

void TestSimulador::detenerEsRapidoConRespuestaPendiente()
{
    SimuladorQZL* sim = SimIniciar(OpcionesSimulador{});
    QVERIFY(sim);
    FallosSimulador f;
    f.RetrasoMs = 10000;
    SimFijarFallos(sim, f);
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim))));
    Enviar(p, TramaQ(1, 0, 0));
    QTRY_COMPARE_WITH_TIMEOUT(SimTramasRecibidas(sim), 1, 1000);
    QElapsedTimer t;
    t.start();
    SimDetener(sim);
    QVERIFY2(t.elapsed() < 500, qPrintable(QString::number(t.elapsed())));
}

// ---------------------------------------------------------------------------------
// The program
// ---------------------------------------------------------------------------------
void TestSimulador::programaPorEntradaEstandar()
{
    const QString programa = QCoreApplication::applicationDirPath() + "/../qzl-sim";
    if (!QFileInfo::exists(programa))
        QSKIP("qzl-sim is not built beside the tests");
    QTemporaryDir dir;
    const QString registro = dir.filePath("wire.log");
    QProcess sim;
    sim.start(programa, {"--demo", "--log", registro, "--link", dir.filePath("com7")});
    QVERIFY(sim.waitForStarted(2000));
    auto linea = [&sim]() {
        QElapsedTimer t;
        t.start();
        while (!sim.canReadLine() && t.elapsed() < 3000)
            sim.waitForReadyRead(100);
        return QString::fromUtf8(sim.readLine()).trimmed();
    };
    auto orden = [&](const char* texto) {
        sim.write(QByteArray(texto) + "\n");
        return linea();
    };
    const QString ruta = linea();
    QVERIFY2(ruta.startsWith("/dev/"), qPrintable(ruta));
    QCOMPARE(QFileInfo(dir.filePath("com7")).symLinkTarget(), ruta);

    QSerialPort p;
    QVERIFY(Abrir(p, dir.filePath("com7")));
    Enviar(p, TramaQ(1, 252, 0));
    QCOMPARE(int(uint8_t(Leer(p, 8, 1000).at(6))), 52);

    QCOMPARE(orden("set cell 252 47"), QStringLiteral("ok"));
    QVERIFY(orden("set cell 252 300").startsWith("error: line 1:"));
    QVERIFY(orden("late x").startsWith("error"));
    QVERIFY(orden("frobnicate").startsWith("error: unknown command"));
    QCOMPARE(orden("silent on"), QStringLiteral("ok"));
    Enviar(p, TramaQ(1, 252, 0));
    QCOMPARE(Leer(p, 8, 150).size(), 0);
    QCOMPARE(orden("faults off"), QStringLiteral("ok"));
    Enviar(p, TramaQ(1, 252, 0));
    QCOMPARE(int(uint8_t(Leer(p, 8, 1000).at(6))), 47);

    // The dump loads back as the same state.
    sim.write("dump\n");
    QString volcado;
    for (QString l = linea(); l != "end" && !l.isEmpty(); l = linea())
        volcado += l + "\n";
    EstadoSimulador e;
    std::string error;
    QVERIFY2(AplicarTextoEstado(e, volcado.toStdString(), &error), error.c_str());
    QCOMPARE(int(e.Celdas[252]), 47);
    QCOMPARE(int(e.Celdas[231]), int('Q'));

    QCOMPARE(orden("close"), QStringLiteral("ok"));
    QCOMPARE(orden("path"), QStringLiteral("ok"));
    const QString otra = orden("reopen");
    QVERIFY2(otra.startsWith("ok /dev/"), qPrintable(otra));
    p.close();
    QVERIFY(Abrir(p, dir.filePath("com7")));
    Enviar(p, TramaQ(5, 0, 0));
    QCOMPARE(Leer(p, 8, 1000).size(), 8);

    sim.closeWriteChannel();  // end of stdin stops it
    QVERIFY(sim.waitForFinished(3000));
    QCOMPARE(sim.exitCode(), 0);
    QFile f(registro);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()),
             QStringLiteral("4B 58 00 00 01 FC 00 02\n4B 58 00 00 01 FC 00 02\n"
                            "4B 58 00 00 01 FC 00 02\n4B 58 00 00 05 00 00 FA\n"));
}

// ---------------------------------------------------------------------------------
// Storage faults
// ---------------------------------------------------------------------------------
void TestSimulador::fallosDeAlmacen_data()
{
    QTest::addColumn<int>("fallo");
    QTest::addColumn<int>("comando");
    QTest::addColumn<int>("indice");
    QTest::addColumn<int>("guardado");  // what the cell or segment byte holds after writing 0x5A over 0x11
    const int n = int(FalloAlmacen::NoGuarda), b = int(FalloAlmacen::BitCambiado);
    const int a = int(FalloAlmacen::SoloAlgunas), s = int(FalloAlmacen::SegmentoNoGuardado);
    QTest::newRow("not stored") << n << 2 << 37 << 0x11;
    QTest::newRow("bit 3 flipped") << b << 2 << 37 << (0x5A ^ 0x08);
    QTest::newRow("some: address 39 not kept") << a << 2 << 39 << 0x11;
    QTest::newRow("some: address 38 kept") << a << 2 << 38 << 0x5A;
    QTest::newRow("segment byte not stored") << s << 132 << 5 << 0x11;
    // Each fault reaches only its own kind of write.
    QTest::newRow("not stored: segment write kept") << n << 131 << 5 << 0x5A;
    QTest::newRow("segment fault: cell write kept") << s << 2 << 37 << 0x5A;
    QTest::newRow("no fault") << int(FalloAlmacen::Ninguno) << 2 << 37 << 0x5A;
}

void TestSimulador::fallosDeAlmacen()
{
    QFETCH(int, fallo);
    QFETCH(int, comando);
    QFETCH(int, indice);
    QFETCH(int, guardado);
    EstadoSimulador e;
    e.Celdas[size_t(indice)] = 0x11;
    e.Segmentos[0][size_t(indice)] = 0x11;
    e.Segmentos[1][size_t(indice)] = 0x11;
    const Trama t = ConstruirTrama(uint8_t(comando), uint8_t(indice), 0x5A);
    const Trama r = ResponderTrama(e, t.data(), FalloAlmacen(fallo), 3);
    // The reply never tells: the usual echo of what was sent.
    QCOMPARE(int(r[6]), 0x5A);
    EstadoSimulador sano;
    QCOMPARE(r, ResponderTrama(sano, t.data()));
    const int ahora = comando == 2 ? e.Celdas[size_t(indice)] : e.Segmentos[size_t(comando - 131)][size_t(indice)];
    QCOMPARE(ahora, guardado);
}

void TestSimulador::falloDeAlmacenPorProporcion()
{
    OpcionesSimulador op;
    SimuladorPtr sim(SimIniciar(op));
    QVERIFY(sim);
    QSerialPort p;
    QVERIFY(Abrir(p, QString::fromStdString(SimRuta(sim.get()))));
    auto escribirTodas = [&] {
        for (int a = 0; a < 100; ++a) {
            Enviar(p, TramaQ(2, a, 0xA5));
            QCOMPARE(Leer(p, 8, 1000).size(), 8);
        }
    };
    FallosSimulador f;
    f.Almacen = FalloAlmacen::NoGuarda;
    f.ProporcionAlmacen = 0.3;
    SimFijarFallos(sim.get(), f);
    escribirTodas();
    int sinGuardar = 0;
    for (int a = 0; a < 100; ++a)
        sinGuardar += SimEstado(sim.get()).Celdas[size_t(a)] == 0 ? 1 : 0;
    // A share, drawn per frame: some writes lost, most kept.
    QVERIFY2(sinGuardar >= 10 && sinGuardar <= 55, qPrintable(QString::number(sinGuardar)));

    // A per-frame draw from the test overrides the line's own, on exactly its frame.
    SimFijarFallos(sim.get(), FallosSimulador{});
    SimFijarEstado(sim.get(), EstadoSimulador{});
    SimFijarSorteo(sim.get(), [](const Trama& t, int) {
        FalloTrama ft;
        if (t[5] == 40) {
            ft.Almacen = FalloAlmacen::BitCambiado;
            ft.Bit = 7;
        }
        return ft;
    });
    escribirTodas();
    SimFijarSorteo(sim.get(), nullptr);
    const EstadoSimulador e = SimEstado(sim.get());
    for (int a = 0; a < 100; ++a)
        QCOMPARE(int(e.Celdas[size_t(a)]), a == 40 ? 0x25 : 0xA5);
}

void TestSimulador::programaConFalloDeAlmacen()
{
    const QString programa = QCoreApplication::applicationDirPath() + "/../qzl-sim";
    if (!QFileInfo::exists(programa))
        QSKIP("qzl-sim is not built beside the tests");
    QProcess malo;
    malo.start(programa, {"--store-fault", "bit-flap"});
    QVERIFY(malo.waitForFinished(3000));
    QCOMPARE(malo.exitCode(), 2);

    QProcess sim;
    sim.start(programa, {"--store-fault", "some-addresses,1"});
    QVERIFY(sim.waitForStarted(2000));
    auto linea = [&sim]() {
        QElapsedTimer t;
        t.start();
        while (!sim.canReadLine() && t.elapsed() < 3000)
            sim.waitForReadyRead(100);
        return QString::fromUtf8(sim.readLine()).trimmed();
    };
    auto orden = [&](const char* texto) {
        sim.write(QByteArray(texto) + "\n");
        return linea();
    };
    const QString ruta = linea();
    QSerialPort p;
    QVERIFY(Abrir(p, ruta));
    auto escribirYLeer = [&](int a, int v) {
        Enviar(p, TramaQ(2, a, v));
        Leer(p, 8, 1000);
        Enviar(p, TramaQ(1, a, 0));
        return int(uint8_t(Leer(p, 8, 1000).at(6)));
    };
    QCOMPARE(escribirYLeer(3, 9), 0);
    QCOMPARE(escribirYLeer(4, 9), 9);
    QCOMPARE(orden("store segment-not-stored 2"), QStringLiteral("error: bad arguments for 'store'"));
    QCOMPARE(orden("store not-stored"), QStringLiteral("ok"));
    QCOMPARE(escribirYLeer(4, 10), 9);
    QCOMPARE(orden("store off"), QStringLiteral("ok"));
    QCOMPARE(escribirYLeer(3, 11), 11);
    sim.closeWriteChannel();
    QVERIFY(sim.waitForFinished(3000));
}

QTEST_GUILESS_MAIN(TestSimulador)
#include "tst_simulador.moc"
