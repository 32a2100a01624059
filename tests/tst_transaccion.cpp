// The command transaction: frames, replies, tries, stale bytes, pacing, a vanished line.
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

static ComandoQZL Orden(uint8_t comando, uint8_t indice, uint8_t dato)
{
    ComandoQZL c{};
    c.Comando = comando;
    c.Indice = indice;
    c.Dato = dato;
    return c;
}

static QString Hex(const QByteArray& b)
{
    return QString::fromLatin1(b.toHex(' ').toUpper());
}

class TstTransaccion : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    // One transaction on the simulator with the port opened and closed around it.
    RespuestaQZL Transaccion(const ComandoQZL& c)
    {
        if (!AbrirCom())
            QTest::qFail("the port did not open", __FILE__, __LINE__);
        return EnviarComando(c);
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
    }

    void init()
    {
        ReiniciarEstadoPrueba();
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
    }

    void cleanup()
    {
        CerrarCom();
        sim.reset();
        CuentaMilisegundo = 0;
    }

    void trama_data()
    {
        QTest::addColumn<int>("valorAlto");
        QTest::addColumn<int>("valorBajo");
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("dato");
        QTest::addColumn<QString>("hex");
        QTest::newRow("day mode") << 0 << 0 << 6 << 1 << 1 << "4B 58 00 00 06 01 01 F9";
        QTest::newRow("status 0") << 0 << 0 << 5 << 0 << 0 << "4B 58 00 00 05 00 00 FA";
        QTest::newRow("night mode") << 0 << 0 << 6 << 1 << 2 << "4B 58 00 00 06 01 02 FA";
        QTest::newRow("motor 2") << 0 << 0 << 6 << 3 << 1 << "4B 58 00 00 06 03 01 FB";
        QTest::newRow("value bytes in checksum") << 0x12 << 0x34 << 2 << 37 << 200 << "4B 58 12 34 02 25 C8 36";
        QTest::newRow("all ones") << 255 << 255 << 255 << 255 << 255 << "4B 58 FF FF FF FF FF 00";
    }

    void trama()
    {
        QFETCH(int, valorAlto);
        QFETCH(int, valorBajo);
        QFETCH(int, comando);
        QFETCH(int, indice);
        QFETCH(int, dato);
        QFETCH(QString, hex);
        ComandoQZL c = Orden(uint8_t(comando), uint8_t(indice), uint8_t(dato));
        c.ValorAlto = uint8_t(valorAlto);
        c.ValorBajo = uint8_t(valorBajo);
        QCOMPARE(Hex(TramaComando(c)), hex);
    }

    void decodificaPosiciones2a6()
    {
        const QByteArray bytes = QByteArray::fromHex("AABBFFFE05060701EEEF");
        const RespuestaQZL r = DecodificarRespuesta(bytes);
        QCOMPARE(r.Valor, 0xFFFE);
        QCOMPARE(r.Comando, uint8_t(5));
        QCOMPARE(r.Indice, uint8_t(6));
        QCOMPARE(r.Dato, uint8_t(7));
    }

    // The example frames on the wire, and the answer taken from reply byte 6.
    void framesEnLaLinea_data()
    {
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("dato");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<int>("respuesta");
        QTest::newRow("day mode") << 6 << 1 << 1 << "4B 58 00 00 06 01 01 F9" << 1;
        QTest::newRow("status byte 0") << 5 << 0 << 0 << "4B 58 00 00 05 00 00 FA" << 0x5A;
        QTest::newRow("read cell 37") << 1 << 37 << 0 << "4B 58 00 00 01 25 00 DB" << 200;
        QTest::newRow("presence byte 31") << 128 << 31 << 0 << "4B 58 00 00 80 1F 00 60" << 0xC3;
    }

    void framesEnLaLinea()
    {
        QFETCH(int, comando);
        QFETCH(int, indice);
        QFETCH(int, dato);
        QFETCH(QString, hex);
        QFETCH(int, respuesta);
        EstadoSimulador e;
        e.Celdas[37] = 200;
        e.Estado0 = 0x5A;
        e.Presencia[31] = 0xC3;
        SimFijarEstado(sim.get(), e);

        const RespuestaQZL r = Transaccion(Orden(uint8_t(comando), uint8_t(indice), uint8_t(dato)));
        QCOMPARE(SimRegistro(sim.get()), QStringList{hex});
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(int(r.Dato), respuesta);
        QCOMPARE(int(r.Comando), comando);
        QCOMPARE(int(r.Indice), indice);
        QCOMPARE(r.Valor, 0);
        QCOMPARE(Reintentos, uint8_t(0));
        QVERIFY(MSCommDestellador().isOpen());
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Error R  1")));
    }

    void sinRespuestaTresIntentos()
    {
        FallosRapidos();
        FallosSimulador f;
        f.Silencioso = true;
        SimFijarFallos(sim.get(), f);
        const RespuestaQZL r = Transaccion(Orden(6, 0, 0));

        QCOMPARE(SimRegistro(sim.get()), QStringList(3, QStringLiteral("4B 58 00 00 06 00 00 F9")));
        QCOMPARE(r.Estado, EstadoSinRespuesta);
        QCOMPARE(r.Valor, 0);
        QCOMPARE(r.Comando, uint8_t(0));
        QCOMPARE(r.Indice, uint8_t(0));
        QCOMPARE(r.Dato, uint8_t(0));
        QCOMPARE(Reintentos, uint8_t(0));
        QCOMPARE(TextoPanel1(), QStringLiteral("Error R  3"));
        const QStringList esperado = {"Time Out Transmision", "Error R  1", "Time Out Transmision", "Error R  2",
                                      "Time Out Transmision", "Error R  3"};
        QCOMPARE(HistorialPanel1(), esperado);
        QVERIFY(MSCommDestellador().isOpen());
    }

    void respuestaAlTercerIntento()
    {
        FactorEsperas = 0.1;
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 1;
        f.CallarIndice = 40;
        f.CallarVeces = 2;
        SimFijarFallos(sim.get(), f);
        SimAplicar(sim.get(), "cell 40 77");
        const RespuestaQZL r = Transaccion(Orden(1, 40, 0));
        QCOMPARE(SimTramasRecibidas(sim.get()), 3);
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(r.Dato, uint8_t(77));
        QCOMPARE(TextoPanel1(), QStringLiteral("Error R  2"));
        QCOMPARE(Reintentos, uint8_t(0));
    }

    // Every byte waiting when the reply is complete is taken; the next answer is its own.
    void diezBytesTomadosDeUnaVez()
    {
        SimAplicar(sim.get(), "cell 10 11\ncell 12 13");
        FallosSimulador f;
        f.BytesExtra = 2;
        SimFijarFallos(sim.get(), f);
        const RespuestaQZL r = Transaccion(Orden(1, 10, 0));
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(r.Dato, uint8_t(11));
        QCOMPARE(MSCommDestellador().bytesAvailable(), qint64(0));

        SimFijarFallos(sim.get(), FallosSimulador{});
        FactorEsperas = 1.0;
        const RespuestaQZL s = EnviarComando(Orden(1, 12, 0));
        QCOMPARE(s.Estado, EstadoRespuesta);
        QCOMPARE(s.Dato, uint8_t(13));
    }

    void respuestaSinCabeceraAceptada()
    {
        FallosSimulador f;
        f.Basura = true;
        SimFijarFallos(sim.get(), f);
        const RespuestaQZL r = Transaccion(Orden(1, 3, 0));
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(SimTramasRecibidas(sim.get()), 1);
    }

    // Partial replies never add up to a reply, within a transaction or across one.
    void respuestasParcialesDescartadas()
    {
        SimAplicar(sim.get(), "cell 20 21\ncell 22 23");
        FallosSimulador f;
        f.BytesRespuesta = 5;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();
        const RespuestaQZL r = Transaccion(Orden(1, 20, 0));
        QCOMPARE(r.Estado, EstadoSinRespuesta);
        QCOMPARE(SimTramasRecibidas(sim.get()), 3);

        SimFijarFallos(sim.get(), FallosSimulador{});
        FactorEsperas = 1.0;
        const RespuestaQZL s = EnviarComando(Orden(1, 22, 0));
        QCOMPARE(s.Estado, EstadoRespuesta);
        QCOMPARE(s.Dato, uint8_t(23));
        QCOMPARE(s.Indice, uint8_t(22));
    }

    // A reply that comes after its transaction gave up is not the next frame's answer.
    void respuestaTardiaDescartada()
    {
        SimAplicar(sim.get(), "cell 30 31\ncell 32 33");
        FallosSimulador f;
        f.RetrasoMs = 150;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();  // a 100 ms reply limit
        Transaccion(Orden(1, 30, 0));
        // Let the late replies land in the receive buffer.
        QVERIFY(QTest::qWaitFor([] { return MSCommDestellador().bytesAvailable() >= LongitudTrama; }, 2000));
        QTest::qWait(400);
        QVERIFY(MSCommDestellador().bytesAvailable() >= LongitudTrama);

        SimFijarFallos(sim.get(), FallosSimulador{});
        FactorEsperas = 1.0;
        const RespuestaQZL r = EnviarComando(Orden(1, 32, 0));
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(r.Dato, uint8_t(33));
        QCOMPARE(r.Indice, uint8_t(32));
    }

    // Where the reply starts in what has been taken: stray bytes before a "K" "X" are
    // skipped, bytes with no header count from position 0, the checksum is not looked at.
    void inicioRespuesta_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("inicio");
        QTest::newRow("reply") << QByteArray::fromHex("4B58000001250063") << 0;
        QTest::newRow("wrong checksum") << QByteArray::fromHex("4B58000001250000") << 0;
        QTest::newRow("no header") << QByteArray::fromHex("0000000001256300") << 0;
        QTest::newRow("short") << QByteArray::fromHex("4B580000012500") << -1;
        QTest::newRow("glitch, reply complete") << QByteArray::fromHex("00FF4B58000001250063") << 2;
        QTest::newRow("glitch, reply still coming") << QByteArray::fromHex("00FF4B580000012500") << -1;
        QTest::newRow("lone K before the header") << QByteArray::fromHex("4B4B58000001250063") << 1;
        QTest::newRow("header later in the data") << QByteArray::fromHex("4B580000014B580063") << 0;
    }

    void inicioRespuesta()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, inicio);
        QCOMPARE(InicioRespuesta(bytes), inicio);
        if (inicio > 0)
            QCOMPARE(DecodificarRespuesta(bytes.mid(inicio)).Indice, uint8_t(0x25));
    }

    // Stray bytes on the line before the reply do not shift it.
    void bytesSueltosAntesDeLaRespuesta_data()
    {
        QTest::addColumn<int>("sueltos");
        QTest::newRow("00") << 1;
        QTest::newRow("00 FF") << 2;
        QTest::newRow("00 FF 4B") << 3;
        QTest::newRow("seven") << 7;
    }

    void bytesSueltosAntesDeLaRespuesta()
    {
        QFETCH(int, sueltos);
        SimAplicar(sim.get(), "cell 1 48\ncell 2 212");
        FallosSimulador f;
        f.BytesAntes = sueltos;
        SimFijarFallos(sim.get(), f);
        for (const int celda : {1, 2}) {
            const RespuestaQZL r = Transaccion(Orden(1, uint8_t(celda), 0));
            QCOMPARE(r.Estado, EstadoRespuesta);
            QCOMPARE(int(r.Comando), 1);
            QCOMPARE(int(r.Indice), celda);
            QCOMPARE(int(r.Dato), celda == 1 ? 48 : 212);
        }
        QCOMPARE(SimTramasRecibidas(sim.get()), 2);
    }

    // The first try of every frame is answered late (its retry in time): the late reply
    // comes while the next cell's frame waits and must not be taken as its answer, whether
    // the controller repeats command and index in its replies or not. Up to 1 s past the
    // limit for any controller, and any lateness once its replies have been seen to repeat
    // the frame (three fault-free replies first, as any operation's first frames give).
    void respuestaTardiaNoContestaOtraCelda_data()
    {
        QTest::addColumn<bool>("eco");
        QTest::addColumn<int>("retraso");  // in tenths of the reply limit
        QTest::newRow("echo, 0.2 s past") << true << 11;
        QTest::newRow("echo, 0.8 s past") << true << 14;
        QTest::newRow("echo, 4 s past") << true << 30;
        QTest::newRow("no echo, 0.2 s past") << false << 11;
        QTest::newRow("no echo, 0.6 s past") << false << 13;
        QTest::newRow("no echo, 0.8 s past") << false << 14;
    }

    void respuestaTardiaNoContestaOtraCelda()
    {
        QFETCH(bool, eco);
        QFETCH(int, retraso);
        FactorEsperas = 0.1;  // a 200 ms reply limit, 100 ms of grace
        const int limite = EsperaMs(2000);
        SimAplicar(sim.get(), "cell 0 0\ncell 1 48\ncell 2 212\ncell 3 7");
        FallosSimulador f;
        f.SinEco = !eco;
        SimFijarFallos(sim.get(), f);
        QVERIFY(AbrirCom());
        for (int celda = 10; celda < 13; ++celda)
            QCOMPARE(EnviarComando(Orden(1, uint8_t(celda), 0)).Estado, EstadoRespuesta);
        f.RetrasoPrimerIntentoMs = limite * retraso / 10;
        SimFijarFallos(sim.get(), f);
        const int esperado[] = {0, 48, 212, 7};
        for (int celda = 0; celda < 4; ++celda) {
            const RespuestaQZL r = EnviarComando(Orden(1, uint8_t(celda), 0));
            QCOMPARE(r.Estado, EstadoRespuesta);
            QCOMPARE(int(r.Dato), esperado[celda]);
        }
        // Every frame went out twice: the first try timed out, the retry was answered.
        QCOMPARE(SimTramasRecibidas(sim.get()), 3 + 8);
        // Wait out the grace of the last frame, which would hold up the next test's first frame.
        QTest::qWait(EsperaMs(3000));
    }

    void puertoCerradoFallaSinEscribir()
    {
        QVERIFY(!MSCommDestellador().isOpen());
        const RespuestaQZL r = EnviarComando(Orden(1, 1, 0));
        QCOMPARE(r.Estado, EstadoSinRespuesta);
        QCOMPARE(r.Dato, uint8_t(0));
        QCOMPARE(Reintentos, uint8_t(0));
        QCOMPARE(TextoPanel1(), QStringLiteral("Error R  3"));
        QTest::qWait(50);
        QCOMPARE(SimTramasRecibidas(sim.get()), 0);
    }

    // The adapter disappears while a transaction waits: the try fails, the port is
    // closed, the remaining tries fail at once and the next transaction too.
    void lineaDesenchufadaDuranteLaEspera()
    {
        // The 2 s limit stays, so that failing at once shows.
        FallosSimulador f;
        f.Silencioso = true;
        SimFijarFallos(sim.get(), f);
        QTimer::singleShot(50, [&] { SimCerrarLinea(sim.get()); });
        QElapsedTimer reloj;
        reloj.start();
        const RespuestaQZL r = Transaccion(Orden(1, 5, 0));
        QCOMPARE(r.Estado, EstadoSinRespuesta);
        QVERIFY(!MSCommDestellador().isOpen());
        QCOMPARE(TextoPanel1(), QStringLiteral("Error R  3"));
        QCOMPARE(Reintentos, uint8_t(0));
        QCOMPARE(SimTramasRecibidas(sim.get()), 1);
        QVERIFY2(reloj.elapsed() < 1500, "a vanished port must not wait out its tries");

        const RespuestaQZL s = EnviarComando(Orden(1, 6, 0));
        QCOMPARE(s.Estado, EstadoSinRespuesta);
        QVERIFY(!OperacionEnCurso());
    }

    // Closed between two transactions of an operation (after the first reply).
    void lineaCerradaEntreTransacciones()
    {
        const RespuestaQZL a = Transaccion(Orden(1, 5, 0));
        QCOMPARE(a.Estado, EstadoRespuesta);
        SimCerrarLinea(sim.get());
        const RespuestaQZL b = EnviarComando(Orden(1, 6, 0));
        QCOMPARE(b.Estado, EstadoSinRespuesta);
        QVERIFY(!MSCommDestellador().isOpen());
        CerrarCom();
        QVERIFY(!AbrirCom());  // the link now points nowhere
    }

    // An event handled during the wait that would start a second transaction (a
    // handler that forgot OperacionEnCurso: open, send, close) gets nothing and
    // changes nothing; the waiting one goes on undisturbed.
    void segundaTransaccionDuranteLaEspera()
    {
        SimAplicar(sim.get(), "cell 50 51");
        FallosSimulador f;
        f.RetrasoMs = 60;
        SimFijarFallos(sim.get(), f);
        RespuestaQZL anidada;
        bool enCurso = false;
        QTimer::singleShot(20, [&] {
            enCurso = OperacionEnCurso();
            AbrirCom();
            anidada = EnviarComando(Orden(1, 99, 0));
            CerrarCom();
        });
        const RespuestaQZL r = Transaccion(Orden(1, 50, 0));
        QVERIFY(enCurso);
        QCOMPARE(anidada.Estado, EstadoSinRespuesta);
        QCOMPARE(r.Estado, EstadoRespuesta);
        QCOMPARE(r.Dato, uint8_t(51));
        QCOMPARE(SimRegistro(sim.get()), QStringList{"4B 58 00 00 01 32 00 CC"});
        QCOMPARE(Reintentos, uint8_t(0));
        QVERIFY(MSCommDestellador().isOpen());
    }

    void operacionEnCursoMientrasElPuertoEstaAbierto()
    {
        QVERIFY(!OperacionEnCurso());
        QVERIFY(AbrirCom());
        QVERIFY(OperacionEnCurso());
        CerrarCom();
        QVERIFY(!OperacionEnCurso());
    }

    void retardoVuelveEnSeguida_data()
    {
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("cuenta");
        QTest::newRow("zero ms") << 0 << std::numeric_limits<int32_t>::max();
        QTest::newRow("negative ms") << -1000 << std::numeric_limits<int32_t>::max();
        QTest::newRow("not calibrated") << 1000000 << 0;
        QTest::newRow("negative count") << 1000000 << -5;
    }

    void retardoVuelveEnSeguida()
    {
        QFETCH(int, ms);
        QFETCH(int, cuenta);
        CuentaMilisegundo = cuenta;
        QElapsedTimer reloj;
        reloj.start();
        Retardo(ms);
        QVERIFY(reloj.elapsed() < 100);
    }

    // Each byte leaves for the line before the pause after it: on a bare pseudo-terminal
    // the frame arrives byte by byte, spread over the seven 1 ms pauses. A peer that may
    // itself wake late on a busy machine sees some bytes together, but still at least
    // three parts over at least 4 ms; a frame written in one go, or without its pauses,
    // arrives in one or two parts within a fraction of a millisecond.
    void cadaByteSaleAntesDeSuPausa()
    {
        sim.reset();
        const int maestro = posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(maestro >= 0);
        QVERIFY(grantpt(maestro) == 0 && unlockpt(maestro) == 0);
        const QString esclavo = QString::fromLatin1(ptsname(maestro));
        QuitarEnlace(1);
        QVERIFY(QFile::link(esclavo, CarpetaPrueba() + QStringLiteral("/com1")));

        CuentaMilisegundo = 1;  // calibrated: the pauses run

        // A peer that notes when each part of the frame arrives, then answers it.
        std::vector<std::pair<std::chrono::steady_clock::time_point, int>> llegadas;
        std::thread lector([&] {
            PrepararHiloPuntual();
            char b[16];
            int total = 0;
            const auto fin = std::chrono::steady_clock::now() + std::chrono::seconds(3);
            while (total < 8 && std::chrono::steady_clock::now() < fin) {
                pollfd p{maestro, POLLIN, 0};
                if (poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
                    const ssize_t n = read(maestro, b, sizeof b);
                    if (n > 0) {
                        llegadas.emplace_back(std::chrono::steady_clock::now(), int(n));
                        total += int(n);
                    }
                }
            }
            const char respuesta[8] = {'K', 'X', 0, 0, 6, 1, 1, char(0xF9)};
            if (total == 8)
                (void)!write(maestro, respuesta, sizeof respuesta);
        });
        QVERIFY(AbrirCom());
        const RespuestaQZL r = EnviarComando(Orden(6, 1, 1));
        lector.join();
        CerrarCom();
        ::close(maestro);
        QuitarEnlace(1);

        QCOMPARE(r.Estado, EstadoRespuesta);
        QVERIFY(!llegadas.empty());
        const double extension =
            std::chrono::duration<double, std::milli>(llegadas.back().first - llegadas.front().first).count();
        QVERIFY2(llegadas.size() >= 3 && extension >= 4.0,
                 qPrintable(QStringLiteral("frame arrived in %1 parts over %2 ms").arg(llegadas.size()).arg(extension)));
    }
};

QTEST_MAIN(TstTransaccion)
#include "tst_transaccion.moc"
