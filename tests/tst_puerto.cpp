// The serial port: device mapping (links, then the devices present), the port list's
// descriptions, opening and closing, and the port list with its
// port test, failure steps and fall-back to "Com1:".
#include "app/ListaPuertos.h"
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTest>

#include <thread>

static QStringList LineasIni()
{
    QFile f(CarpetaPrueba() + QStringLiteral("/qzl.ini"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

static const QString IniPuerto5 = QStringLiteral("5\r\n77\r\n-7\r\n\"1\"\r\n0\r\n");

class TstPuerto : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    QList<DispositivoSerie> fuente;

    // The serial devices the system reports, by path only.
    static void Presentes(const QStringList& rutas)
    {
        QList<DispositivoSerie> lista;
        for (const QString& r : rutas)
            lista.append({r, {}, {}, {}});
        FijarFuenteDispositivos([lista] { return lista; });
    }

    // Window without the start-up sequence, qzl.ini as given, no comN links.
    void Ventana_(const QString& ini)
    {
        for (int n = 1; n <= 9; ++n)
            QuitarEnlace(n);
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        o.qzlIni = ini;
        CrearVentanaPrueba(o);
        HistorialPanel1().clear();
    }

    // Simulator linked as comN, leaving NumeroPuerto as qzl.ini set it.
    void Simulador(int n)
    {
        const int16_t antes = NumeroPuerto;
        sim = IniciarSimuladorPrueba(n);
        QVERIFY(sim);
        NumeroPuerto = antes;
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        CuentaMilisegundo = 0;
    }

    void cleanup()
    {
        CerrarCom();
        CerrarVentanaPrueba();
        sim.reset();
        QDir(CarpetaPrueba()).rmdir(QStringLiteral("qzl.ini"));
        Presentes({});
    }

    // Port n: a comN link first, else the n-th device present (adapters before the
    // built-in ttyS ports, numbers compared as numbers), else nothing.
    void dispositivo_data()
    {
        QTest::addColumn<int>("numero");
        QTest::addColumn<QString>("enlace");  // "": none; "roto": dangling; else a file in the folder
        QTest::addColumn<QStringList>("presentes");  // as the system reports them, in its order
        QTest::addColumn<QString>("esperado");
        const QStringList pc{"/dev/ttyS3", "/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyS2"};
        QTest::newRow("link to a device") << 3 << "linea" << pc << "@/linea";
        QTest::newRow("link wins over a device") << 1 << "linea" << pc << "@/linea";
        QTest::newRow("dangling link") << 2 << "roto" << pc << "@/com2";
        QTest::newRow("one adapter is Com1") << 1 << "" << pc << "/dev/ttyUSB0";
        QTest::newRow("built-in ports after it") << 2 << "" << pc << "/dev/ttyS0";
        QTest::newRow("built-in ports in order") << 5 << "" << pc << "/dev/ttyS3";
        QTest::newRow("fewer devices than the number") << 6 << "" << pc << "";
        QTest::newRow("no device at all") << 1 << "" << QStringList{} << "";
        QTest::newRow("numbers as numbers")
            << 3 << "" << QStringList{"/dev/ttyUSB10", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyACM0", "/dev/ttyS2"}
            << "/dev/ttyUSB10";
        QTest::newRow("ttyS2 before ttyS10")
            << 4 << "" << QStringList{"/dev/ttyUSB10", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyACM0", "/dev/ttyS2"}
            << "/dev/ttyS2";
        QTest::newRow("a ttyS name that is no built-in port")
            << 1 << "" << QStringList{"/dev/ttyS0", "/dev/ttySAC0"} << "/dev/ttySAC0";
        QTest::newRow("port 0") << 0 << "" << pc << "";
        QTest::newRow("port 10") << 10 << "" << pc << "";
    }

    void dispositivo()
    {
        QFETCH(int, numero);
        QFETCH(QString, enlace);
        QFETCH(QStringList, presentes);
        QFETCH(QString, esperado);
        Presentes(presentes);
        const QString carpeta = QDir(CarpetaPrueba()).canonicalPath();
        esperado.replace(u'@', carpeta);
        QuitarEnlace(numero);
        if (enlace == QStringLiteral("roto")) {
            EnlaceRoto(numero);
            esperado = CarpetaPrueba() + QStringLiteral("/com") + QString::number(numero);
        } else if (!enlace.isEmpty()) {
            QFile f(CarpetaPrueba() + u'/' + enlace);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.close();
            QVERIFY(QFile::link(f.fileName(), CarpetaPrueba() + QStringLiteral("/com") + QString::number(numero)));
        }
        QCOMPARE(DispositivoPuerto(numero), esperado);
        if (numero >= 1 && numero <= 9)
            QuitarEnlace(numero);
    }

    // Without an injected list the product asks Qt's serial port information.
    void dispositivosDelSistema()
    {
        FijarFuenteDispositivos(nullptr);
        QStringList sistema;
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
            sistema.append(info.systemLocation());
        QStringList vistos;
        for (const DispositivoSerie& d : DispositivosSerie())
            vistos.append(d.ruta);
        sistema.sort();
        QStringList ordenados = vistos;
        ordenados.sort();
        QCOMPARE(ordenados, sistema);
        for (int n = 1; n <= 9; ++n) {
            QuitarEnlace(n);
            QCOMPARE(DispositivoPuerto(n), vistos.value(n - 1));
        }
        Presentes({});
    }

    // A technician with one adapter and no link: Com1 reaches the controller with the
    // default settings; Com2 has nothing behind it.
    void adaptadorSinEnlace()
    {
        Ventana_(QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
        Simulador(9);
        const QString pty = QString::fromStdString(SimRuta(sim.get()));
        QuitarEnlace(9);
        Presentes({"/dev/ttyS0", pty});
        NumeroPuerto = 1;
        IniciarComboCom();
        QCOMPARE(HistorialPanel1(), QStringList{"Serial Port  1"});
        QCOMPARE(DispositivoPuerto(1), pty);
        QVERIFY(FijarPuerto(1));
        QVERIFY(AbrirCom());
        ComandoQZL c{};
        c.Comando = 128;
        const RespuestaQZL r = EnviarComando(c);
        CerrarCom();
        QCOMPARE(r.Estado, EstadoRespuesta);
        QVERIFY(EsperarTramas(sim.get(), 1));

        Presentes({pty});
        HistorialPanel1().clear();
        Ventana().ComboCom->setCurrentIndex(1);
        QCOMPARE(HistorialPanel1(), (QStringList{"Serial Port  2  Not Avalaible", "Serial Port  1"}));
        QCOMPARE(LineasIni().value(0), QStringLiteral("1"));
        Presentes({});
    }

    // Each entry says what it opens and what the system knows of it, or that nothing
    // is there; the entries' own texts stay as they are.
    void descripcionDeLasEntradas()
    {
        Ventana_(QStringLiteral("3\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
        Simulador(3);
        const QString pty = QString::fromStdString(SimRuta(sim.get()));
        EnlaceRoto(4);
        fuente = {{"/dev/ttyS0", "", "", ""}, {"/dev/ttyUSB0", "FT232R USB UART", "FTDI", "A50285BI"}};
        FijarFuenteDispositivos([this] { return fuente; });

        IniciarComboCom();

        QComboBox* lista = Ventana().ComboCom;
        QCOMPARE(HistorialPanel1(), QStringList{"Serial Port  3"});
        auto consejo = [lista](int i) { return lista->itemData(i, Qt::ToolTipRole).toString(); };
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(lista->itemText(i), QStringLiteral("Com%1:").arg(i + 1));
            QVERIFY(!consejo(i).isEmpty());
            QCOMPARE(lista->itemData(i, Qt::AccessibleDescriptionRole).toString(), consejo(i));
        }
        QCOMPARE(consejo(0), QStringLiteral("Opens /dev/ttyUSB0: FT232R USB UART, FTDI, serial number A50285BI"));
        QVERIFY2(consejo(1).startsWith(QStringLiteral("Opens /dev/ttyS0: the system knows nothing more of it")),
                 qPrintable(consejo(1)));
        QVERIFY2(consejo(1).contains(QStringLiteral("built-in")), qPrintable(consejo(1)));
        QCOMPARE(consejo(2), QStringLiteral("Opens %1 through the link %2/com3").arg(pty, CarpetaPrueba()));
        QCOMPARE(consejo(3), QStringLiteral("Nothing there: the link %1/com4 leads to no device").arg(CarpetaPrueba()));
        for (int i = 4; i < 9; ++i)
            QCOMPARE(consejo(i),
                     QStringLiteral("Nothing there: no link com%1 and only 2 serial devices present").arg(i + 1));
        // The list itself describes its current entry.
        QCOMPARE(lista->toolTip(), consejo(2));
        QCOMPARE(lista->accessibleDescription(), consejo(2));

        // An adapter plugged in later is described as soon as the open list is looked at,
        // and at the next choice of port.
        fuente.append({"/dev/ttyACM0", "", "", "7"});
        emit lista->highlighted(4);
        QCOMPARE(consejo(0), QStringLiteral("Opens /dev/ttyACM0: serial number 7"));
        QCOMPARE(consejo(1), QStringLiteral("Opens /dev/ttyUSB0: FT232R USB UART, FTDI, serial number A50285BI"));
        QCOMPARE(consejo(5), QStringLiteral("Nothing there: no link com6 and only 3 serial devices present"));
        fuente = {};
        lista->setCurrentIndex(0);
        QCOMPARE(consejo(0), QStringLiteral("Nothing there: no link com1 and no serial device present"));
        QCOMPARE(lista->toolTip(), consejo(0));
        QuitarEnlace(4);
        Presentes({});
    }

    void fijarPuerto()
    {
        QVERIFY(!FijarPuerto(0));
        QVERIFY(!FijarPuerto(10));
        QVERIFY(FijarPuerto(4));
        QCOMPARE(PuertoFijado(), 4);
        Simulador(2);
        QVERIFY(FijarPuerto(2));
        QVERIFY(AbrirCom());
        QVERIFY(!FijarPuerto(3));  // not while the port is open
        QCOMPARE(PuertoFijado(), 2);
    }

    void abrirYCerrar()
    {
        Simulador(2);
        QVERIFY(FijarPuerto(2));
        QVERIFY(AbrirCom());
        QSerialPort& p = MSCommDestellador();
        QVERIFY(p.isOpen());
        QCOMPARE(p.baudRate(), 9600);
        QCOMPARE(p.dataBits(), QSerialPort::Data8);
        QCOMPARE(p.parity(), QSerialPort::NoParity);
        QCOMPARE(p.stopBits(), QSerialPort::OneStop);
        QCOMPARE(p.flowControl(), QSerialPort::NoFlowControl);
        QCOMPARE(p.portName(), QString::fromStdString(SimRuta(sim.get())).mid(5));  // "pts/N"
        QCOMPARE(p.error(), QSerialPort::NoError);  // DTR on a pseudo-terminal counts as done

        QVERIFY(AbrirCom());  // a second call changes nothing
        QVERIFY(p.isOpen());
        CerrarCom();
        QVERIFY(!p.isOpen());
        CerrarCom();
        QVERIFY(!p.isOpen());
    }

    void abrirPuertoInexistente()
    {
        EnlaceRoto(6);
        QVERIFY(FijarPuerto(6));
        QVERIFY(!AbrirCom());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(!OperacionEnCurso());
        QuitarEnlace(6);
    }

    // Bytes still on their way when the port is closed are gone when it opens again.
    void cerrarDescartaLoPendiente()
    {
        Simulador(2);
        QVERIFY(FijarPuerto(2));
        QVERIFY(AbrirCom());
        ComandoQZL c{};
        c.Comando = 1;
        MSCommDestellador().write(TramaComando(c));
        MSCommDestellador().flush();
        QVERIFY(EsperarTramas(sim.get(), 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the reply waits in the line
        CerrarCom();
        QVERIFY(AbrirCom());
        QTest::qWait(100);
        QCOMPARE(MSCommDestellador().bytesAvailable(), qint64(0));
    }

    // Start-up: the list, the port tested, qzl.ini rewritten, the messages.
    void iniciarComboCom_data()
    {
        QTest::addColumn<int>("numeroIni");
        QTest::addColumn<int>("puertoSimulador");  // 0: none
        QTest::addColumn<QList<int>>("puertosRotos");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<int>("numeroFinal");
        QTest::newRow("Com3 exists") << 3 << 3 << QList<int>{} << QStringList{"Serial Port  3"} << 3;
        QTest::newRow("Com5 missing, back to Com1")
            << 5 << 1 << QList<int>{5} << QStringList{"Serial Port  5  Not Avalaible", "Serial Port  1"} << 1;
        QTest::newRow("Com5 and Com1 missing, no loop")
            << 5 << 0 << QList<int>{1, 5} << QStringList{"Serial Port  5  Not Avalaible", "Serial Port  1  Not Avalaible"}
            << 1;
        QTest::newRow("Com1 missing, no loop") << 1 << 0 << QList<int>{1} << QStringList{"Serial Port  1  Not Avalaible"}
                                               << 1;
        QTest::newRow("port 12 selects Com1") << 12 << 1 << QList<int>{} << QStringList{"Serial Port  1"} << 1;
        QTest::newRow("port 0 selects Com1") << 0 << 1 << QList<int>{} << QStringList{"Serial Port  1"} << 1;
    }

    void iniciarComboCom()
    {
        QFETCH(int, numeroIni);
        QFETCH(int, puertoSimulador);
        QFETCH(QList<int>, puertosRotos);
        QFETCH(QStringList, mensajes);
        QFETCH(int, numeroFinal);
        Ventana_(QString::number(numeroIni) + QStringLiteral("\r\n77\r\n-7\r\n\"1\"\r\n0\r\n"));
        if (puertoSimulador)
            Simulador(puertoSimulador);
        for (int n : puertosRotos)
            EnlaceRoto(n);

        IniciarComboCom();

        QComboBox* lista = Ventana().ComboCom;
        QCOMPARE(lista->count(), 9);
        QCOMPARE(lista->itemText(0), QStringLiteral("Com1:"));
        QCOMPARE(lista->itemText(8), QStringLiteral("Com9:"));
        QCOMPARE(HistorialPanel1(), mensajes);
        QCOMPARE(lista->currentIndex(), numeroFinal - 1);
        QCOMPARE(int(NumeroPuerto), numeroFinal);
        QCOMPARE(LineasIni(), (QStringList{QString::number(numeroFinal), "77", "-7", "\"1\"", "0"}));
        QVERIFY(!MSCommDestellador().isOpen());
    }

    void elegirOtroPuerto()
    {
        Ventana_(IniPuerto5);
        Simulador(1);
        IniciarComboCom();
        QCOMPARE(int(NumeroPuerto), 1);
        SimuladorPtr otro = IniciarSimuladorPrueba(7);
        HistorialPanel1().clear();

        Ventana().ComboCom->setCurrentIndex(6);

        QCOMPARE(HistorialPanel1(), QStringList{"Serial Port  7"});
        QCOMPARE(LineasIni().value(0), QStringLiteral("7"));
        QCOMPARE(PuertoFijado(), 7);
        QVERIFY(!MSCommDestellador().isOpen());
    }

    // Typing into the list: the port test without the settings file or the success text.
    void textoEscrito_data()
    {
        QTest::addColumn<int>("seleccionPrevia");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QStringList>("mensajes");
        QTest::addColumn<int>("numeroFinal");
        QTest::addColumn<QString>("primeraLineaIni");
        QTest::newRow("no entry, from Com3") << 2 << "Com" << QStringList{"Serial Port  0  Not Avalaible", "Serial Port  1"}
                                             << 1 << "1";
        QTest::newRow("no entry, from Com1") << 0 << "x" << QStringList{"Serial Port  0  Not Avalaible", "Serial Port  1"}
                                             << 1 << "1";
        QTest::newRow("an entry's name") << 0 << "com3:" << QStringList{} << 3 << "1";
    }

    void textoEscrito()
    {
        QFETCH(int, seleccionPrevia);
        QFETCH(QString, texto);
        QFETCH(QStringList, mensajes);
        QFETCH(int, numeroFinal);
        QFETCH(QString, primeraLineaIni);
        Ventana_(QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n"));
        Simulador(1);
        SimuladorPtr otro = IniciarSimuladorPrueba(3);
        NumeroPuerto = 1;
        IniciarComboCom();
        if (seleccionPrevia != 0)
            Ventana().ComboCom->setCurrentIndex(seleccionPrevia);
        CrearIniPuerto1();
        HistorialPanel1().clear();

        QLineEdit* edicion = Ventana().ComboCom->lineEdit();
        edicion->setText(texto);
        emit edicion->textEdited(texto);

        QCOMPARE(HistorialPanel1(), mensajes);
        QCOMPARE(int(NumeroPuerto), numeroFinal);
        QCOMPARE(LineasIni().value(0), primeraLineaIni);
        QVERIFY(!MSCommDestellador().isOpen());
        if (!mensajes.isEmpty()) {
            QCOMPARE(Ventana().ComboCom->currentIndex(), 0);
            QCOMPARE(Ventana().ComboCom->currentText(), QStringLiteral("Com1:"));
        }
    }

    // A settings file that cannot be written fails the test like a missing port,
    // and the fall-back to Com1 ends when Com1 fails the same way.
    void iniNoEscribible()
    {
        Ventana_(IniPuerto5);
        Simulador(1);
        SimuladorPtr otro = IniciarSimuladorPrueba(3);
        NumeroPuerto = 3;
        QFile::remove(CarpetaPrueba() + QStringLiteral("/qzl.ini"));
        QVERIFY(QDir(CarpetaPrueba()).mkdir(QStringLiteral("qzl.ini")));

        IniciarComboCom();

        QCOMPARE(HistorialPanel1(),
                 (QStringList{"Serial Port  3  Not Avalaible", "Serial Port  1  Not Avalaible"}));
        QCOMPARE(Ventana().ComboCom->currentIndex(), 0);
        QVERIFY(!MSCommDestellador().isOpen());
    }

    // The port list does not switch the port under a running operation.
    void cambioDuranteUnaOperacion()
    {
        Ventana_(IniPuerto5);
        Simulador(1);
        IniciarComboCom();
        const QStringList ini = LineasIni();
        QVERIFY(AbrirCom());
        HistorialPanel1().clear();

        Ventana().ComboCom->setCurrentIndex(4);
        QLineEdit* edicion = Ventana().ComboCom->lineEdit();
        edicion->setText(QStringLiteral("x"));
        emit edicion->textEdited(QStringLiteral("x"));

        QVERIFY(HistorialPanel1().isEmpty());
        QCOMPARE(Ventana().ComboCom->currentIndex(), 0);
        QCOMPARE(Ventana().ComboCom->currentText(), QStringLiteral("Com1:"));
        QCOMPARE(int(NumeroPuerto), 1);
        QCOMPARE(PuertoFijado(), 1);
        QVERIFY(MSCommDestellador().isOpen());
        QCOMPARE(LineasIni(), ini);
    }

private:
    static void CrearIniPuerto1()
    {
        QFile f(CarpetaPrueba() + QStringLiteral("/qzl.ini"));
        if (f.open(QIODevice::WriteOnly))
            f.write("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
    }
};

QTEST_MAIN(TstPuerto)
#include "tst_puerto.moc"
