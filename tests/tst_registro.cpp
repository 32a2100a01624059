// The records of the line read back: what each frame means in the window's language, the
// daily service log (its lines, its midnight roll-over, its old files, a log that cannot
// be written), and, under a table of line faults, a log that holds exactly the frames the
// controller received, in order, each with what became of it.
#include "app/ModuloKX.h"
#include "comparacion/Comparar.h"
#include "comparacion/Diferencias.h"
#include "flash/Colores.h"
#include "flash/PaginaEstado.h"
#include "flash/ValoresInstantaneos.h"
#include "link/Comandos.h"
#include "link/JuegoComandos.h"
#include "link/Operacion.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "registro/Registro.h"
#include "support/EnlacePrueba.h"
#include "support/PruebaE2e.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"
#include "params/Escritura.h"
#include "params/Lectura.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

ComandoQZL Orden(uint8_t comando, uint8_t indice, uint8_t dato = 0)
{
    ComandoQZL c{};
    c.Comando = comando;
    c.Indice = indice;
    c.Dato = dato;
    return c;
}

RegistroLinea Registro(const ComandoQZL& c, DestinoLinea destino, const QByteArray& bytes)
{
    RegistroLinea r;
    r.comando = c;
    r.destino = destino;
    r.sentido = destino == DestinoLinea::Enviada ? SentidoLinea::Salida : SentidoLinea::Entrada;
    r.bytes = bytes;
    return r;
}

int64_t relojPrueba = 0;
int64_t RelojPrueba()
{
    return relojPrueba;
}

int64_t MsLocal(const QString& texto)
{
    return QDateTime::fromString(texto, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toMSecsSinceEpoch();
}

QStringList Lineas(const QString& archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// One log line as a short code: direction (> out, < in), outcome, try.
QString Codigo(const QStringList& campos)
{
    static const QList<std::pair<QString, QString>> resultados = {
        {QStringLiteral("sent"), QStringLiteral("S")},
        {QStringLiteral("reply taken"), QStringLiteral("R")},
        {QStringLiteral("timeout"), QStringLiteral("T")},
        {QStringLiteral("partial: "), QStringLiteral("P")},
        {QStringLiteral("line lost"), QStringLiteral("C")},
        {QStringLiteral("stray bytes skipped"), QStringLiteral("X")},
        {QStringLiteral("late reply dropped"), QStringLiteral("L")},
        {QStringLiteral("reply of another frame dropped"), QStringLiteral("A")},
    };
    QString codigo = campos[2] == QStringLiteral("To the controller") ? QStringLiteral(">") : QStringLiteral("<");
    for (const auto& [texto, letra] : resultados) {
        if (campos[5].startsWith(texto)) {
            codigo += letra;
            break;
        }
    }
    return codigo + campos[3];
}

}  // namespace

class TstRegistro : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    std::unique_ptr<QTemporaryDir> carpeta;
    QString carpetaArranque;

    // The log's lines after the header, each split into its columns.
    QList<QStringList> LineasDelDia(int64_t ms)
    {
        VaciarRegistro();
        QList<QStringList> lineas;
        const QStringList todas = Lineas(ArchivoRegistro(ms));
        for (int i = 1; i < todas.size(); ++i)
            lineas << todas[i].split(u'\t');
        return lineas;
    }

private slots:
    void initTestCase()
    {
        // One zone with summer time, so that the offset written is seen to follow the date.
        qputenv("TZ", "Europe/Madrid");
        tzset();
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
        // Files from before this start-up: the start-up removes the one past 90 days.
        const QDate hoy = QDate::currentDate();
        QDir().mkpath(CarpetaRegistro());
        for (const int dias : {100, 10}) {
            QFile f(CarpetaRegistro() + QStringLiteral("/qzl-") + hoy.addDays(-dias).toString(Qt::ISODate) + QStringLiteral(".log"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        carpetaArranque = CarpetaRegistro();
        CrearVentanaPrueba();
    }

    void arranqueBorraLosAntiguos()
    {
        const QDate hoy = QDate::currentDate();
        QCOMPARE(QDir(carpetaArranque).entryList({QStringLiteral("qzl-*.log")}, QDir::Files),
                 QStringList{QStringLiteral("qzl-") + hoy.addDays(-10).toString(Qt::ISODate) + QStringLiteral(".log")});
    }

    void init()
    {
        ReiniciarEstadoPrueba();
        FijarTablaIdioma(TablaIngles);
        carpeta = std::make_unique<QTemporaryDir>();
        FijarCarpetaRegistro(carpeta->filePath(QStringLiteral("logs")));
    }

    void cleanup()
    {
        CerrarCom();
        sim.reset();
        FijarRelojLinea(nullptr);
        VaciarRegistro();
    }

    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        FijarTablaIdioma(-1);
    }

    void significado_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::addColumn<int>("dato");
        QTest::addColumn<int>("destino");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("significado");
        const int enviada = int(DestinoLinea::Enviada);
        const int tomada = int(DestinoLinea::RespuestaTomada);
        QTest::newRow("read, first of two cells") << int(TablaIngles) << 1 << 17 << 0 << enviada << QByteArray()
            << "Read parameter 17 Light level Beacon ON, high byte";
        QTest::newRow("read, second of two cells") << int(TablaIngles) << 1 << 18 << 0 << enviada << QByteArray()
            << "Read parameter 18 Light level Beacon ON, low byte";
        QTest::newRow("read, middle of three") << int(TablaIngles) << 1 << 13 << 0 << enviada << QByteArray()
            << "Read parameter 13 Reducer Ratio, middle byte";
        QTest::newRow("read, one cell") << int(TablaIngles) << 1 << 38 << 0 << enviada << QByteArray()
            << "Read parameter 38 Lamp 1 type";
        QTest::newRow("read, identifier") << int(TablaIngles) << 1 << 233 << 0 << enviada << QByteArray()
            << "Read parameter 233 Identifier, character 3";
        QTest::newRow("read, fixed caption") << int(TablaIngles) << 1 << 59 << 0 << enviada << QByteArray()
            << "Read parameter 59 Pulso sincronismo (0-255s.)";
        QTest::newRow("read, no field") << int(TablaIngles) << 1 << 100 << 0 << enviada << QByteArray()
            << "Read parameter 100";
        QTest::newRow("read, answer") << int(TablaIngles) << 1 << 17 << 0 << tomada
            << QByteArray::fromHex("4B580000011130FF") << "Read parameter 17 Light level Beacon ON, high byte; answer 48";
        QTest::newRow("write") << int(TablaIngles) << 2 << 37 << 200 << enviada << QByteArray()
            << "Write parameter 37 Delay lamp photocell, low byte: 200";
        QTest::newRow("status byte, answer in bits") << int(TablaIngles) << 5 << 0 << 0 << tomada
            << QByteArray::fromHex("4B58000005005AFF") << "Status: status byte 0; answer 90 (01011010)";
        QTest::newRow("status, speed low byte") << int(TablaIngles) << 5 << 5 << 0 << enviada << QByteArray()
            << "Status: Instant speed, low byte";
        QTest::newRow("status, outputs 9 to 11") << int(TablaIngles) << 5 << 10 << 0 << enviada << QByteArray()
            << "Status: outputs 9 to 11";
        QTest::newRow("operating command") << int(TablaIngles) << 6 << 1 << 2 << enviada << QByteArray()
            << "Operating command: Day Night control: Night";
        QTest::newRow("motor") << int(TablaIngles) << 6 << 3 << 1 << enviada << QByteArray()
            << "Operating command: Motor 2";
        QTest::newRow("presence byte, answer") << int(TablaIngles) << 128 << 3 << 0 << tomada
            << QByteArray::fromHex("4B5800008003C3FF") << "Presence map byte 3 (addresses 24 to 31); answer 195 (11000011)";
        QTest::newRow("segment write") << int(TablaIngles) << 133 << 130 << 9 << enviada << QByteArray()
            << "Write flash segment 3, offset 130: 9";
        QTest::newRow("segment read") << int(TablaIngles) << 136 << 5 << 0 << enviada << QByteArray()
            << "Read flash segment 2, offset 5";
        QTest::newRow("unknown command") << int(TablaIngles) << 7 << 0 << 0 << enviada << QByteArray()
            << "Unknown command 7";
        // A dropped reply means the frame it repeats, not the one it met.
        QTest::newRow("another frame's reply") << int(TablaIngles) << 1 << 18 << 0 << int(DestinoLinea::RespuestaAjena)
            << QByteArray::fromHex("4B58000001051DFF") << "Read parameter 5 User Speed 2, low byte";
        QTest::newRow("Spanish caption") << int(TablaEspanol) << 1 << 17 << 0 << enviada << QByteArray()
            << "Leer parámetro 17 Nivel luz baliza ON, byte alto";
        QTest::newRow("French command") << int(TablaFrances) << 6 << 1 << 1 << enviada << QByteArray()
            << "Commande de fonctionnement: Controlle jour/ Nuit: Jour";
    }

    void significado()
    {
        QFETCH(int, tabla);
        QFETCH(int, comando);
        QFETCH(int, indice);
        QFETCH(int, dato);
        QFETCH(int, destino);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, significado);
        FijarTablaIdioma(tabla);
        const RegistroLinea r = Registro(Orden(uint8_t(comando), uint8_t(indice), uint8_t(dato)), DestinoLinea(destino), bytes);
        QCOMPARE(SignificadoRegistro(r), significado);
    }

    // Local time with the date, the milliseconds and the offset of that date.
    void lineaDelRegistro_data()
    {
        QTest::addColumn<QString>("utc");
        QTest::addColumn<QString>("hora");
        QTest::newRow("summer") << "2026-07-01T12:00:00.123Z" << "2026-07-01 14:00:00.123 +02:00";
        QTest::newRow("winter") << "2026-01-31T23:30:00.007Z" << "2026-02-01 00:30:00.007 +01:00";
    }

    void lineaDelRegistro()
    {
        QFETCH(QString, utc);
        QFETCH(QString, hora);
        RegistroLinea r = Registro(Orden(1, 17), DestinoLinea::Parcial, QByteArray::fromHex("4B5800"));
        r.ms = QDateTime::fromString(utc, Qt::ISODateWithMs).toMSecsSinceEpoch();
        r.operacion = TipoOperacion::Lectura;
        r.intento = 2;
        QCOMPARE(LineaRegistro(r).split(u'\t'),
                 (QStringList{hora, "Read", "From the controller", "2", "4B 58 00", "partial: 3 bytes",
                              "Read parameter 17 Light level Beacon ON, high byte"}));
        QCOMPARE(CabeceraRegistro().split(u'\t').size(), 7);
    }

    // The day's file is chosen by the record's local date: a transaction either side of
    // midnight writes into two files, each with its header once.
    void ficheroDiarioAMedianoche()
    {
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        FijarRelojLinea(&RelojPrueba);
        QVERIFY(AbrirCom());
        const int64_t antes = MsLocal(QStringLiteral("2026-03-14 23:59:59.950"));
        const int64_t despues = MsLocal(QStringLiteral("2026-03-15 00:00:00.020"));
        relojPrueba = antes;
        QCOMPARE(EnviarComando(Orden(1, 17)).Estado, EstadoRespuesta);
        relojPrueba = despues;
        QCOMPARE(EnviarComando(Orden(1, 18)).Estado, EstadoRespuesta);
        QCOMPARE(EnviarComando(Orden(1, 19)).Estado, EstadoRespuesta);
        VaciarRegistro();
        QCOMPARE(QDir(CarpetaRegistro()).entryList(QDir::Files),
                 (QStringList{"qzl-2026-03-14.log", "qzl-2026-03-15.log"}));
        const QStringList dia14 = Lineas(ArchivoRegistro(antes));
        const QStringList dia15 = Lineas(ArchivoRegistro(despues));
        QCOMPARE(dia14.size(), 1 + 2);
        QCOMPARE(dia15.size(), 1 + 4);
        QCOMPARE(dia14[0], CabeceraRegistro());
        QCOMPARE(dia15[0], CabeceraRegistro());
        QVERIFY2(dia14[1].startsWith(u"2026-03-14 23:59:59.950 +01:00\t"), qPrintable(dia14[1]));
        QVERIFY2(dia15[1].startsWith(u"2026-03-15 00:00:00.020 +01:00\t"), qPrintable(dia15[1]));
        QVERIFY(dia14[1].contains(u"\t4B 58 00 00 01 11 00 EF\t"));
        QVERIFY(dia15[3].contains(u"\t4B 58 00 00 01 13 00 ED\t"));
    }

    // Only files of this log older than 90 days go; anything else in the folder stays.
    void ficherosAntiguosBorrados()
    {
        const QDate hoy(2026, 12, 11);
        QDir().mkpath(CarpetaRegistro());
        const QStringList nombres = {
            "qzl-" + hoy.addDays(-91).toString(Qt::ISODate) + ".log",
            "qzl-" + hoy.addDays(-400).toString(Qt::ISODate) + ".log",
            "qzl-" + hoy.addDays(-90).toString(Qt::ISODate) + ".log",
            "qzl-" + hoy.toString(Qt::ISODate) + ".log",
            "qzl-2026-13-40.log",
            "qzl-" + hoy.addDays(-91).toString(Qt::ISODate) + ".log.txt",
            "notes.txt",
        };
        for (const QString& n : nombres) {
            QFile f(CarpetaRegistro() + u'/' + n);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        BorrarRegistrosAntiguos(MsLocal(hoy.toString(Qt::ISODate) + QStringLiteral(" 08:00:00.000")));
        QStringList quedan = QDir(CarpetaRegistro()).entryList(QDir::Files);
        QStringList esperados = nombres.mid(2);
        quedan.sort();
        esperados.sort();
        QCOMPARE(quedan, esperados);
    }

    // A log that cannot be written: the commands still work and show their outcome, and
    // panel 1 says so once, after it.
    void registroNoEscribible()
    {
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        QFile tapon(carpeta->filePath(QStringLiteral("file")));
        QVERIFY(tapon.open(QIODevice::WriteOnly));
        tapon.close();
        FijarCarpetaRegistro(tapon.fileName() + QStringLiteral("/logs"));
        const QString aviso = TextoRecurso(TextoRegistroNoEscrito).arg(QDir::toNativeSeparators(ArchivoRegistro(AhoraLinea())));
        CDia_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in day mode"));
        QCOMPARE(SimEstado(sim.get()).UltimaOrden[FuncionDiaNoche], int16_t(DatoDia));
        VaciarRegistro();
        QTest::qWait(500);
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in day mode"));
        QTRY_COMPARE_WITH_TIMEOUT(TextoPanel1(), aviso, 5000);
        CNoche_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in night mode"));
        QCOMPARE(SimEstado(sim.get()).UltimaOrden[FuncionDiaNoche], int16_t(DatoNoche));
        VaciarRegistro();
        QTest::qWait(2000);
        QCOMPARE(TextoPanel1(), QStringLiteral(" QZL is in night mode"));
        QCOMPARE(HistorialPanel1().count(aviso), 1);
        QVERIFY(HistorialPanel1().indexOf(aviso) > HistorialPanel1().indexOf(QStringLiteral(" QZL is in day mode")));
    }

    // Three cells read in one operation while the controller meets a fault: the log holds
    // the very frames it received, in order, and what became of every try.
    void registroComoLaLinea_data()
    {
        QTest::addColumn<int>("fallo");      // FalloTrama::Tipo on frame numero
        QTest::addColumn<int>("numero");
        QTest::addColumn<int>("primerIntentoTarde");  // ms; 0: none
        QTest::addColumn<QString>("codigos");  // a pattern of the whole sequence
        QTest::newRow("none") << int(FalloTrama::Ninguno) << 0 << 0 << ">S1 <R1 / >S1 <R1 / >S1 <R1";
        QTest::newRow("silent") << int(FalloTrama::Silencio) << 0 << 0 << ">S1 <T1 >S2 <R2 / >S1 <R1 / >S1 <R1";
        QTest::newRow("partial") << int(FalloTrama::Parcial) << 0 << 0 << ">S1 <P1 >S2 <R2 / >S1 <R1 / >S1 <R1";
        QTest::newRow("stray before") << int(FalloTrama::BytesAntes) << 1 << 0 << ">S1 <R1 / >S1 <X1 <R1 / >S1 <R1";
        QTest::newRow("stray after") << int(FalloTrama::BytesDespues) << 0 << 0 << ">S1 <R1 / <X1 >S1 <R1 / >S1 <R1";
        // Every first try answered 50 ms past the limit, its retry in time: the late reply
        // is dropped before the next frame goes.
        QTest::newRow("late") << int(FalloTrama::Ninguno) << 0 << 250
                              << ">S1 <T1 >S2 <R2 / <L1 >S1 <T1 >S2 <R2 / <L1 >S1 <T1 >S2 <R2";
        // The tool may still hand the line a retry before it sees the line gone: that frame
        // is sent, but no controller ever receives it.
        QTest::newRow("line pulled") << int(FalloTrama::CortarLinea) << 1 << 0
                                     << ">S1 <R1 / >S1 (<T1 >S2 <C2 >C3|<C1 >C2 >C3) / >C1 >C2 >C3";
    }

    void registroComoLaLinea()
    {
        QFETCH(int, fallo);
        QFETCH(int, numero);
        QFETCH(int, primerIntentoTarde);
        QFETCH(QString, codigos);
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        FactorEsperas = 0.1;  // a 200 ms reply limit
        CuentaMilisegundo = 1;  // the real pauses: stray bytes after a reply come within the 20 ms
        FallosSimulador f;
        f.RetrasoPrimerIntentoMs = primerIntentoTarde;
        SimFijarFallos(sim.get(), f);
        SimFijarSorteo(sim.get(), [fallo, numero](const Trama&, int n) {
            FalloTrama ft;
            if (n == numero) {
                ft.tipo = FalloTrama::Tipo(fallo);
                ft.Bytes = 3;
                ft.Ms = 2;
                ft.Sueltos = {0x01, 0xFE};
            }
            return ft;
        });
        const int64_t inicio = AhoraLinea();
        const int celdas[] = {17, 18, 19};
        {
            OpcionesOperacion o;
            o.tipo = TipoOperacion::Lectura;
            Operacion op(o);
            QVERIFY(op.Activa());
            QVERIFY(op.AbrirPuerto());
            for (const int celda : celdas) {
                RespuestaQZL r;
                QVERIFY(op.Enviar(Orden(1, uint8_t(celda)), r));
            }
        }
        const QList<QStringList> lineas = LineasDelDia(inicio);
        QVERIFY(!lineas.isEmpty());

        // The frames sent whole are the frames the controller received, in order.
        QStringList enviadas;
        QStringList recibidas;
        for (const QString& l : SimRegistro(sim.get())) {
            if (!l.startsWith(u"stray"))
                recibidas << l;
        }
        for (const QStringList& c : lineas) {
            QCOMPARE(c.size(), 7);
            QCOMPARE(c[1], QStringLiteral("Read"));
            if (c[5] == u"sent")
                enviadas << c[4];
        }
        if (fallo == FalloTrama::CortarLinea) {
            QCOMPARE(recibidas.size(), 2);
            QCOMPARE(enviadas.mid(0, 2), recibidas);
        } else {
            QCOMPARE(enviadas, recibidas);
        }
        // Codes, grouped by the frame they belong to (its meaning).
        QStringList grupos;
        QString anterior;
        for (const QStringList& c : lineas) {
            const QString cual = c[6].section(u';', 0, 0);
            if (cual != anterior && !anterior.isEmpty())
                grupos << QStringLiteral("/");
            anterior = cual;
            grupos << Codigo(c);
        }
        const QString visto = grupos.join(u' ');
        QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(codigos)).match(visto).hasMatch(),
                 qPrintable(visto));
        // Every reply taken names its cell and the answer the controller holds.
        const EstadoSimulador estado = SimEstado(sim.get());
        for (const QStringList& c : lineas) {
            if (c[5] != u"reply taken")
                continue;
            const int celda = IndiceDeRegistro(c[4]);
            QVERIFY2(c[6].startsWith(QStringLiteral("Read parameter %1 Light level Beacon").arg(celda)), qPrintable(c[6]));
            QVERIFY2(c[6].endsWith(QStringLiteral("; answer %1").arg(estado.Celdas[size_t(celda)])), qPrintable(c[6]));
        }
    }

    // Every record of an operation's frames names that operation: the identification that
    // starts a read or a compare, and the read-back of a verified write, included.
    void operacionDeCadaManejador_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QString>("operacion");
        QTest::newRow("read") << 0 << QStringLiteral("Read");
        QTest::newRow("write") << 1 << QStringLiteral("Write");
        QTest::newRow("verified write") << 2 << QStringLiteral("Write");
        QTest::newRow("compare") << 3 << QStringLiteral("Compare");
        QTest::newRow("colour write") << 4 << QStringLiteral("Colour write");
        QTest::newRow("colour read") << 5 << QStringLiteral("Colour read");
        QTest::newRow("status") << 6 << QStringLiteral("Status");
        QTest::newRow("live values") << 7 << QStringLiteral("Live values");
        QTest::newRow("direct command") << 8 << QStringLiteral("Direct command: Day Night control: Day");
    }

    void operacionDeCadaManejador()
    {
        QFETCH(int, caso);
        QFETCH(QString, operacion);
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        FactorEsperas = 0.1;
        auto& v = Ventana();
        if (caso == 1 || caso == 2) {
            CLeer_Click();
            QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        }
        v.chkVerificar->setChecked(caso == 2);
        v.chkEstado->setChecked(caso == 6);
        const qsizetype antes = LineasDelDia(AhoraLinea()).size();
        const qsizetype recibidasAntes = SimRegistro(sim.get()).size();
        switch (caso) {
        case 0: CLeer_Click(); break;
        case 1:
        case 2: CEscribir_Click(); break;
        case 3: CompararConControlador(false); break;
        case 4: CEscribirColores_Click(); break;
        case 5: CLeerColores_Click(); break;
        case 6: CInterrogar_Click(); break;
        case 7: btnVerValoresInstantaneos_Click(); break;
        case 8: CDia_Click(); break;
        }
        v.chkVerificar->setChecked(false);
        if (QDialog* d = FormularioDiferencias())
            d->close();
        const QList<QStringList> lineas = LineasDelDia(AhoraLinea()).mid(antes);
        QStringList significados;
        for (const QStringList& c : lineas) {
            QCOMPARE(c.size(), 7);
            QVERIFY2(c[1] == operacion, qPrintable(c.join(u" | ")));
            if (c[5] == u"sent")
                significados << c[6];
        }
        // The frames recorded are those the controller received, so none went unnamed.
        QCOMPARE(significados.size(), SimRegistro(sim.get()).size() - recibidasAntes);
        QVERIFY(!significados.isEmpty());
        if (caso == 0 || caso == 3)
            QVERIFY2(significados.first().startsWith(QStringLiteral("Presence map byte 0")), qPrintable(significados.first()));
        if (caso == 2)
            QVERIFY2(significados.last().startsWith(QStringLiteral("Read parameter")), qPrintable(significados.last()));
    }

    // Once the controller's replies are seen to repeat the frame, a reply to an earlier
    // cell whose try gave up is dropped as that cell's, however late, and named so in the log.
    void respuestaAjenaEnElRegistro()
    {
        sim = IniciarSimuladorPrueba(1);
        QVERIFY(sim);
        FactorEsperas = 0.1;
        // Frames 0 to 2 teach the echo; cell 0's first try (frame 3) gets no reply; its
        // reply comes late, just before cell 1's own.
        EstadoSimulador copia = SimEstado(sim.get());
        const Trama tardia = ResponderTrama(copia, ConstruirTrama(1, 0, 0).data());
        SimFijarSorteo(sim.get(), [tardia](const Trama&, int n) {
            FalloTrama f;
            if (n == 3)
                f.tipo = FalloTrama::Silencio;
            if (n == 5) {
                f.tipo = FalloTrama::BytesAntes;
                f.Sueltos.assign(tardia.begin(), tardia.end());
                f.Ms = 2;
            }
            return f;
        });
        const int64_t inicio = AhoraLinea();
        {
            OpcionesOperacion o;
            o.tipo = TipoOperacion::Lectura;
            Operacion op(o);
            QVERIFY(op.AbrirPuerto());
            RespuestaQZL r;
            for (const int celda : {10, 11, 12, 0, 1}) {
                QVERIFY(op.Enviar(Orden(1, uint8_t(celda)), r));
                QCOMPARE(r.Estado, EstadoRespuesta);
                QCOMPARE(r.Dato, SimEstado(sim.get()).Celdas[size_t(celda)]);
            }
        }
        const QList<QStringList> lineas = LineasDelDia(inicio);
        QStringList codigos;
        QStringList enviadas;
        for (const QStringList& c : lineas) {
            codigos << Codigo(c);
            if (c[5] == u"sent")
                enviadas << c[4];
        }
        QCOMPARE(codigos.join(u' '), QStringLiteral(">S1 <R1 >S1 <R1 >S1 <R1 >S1 <T1 >S2 <R2 >S1 <A1 <R1"));
        QCOMPARE(enviadas, SimRegistro(sim.get()));
        const QStringList& ajena = lineas[lineas.size() - 2];
        QCOMPARE(ajena[4], QString::fromStdString(TramaHex(tardia.data())));
        QCOMPARE(ajena[6], QStringLiteral("Read parameter 0 User Speed 1, high byte"));
        QVERIFY2(lineas.last()[6].startsWith(u"Read parameter 1 User Speed 1, middle byte; answer"), qPrintable(lineas.last()[6]));
    }
};

QTEST_MAIN(TstRegistro)
#include "tst_registro.moc"
