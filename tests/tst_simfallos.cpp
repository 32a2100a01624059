// Faults drawn at random from a seed, and qzl-sim's switches that inject them: the draw
// is the same for the same seed, keeps to its rate and kinds, and the tool meets each
// kind on the line as a technician would watch it in the monitor.
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "sim/FallosAzar.h"
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <map>
#include <memory>
#include <vector>

namespace {

std::vector<RegistroLinea> registros;

void Guardar(const RegistroLinea& r)
{
    registros.push_back(r);
}

// The outcomes of the records from the controller, as short codes with the try.
QString Entradas()
{
    QStringList codigos;
    for (const RegistroLinea& r : registros) {
        if (r.sentido != SentidoLinea::Entrada)
            continue;
        const char* c = "?";
        switch (r.destino) {
        case DestinoLinea::RespuestaTomada: c = "R"; break;
        case DestinoLinea::TiempoAgotado: c = "T"; break;
        case DestinoLinea::Parcial: c = "P"; break;
        case DestinoLinea::BytesSueltos: c = "X"; break;
        case DestinoLinea::RespuestaTardia: c = "L"; break;
        case DestinoLinea::RespuestaAjena: c = "A"; break;
        case DestinoLinea::LineaPerdida: c = "C"; break;
        default: break;
        }
        codigos << QString::fromLatin1(c) + QString::number(r.intento);
    }
    return codigos.join(u' ');
}

struct Proceso {
    std::unique_ptr<QProcess> p;
    ~Proceso()
    {
        if (p && p->state() == QProcess::Running) {
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }
};

std::vector<FalloTrama> Sacar(const OpcionesAzar& o, int n)
{
    const SorteoFallos s = SorteoAzar(o);
    std::vector<FalloTrama> v;
    for (int i = 0; i < n; ++i)
        v.push_back(s(Trama{}, i));
    return v;
}

}  // namespace

class TstSimFallos : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
    }

    void cleanup()
    {
        CerrarCom();
        FijarOyenteLinea(nullptr);
        registros.clear();
    }

    void leerTipos_data()
    {
        QTest::addColumn<QString>("lista");
        QTest::addColumn<bool>("valida");
        QTest::addColumn<int>("cuantos");
        QTest::newRow("one") << "silent" << true << 1;
        QTest::newRow("several") << "late,partial,stray-after" << true << 3;
        QTest::newRow("all") << "all" << true << 6;
        QTest::newRow("unknown") << "silent,loud" << false << 0;
        QTest::newRow("empty name") << ",silent" << false << 0;
        QTest::newRow("nothing") << "" << false << 0;
    }

    void leerTipos()
    {
        QFETCH(QString, lista);
        QFETCH(bool, valida);
        QFETCH(int, cuantos);
        std::vector<FalloTrama::Tipo> tipos{FalloTrama::Tarde};
        std::string error;
        QCOMPARE(LeerTiposFallo(lista.toStdString(), tipos, &error), valida);
        if (valida)
            QCOMPARE(int(tipos.size()), cuantos);
        else
            QVERIFY(!error.empty() && tipos.size() == 1);  // left as it was
    }

    // The same seed draws the same faults; the rate and the kinds hold; the bytes drawn
    // never start a header, a partial reply keeps 1 to 7 bytes.
    void sorteoReproducible()
    {
        OpcionesAzar o;
        LeerTiposFallo("all", o.tipos);
        o.tasa = 0.25;
        o.semilla = 42;
        const std::vector<FalloTrama> a = Sacar(o, 4000);
        const std::vector<FalloTrama> b = Sacar(o, 4000);
        o.semilla = 43;
        const std::vector<FalloTrama> c = Sacar(o, 4000);
        int conFallo = 0;
        int distintos = 0;
        std::map<int, int> porTipo;
        for (size_t i = 0; i < a.size(); ++i) {
            QCOMPARE(int(a[i].tipo), int(b[i].tipo));
            QCOMPARE(a[i].Sueltos, b[i].Sueltos);
            QCOMPARE(a[i].Bytes, b[i].Bytes);
            distintos += a[i].tipo != c[i].tipo;
            conFallo += a[i].tipo != FalloTrama::Ninguno;
            ++porTipo[a[i].tipo];
            for (const uint8_t x : a[i].Sueltos)
                QVERIFY(x != 0x4B);
            if (a[i].tipo == FalloTrama::Parcial)
                QVERIFY(a[i].Bytes >= 1 && a[i].Bytes <= 7);
        }
        QVERIFY2(conFallo > 800 && conFallo < 1200, qPrintable(QString::number(conFallo)));
        QVERIFY(distintos > 100);
        QCOMPARE(int(porTipo.size()), 7);  // every kind, and frames without one
    }

    void sorteoDeUnosTipos()
    {
        OpcionesAzar o;
        LeerTiposFallo("late,line-pulled", o.tipos);
        o.tasa = 1.0;
        o.tardeMs = 1234;
        auto cortada = std::make_shared<std::atomic<bool>>(false);
        const SorteoFallos s = SorteoAzar(o, cortada);
        bool vistaTarde = false;
        bool vistoCorte = false;
        for (int i = 0; i < 200; ++i) {
            const FalloTrama f = s(Trama{}, i);
            QVERIFY(f.tipo == FalloTrama::Tarde || f.tipo == FalloTrama::CortarLinea);
            if (f.tipo == FalloTrama::Tarde) {
                QCOMPARE(f.Ms, 1234);
                vistaTarde = true;
            } else {
                vistoCorte = true;
            }
        }
        QVERIFY(vistaTarde && vistoCorte);
        QVERIFY(cortada->load());
        o.tasa = 0.0;
        for (const FalloTrama& f : Sacar(o, 200))
            QCOMPARE(int(f.tipo), int(FalloTrama::Ninguno));
    }

    // qzl-sim started with the switches: the tool meets each fault on the line.
    void conmutadores_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("entradas");
        QTest::addColumn<QString>("primerosBytes");  // of the reply taken
        QTest::newRow("silent") << QStringList{"--faults", "silent", "--rate", "1"} << "T1 T2 T3" << "";
        QTest::newRow("partial") << QStringList{"--faults", "partial", "--rate", "1", "--seed", "3"} << "P1 P2 P3" << "";
        QTest::newRow("stray before") << QStringList{"--faults", "stray-before", "--rate", "1"} << "X1 R1" << "4B 58";
        QTest::newRow("late") << QStringList{"--faults", "late", "--rate", "1", "--late-ms", "300"} << "T1 R2" << "4B 58";
        QTest::newRow("rate 0") << QStringList{"--faults", "all", "--rate", "0"} << "R1" << "4B 58";
        QTest::newRow("shape") << QStringList{"--shape", "zeros"} << "R1" << "00 00 00 00 00 00";
    }

    void conmutadores()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, entradas);
        QFETCH(QString, primerosBytes);
        FactorEsperas = 0.1;  // a 200 ms reply limit
        CuentaMilisegundo = 0;
        Proceso sim;
        sim.p = std::make_unique<QProcess>();
        sim.p->start(RutaQzlSim(), QStringList{"--demo", "--no-stdin", "--link", CarpetaPrueba() + "/com3"} + argumentos);
        QVERIFY(sim.p->waitForStarted(5000));
        QVERIFY(sim.p->waitForReadyRead(5000));
        QVERIFY(sim.p->readLine().startsWith("/dev/"));
        NumeroPuerto = 3;
        FijarPuerto(3);
        FijarOyenteLinea(&Guardar);
        QVERIFY(AbrirCom());
        ComandoQZL c{};
        c.Comando = 1;
        c.Indice = 17;
        const RespuestaQZL r = EnviarComando(c);
        QCOMPARE(Entradas(), entradas);
        QCOMPARE(r.Estado, entradas.contains(u'R') ? EstadoRespuesta : EstadoSinRespuesta);
        for (const RegistroLinea& x : registros) {
            if (x.destino == DestinoLinea::RespuestaTomada)
                QVERIFY(QString::fromLatin1(x.bytes.toHex(' ').toUpper()).startsWith(primerosBytes));
        }
    }

    // A drawn pull closes the line, which comes back by itself after --back-ms.
    void lineaQueVuelve()
    {
        FactorEsperas = 0.1;
        Proceso sim;
        sim.p = std::make_unique<QProcess>();
        sim.p->start(RutaQzlSim(), QStringList{"--demo", "--no-stdin", "--link", CarpetaPrueba() + "/com4", "--faults",
                                                "line-pulled", "--rate", "1", "--seed", "9", "--back-ms", "300"});
        QVERIFY(sim.p->waitForStarted(5000));
        QVERIFY(sim.p->waitForReadyRead(5000));
        sim.p->readLine();
        NumeroPuerto = 4;
        FijarPuerto(4);
        QVERIFY(AbrirCom());
        ComandoQZL c{};
        c.Comando = 1;
        EnviarComando(c);  // answered first or not, as drawn
        CerrarCom();
        const QString enlace = CarpetaPrueba() + QStringLiteral("/com4");
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(enlace).symLinkTarget(), QStringLiteral("/dev/null/qzl-line-pulled"), 2000);
        QVERIFY(!AbrirCom());
        QByteArray errores;
        QTRY_VERIFY_WITH_TIMEOUT((errores += sim.p->readAllStandardError()).contains("line back on"), 5000);
        QVERIFY(QFileInfo(enlace).symLinkTarget().startsWith(u"/dev/"));
        QVERIFY(AbrirCom());
    }

    void conmutadoresRechazados_data()
    {
        QTest::addColumn<QStringList>("argumentos");
        QTest::addColumn<QString>("mensaje");
        QTest::newRow("unknown fault") << QStringList{"--faults", "loud"} << "unknown fault 'loud'";
        QTest::newRow("rate above 1") << QStringList{"--faults", "silent", "--rate", "1.5"} << "--rate";
        QTest::newRow("rate not a number") << QStringList{"--rate", "half"} << "--rate";
        QTest::newRow("seed not a number") << QStringList{"--seed", "x1"} << "--seed";
        QTest::newRow("unknown shape") << QStringList{"--shape", "round"} << "unknown shape 'round'";
    }

    void conmutadoresRechazados()
    {
        QFETCH(QStringList, argumentos);
        QFETCH(QString, mensaje);
        QProcess p;
        p.start(RutaQzlSim(), QStringList{"--no-stdin"} + argumentos);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY2(p.readAllStandardError().contains(mensaje.toUtf8()), qPrintable(mensaje));
    }
};

QTEST_MAIN(TstSimFallos)
#include "tst_simfallos.moc"
