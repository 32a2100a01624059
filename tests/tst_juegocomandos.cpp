// The program's command set against the simulator's: each command the program sends,
// built from the program's own constants, goes through the simulator's protocol core,
// which keeps its own numbers; the answer (and the effect) must be the one relied on.
// A constant that drifts on either side breaks its row.
#include "link/JuegoComandos.h"
#include "link/Transaccion.h"
#include "sim/Simulador.h"

#include <QtTest>

namespace {

// A controller whose every answer is distinct, so that a wrong index or command shows.
EstadoSimulador Controlador()
{
    EstadoSimulador e;
    for (int a = 0; a < 256; ++a)
        e.Celdas[size_t(a)] = uint8_t(a ^ 0x5A);
    for (int i = 0; i < BytesPresencia; ++i)
        e.Presencia[size_t(i)] = uint8_t(0x80 | i);
    e.Estado0 = 0x11;
    e.Estado1 = 0x22;
    e.CorrienteActual = 0x3344;
    e.VelocidadActual = 0x5566;
    e.CorrienteLeds = 0x7788;
    e.Entradas = 0x99;
    e.Salidas = 0xAA;
    e.Salidas9a11 = 0x05;
    for (int s = 0; s < 4; ++s)
        for (int o = 0; o < 256; ++o)
            e.Segmentos[size_t(s)][size_t(o)] = uint8_t(o + 16 * s);
    return e;
}

// The simulator's reply to the frame the program writes for this command.
Trama Responder(EstadoSimulador& e, uint8_t comando, uint8_t indice, uint8_t dato = 0)
{
    ComandoQZL c{};
    c.Comando = comando;
    c.Indice = indice;
    c.Dato = dato;
    const QByteArray trama = TramaComando(c);
    return ResponderTrama(e, reinterpret_cast<const uint8_t*>(trama.constData()));
}

}  // namespace

class JuegoComandosPrueba : public QObject {
    Q_OBJECT

private slots:
    // Commands with an answer: the answer in reply byte 6 is the one each caller relies on.
    void respuestas_data()
    {
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("respuesta");
        QTest::newRow("celda 0") << int(ComandoLeerParametro) << 0 << (0 ^ 0x5A);
        QTest::newRow("celda 37") << int(ComandoLeerParametro) << 37 << (37 ^ 0x5A);
        QTest::newRow("celda 255") << int(ComandoLeerParametro) << 255 << (255 ^ 0x5A);
        QTest::newRow("estado 0") << int(ComandoEstado) << int(IndiceEstado0) << 0x11;
        QTest::newRow("estado 1") << int(ComandoEstado) << int(IndiceEstado1) << 0x22;
        QTest::newRow("corriente alto") << int(ComandoEstado) << int(IndiceCorrienteActual) << 0x33;
        QTest::newRow("corriente bajo") << int(ComandoEstado) << IndiceCorrienteActual + 1 << 0x44;
        QTest::newRow("velocidad alto") << int(ComandoEstado) << int(IndiceVelocidadActual) << 0x55;
        QTest::newRow("velocidad bajo") << int(ComandoEstado) << IndiceVelocidadActual + 1 << 0x66;
        QTest::newRow("leds alto") << int(ComandoEstado) << int(IndiceCorrienteLeds) << 0x77;
        QTest::newRow("leds bajo") << int(ComandoEstado) << IndiceCorrienteLeds + 1 << 0x88;
        QTest::newRow("entradas") << int(ComandoEstado) << int(IndiceEntradas) << 0x99;
        QTest::newRow("salidas 1 a 8") << int(ComandoEstado) << int(IndiceSalidas1a8) << 0xAA;
        QTest::newRow("salidas 9 a 11") << int(ComandoEstado) << int(IndiceSalidas9a11) << 0x05;
        QTest::newRow("presencia 0") << int(ComandoPresencia) << 0 << 0x80;
        QTest::newRow("presencia 31") << int(ComandoPresencia) << BytesPresencia - 1 << (0x80 | 31);
        for (int s = 1; s <= 4; ++s) {
            const int base = 16 * (s - 1);
            QTest::addRow("segmento %d offset 0", s) << int(ComandoLeerSegmentoN(s)) << 0 << base;
            QTest::addRow("segmento %d offset 194", s) << int(ComandoLeerSegmentoN(s)) << 194 << ((194 + base) & 0xFF);
        }
    }
    void respuestas()
    {
        QFETCH(int, comando);
        QFETCH(int, indice);
        QFETCH(int, respuesta);
        EstadoSimulador e = Controlador();
        const EstadoSimulador antes = e;
        const Trama r = Responder(e, uint8_t(comando), uint8_t(indice));
        QCOMPARE(int(r[4]), comando);
        QCOMPARE(int(r[5]), indice);
        QCOMPARE(int(r[6]), respuesta);
        QVERIFY(e == antes);  // asking changes nothing
    }

    // Commands without an answer: each has the effect the program sends it for, on the
    // cell or segment byte the simulator holds apart (segmento 0: a parameter cell).
    void escrituras_data()
    {
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("segmento");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("dato");
        QTest::newRow("celda 40") << int(ComandoEscribirParametro) << 0 << 40 << 7;
        QTest::newRow("celda 255") << int(ComandoEscribirParametro) << 0 << 255 << 200;
        for (int s = 1; s <= 4; ++s) {
            QTest::addRow("segmento %d offset 3", s) << int(ComandoEscribirSegmentoN(s)) << s << 3 << 0xC0 + s;
            QTest::addRow("segmento %d offset 128", s) << int(ComandoEscribirSegmentoN(s)) << s << 128 << 0xD0 + s;
        }
    }
    void escrituras()
    {
        QFETCH(int, comando);
        QFETCH(int, segmento);
        QFETCH(int, indice);
        QFETCH(int, dato);
        EstadoSimulador e = Controlador();
        EstadoSimulador esperado = e;
        if (segmento == 0)
            esperado.Celdas[size_t(indice)] = uint8_t(dato);
        else
            esperado.Segmentos[size_t(segmento - 1)][size_t(indice)] = uint8_t(dato);
        const Trama r = Responder(e, uint8_t(comando), uint8_t(indice), uint8_t(dato));
        QCOMPARE(int(r[4]), comando);
        QVERIFY(e == esperado);
    }

    // The nine operating commands. The simulator only remembers function and state, so
    // the controller's numbers stand here as written in its command list: lamp changer
    // 0, day/night 1 (normal 0, day 1, night 2), mains-failure sector 2, motor 3.
    void ordenes_data()
    {
        QTest::addColumn<int>("funcion");
        QTest::addColumn<int>("dato");
        QTest::addColumn<int>("funcionControlador");
        QTest::addColumn<int>("datoControlador");
        QTest::newRow("cambiador off") << int(FuncionCambiador) << int(DatoApagado) << 0 << 0;
        QTest::newRow("cambiador on") << int(FuncionCambiador) << int(DatoEncendido) << 0 << 1;
        QTest::newRow("normal") << int(FuncionDiaNoche) << int(DatoNormal) << 1 << 0;
        QTest::newRow("dia") << int(FuncionDiaNoche) << int(DatoDia) << 1 << 1;
        QTest::newRow("noche") << int(FuncionDiaNoche) << int(DatoNoche) << 1 << 2;
        QTest::newRow("fallo de red off") << int(FuncionFalloRed) << int(DatoApagado) << 2 << 0;
        QTest::newRow("fallo de red on") << int(FuncionFalloRed) << int(DatoEncendido) << 2 << 1;
        QTest::newRow("motor 1") << int(FuncionMotor) << int(DatoMotor1) << 3 << 0;
        QTest::newRow("motor 2") << int(FuncionMotor) << int(DatoMotor2) << 3 << 1;
    }
    void ordenes()
    {
        QFETCH(int, funcion);
        QFETCH(int, dato);
        QFETCH(int, funcionControlador);
        QFETCH(int, datoControlador);
        EstadoSimulador e = Controlador();
        EstadoSimulador esperado = e;
        esperado.UltimaOrden[size_t(funcionControlador)] = int16_t(datoControlador);
        const Trama r = Responder(e, ComandoOrden, uint8_t(funcion), uint8_t(dato));
        QCOMPARE(int(r[4]), 6);
        QVERIFY(e == esperado);
    }
};

QTEST_MAIN(JuegoComandosPrueba)
#include "tst_juegocomandos.moc"
