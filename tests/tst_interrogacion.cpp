// Status interrogation and polling against the controller simulator on a pseudo-terminal.
#include "app/ModuloKX.h"
#include "flash/PaginaEstado.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "sim/Simulador.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSerialPort>
#include <QTimer>
#include <QtTest>

namespace {

constexpr int PuertoSim = 3;

// The lamp pairs in a fixed order, "set" picture first; a case writes its
// expectation as one letter per pair in this order.
const char* const Pares[][2] = {
    {"LedOn", "LedOff"},                                        // byte 0, bit 0
    {"LedMotorOn", "LedMotorOff"},                              // byte 0, bit 1
    {"LedRojoAlarmaMotor", "LedAlarmaMotorVerde"},              // byte 0, bit 2
    {"LedRojoPrealarmaLampara", "LedPrealarmaLamparaApagado"},  // byte 1 ...
    {"LedAzulLampara1", "LedLampara1Apagado"},
    {"LedazulLampara2", "LedLampara2Apagado"},
    {"LedAzulCambiador", "LedCambiadorApagado"},
    {"LedRojoFalloRed", "LedFalloRedVerde"},
    {"LedVerdeLampara1On", "LedLampara1OnApagado"},
    {"LedRojoAlarmaLampara1", "LedAlarmaLamparaVerde"},
    {"LedRojoFalloFoco", "LedFalloFocoVerde"},
};

QWidget* Requerido(const char* nombre)
{
    QWidget* w = Control(QLatin1String(nombre));
    if (!w)
        qFatal("no control %s", nombre);
    return w;
}

// S: set picture shown, C: clear picture shown, U: both shown (untouched since
// the start), -: neither.
QString Lamparas()
{
    QString r;
    for (const auto& par : Pares) {
        const bool on = !Requerido(par[0])->isHidden();
        const bool off = !Requerido(par[1])->isHidden();
        r += on && off ? u'U' : on ? u'S' : off ? u'C' : u'-';
    }
    return r;
}

void MostrarTodasLasLamparas()
{
    for (const auto& par : Pares) {
        Requerido(par[0])->show();
        Requerido(par[1])->show();
    }
}

QList<QWidget*> CampoPWM()
{
    return {Label(39), Ventana().TPWMLed, LabelUnidades(20)};
}

void Marcar(bool estado, bool corriente, bool velocidad, bool leds)
{
    Ui::frmMain& v = Ventana();
    v.chkEstado->setChecked(estado);
    v.chkCorrienteActual->setChecked(corriente);
    v.chkVelocidadActual->setChecked(velocidad);
    v.chkCorrienteLeds->setChecked(leds);
}

void ElegirCambiador(int tipo)
{
    QComboBox* lista = Ventana().ComboTipoCambiador;
    if (lista->count() == 0)
        LlenarLista(lista, {"RVT06", "RVT02", "RVT03", "LED", "KXR"});
    lista->setCurrentIndex(tipo);
}

QString Trama5(int indice)
{
    return QString::fromStdString(TramaHex(ConstruirTrama(5, uint8_t(indice), 0).data()));
}

bool BotonesHabilitados()
{
    Ui::frmMain& v = Ventana();
    return v.CAbrir->isEnabled() && v.CGuardar->isEnabled() && v.CLeer->isEnabled() && v.CEscribir->isEnabled();
}

}  // namespace

class TestInterrogacion : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    void FijarSim(const EstadoSimulador& e, const FallosSimulador& f = {})
    {
        SimFijarEstado(sim.get(), e);
        SimFijarFallos(sim.get(), f);
        SimBorrarRegistro(sim.get());
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        sim = IniciarSimuladorPrueba(PuertoSim, EstadoSimulador{});
        QVERIFY(sim);
    }

    void init()
    {
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        QVERIFY(CrearVentanaPrueba(o));
        NumeroPuerto = PuertoSim;
        QVERIFY(FijarPuerto(PuertoSim));
        ReiniciarEstadoPrueba();
        QLocale::setDefault(QLocale::c());
        FijarSim(EstadoSimulador{});
    }

    void cleanup()
    {
        FactorEsperas = 1.0;
        QLocale::setDefault(QLocale::c());
        CerrarVentanaPrueba();
    }

    void cleanupTestCase() { sim.reset(); }

    void lamparas_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<int>("estado0");
        QTest::addColumn<int>("estado1");
        QTest::addColumn<QString>("esperado");  // byte 0 pairs, then byte 1 pairs (see Pares)
        QTest::addColumn<bool>("pwm");

        QTest::newRow("RVT02, byte 1 0x91") << 1 << 0x05 << 0x91 << "SCS U SCCSCCS" << false;
        QTest::newRow("RVT02, byte 1 0x6E") << 1 << 0x00 << 0x6E << "CCC U CSSCSSC" << false;
        QTest::newRow("RVT06, bit 5") << 0 << 0x02 << 0x20 << "CSC C UUUUSCU" << false;
        QTest::newRow("RVT06, bits 1 and 6") << 0 << 0x00 << 0x42 << "CCC S UUUUCSU" << false;
        QTest::newRow("RVT03, all bits") << 2 << 0x07 << 0xFF << "SSS U SUSUSUS" << false;
        QTest::newRow("RVT03, no bits") << 2 << 0x00 << 0x00 << "CCC U CUCUCUC" << false;
        QTest::newRow("LED, bit 6") << 3 << 0x01 << 0x40 << "SCC U UUUUUSU" << true;
        QTest::newRow("LED, all but bit 6") << 3 << 0x00 << 0xBF << "CCC U UUUUUCU" << true;
        QTest::newRow("KXR: only byte 0") << 4 << 0x07 << 0xFF << "SSS U UUUUUUU" << false;
        QTest::newRow("no type: only byte 0") << -1 << 0x03 << 0xFF << "SSC U UUUUUUU" << false;
    }

    void lamparas()
    {
        QFETCH(int, tipo);
        QFETCH(int, estado0);
        QFETCH(int, estado1);
        QFETCH(QString, esperado);
        QFETCH(bool, pwm);

        EstadoSimulador e;
        e.Estado0 = uint8_t(estado0);
        e.Estado1 = uint8_t(estado1);
        FijarSim(e);
        MostrarTodasLasLamparas();
        for (QWidget* w : CampoPWM())
            w->hide();
        ElegirCambiador(tipo);
        Marcar(true, false, false, false);

        CInterrogar_Click();

        QCOMPARE(Lamparas(), QString(esperado).remove(u' '));
        for (QWidget* w : CampoPWM())
            QCOMPARE(!w->isHidden(), pwm);
        // Byte 1 is read whatever the type, after byte 0.
        QCOMPARE(SimRegistro(sim.get()), QStringList({Trama5(0), Trama5(1)}));
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
        QVERIFY(BotonesHabilitados());
        QVERIFY(!MSCommDestellador().isOpen());
    }

    // In the window as the start-up leaves it: the changer list filled by the
    // program, the model-dependent rows hidden with their captions.
    void trasElArranque()
    {
        QVERIFY(CrearVentanaPrueba());
        NumeroPuerto = PuertoSim;
        QVERIFY(FijarPuerto(PuertoSim));
        QCOMPARE(Lamparas(), QStringLiteral("UUU--------"));
        QComboBox* tipos = Ventana().ComboTipoCambiador;
        QCOMPARE(tipos->itemText(1), QStringLiteral("RVT02"));
        tipos->setCurrentIndex(1);
        Marcar(true, false, false, false);
        EstadoSimulador e;
        e.Estado0 = 0x01;
        e.Estado1 = 0x91;
        FijarSim(e);

        CInterrogar_Click();

        QCOMPARE(Lamparas(), QStringLiteral("SCC-SCCSCCS"));
        for (int i : {1, 2, 4, 5, 6, 7, 9, 10})
            QVERIFY(label1(i)->isHidden());
        QVERIFY(Ventana().TPWMLed->isHidden());
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));

        tipos->setCurrentIndex(4);
        e.Estado1 = 0x00;
        FijarSim(e);
        CInterrogar_Click();
        QCOMPARE(Lamparas(), QStringLiteral("SCC-SCCSCCS"));
    }

    // A pair once set shows clear again when the bit clears.
    void lamparaVuelveAApagarse()
    {
        ElegirCambiador(1);
        Marcar(true, false, false, false);
        EstadoSimulador e;
        e.Estado0 = 0x07;
        e.Estado1 = 0xFF;
        FijarSim(e);
        CInterrogar_Click();
        QCOMPARE(Lamparas(), QStringLiteral("SSSUSSSSSSS"));
        e.Estado0 = 0x00;
        e.Estado1 = 0x00;
        FijarSim(e);
        CInterrogar_Click();
        QCOMPARE(Lamparas(), QStringLiteral("CCCUCCCCCCC"));
    }

    void medidas_data()
    {
        QTest::addColumn<QLocale>("local");
        QTest::addColumn<int>("corriente");
        QTest::addColumn<QString>("textoCorriente");
        QTest::addColumn<int>("velocidad");
        QTest::addColumn<QString>("textoVelocidad");
        QTest::addColumn<int>("leds");
        QTest::addColumn<QString>("textoLeds");

        const QLocale c = QLocale::c();
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("0x04D2, 0x8000, 0") << c << 0x04D2 << "12.34" << 0x8000 << "327.68" << 0 << "0.00";
        QTest::newRow("German separator") << de << 0x04D2 << "12,34" << 0x8000 << "327,68" << 5 << "0,05";
        QTest::newRow("largest") << de << 65535 << "655,35" << 34464 << "344,64" << 300 << "3,00";
    }

    void medidas()
    {
        QFETCH(QLocale, local);
        QFETCH(int, corriente);
        QFETCH(QString, textoCorriente);
        QFETCH(int, velocidad);
        QFETCH(QString, textoVelocidad);
        QFETCH(int, leds);
        QFETCH(QString, textoLeds);

        QLocale::setDefault(local);
        EstadoSimulador e;
        e.CorrienteActual = uint16_t(corriente);
        e.VelocidadActual = uint16_t(velocidad);
        e.CorrienteLeds = uint16_t(leds);
        FijarSim(e);
        Marcar(false, true, true, true);

        CInterrogar_Click();

        Ui::frmMain& v = Ventana();
        QCOMPARE(v.TCorrienteActual->text(), textoCorriente);
        QCOMPARE(v.TVelocidadActual->text(), textoVelocidad);
        QCOMPARE(v.txtCorrienteLeds->text(), textoLeds);
        QCOMPARE(SimRegistro(sim.get()),
                 QStringList({Trama5(2), Trama5(3), Trama5(4), Trama5(5), Trama5(6), Trama5(7)}));
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
    }

    // Each box reads only its own value and leaves the other fields alone.
    void soloLasCasillasMarcadas()
    {
        Ui::frmMain& v = Ventana();
        v.TCorrienteActual->setText(QStringLiteral("x"));
        v.txtCorrienteLeds->setText(QStringLiteral("y"));
        MostrarTodasLasLamparas();
        EstadoSimulador e;
        e.VelocidadActual = 1500;
        FijarSim(e);
        Marcar(false, false, true, false);

        CInterrogar_Click();

        QCOMPARE(v.TVelocidadActual->text(), QStringLiteral("15.00"));
        QCOMPARE(v.TCorrienteActual->text(), QStringLiteral("x"));
        QCOMPARE(v.txtCorrienteLeds->text(), QStringLiteral("y"));
        QCOMPARE(Lamparas(), QStringLiteral("UUUUUUUUUUU"));
        QCOMPARE(SimRegistro(sim.get()), QStringList({Trama5(4), Trama5(5)}));
    }

    void ningunaCasilla()
    {
        Marcar(false, false, false, false);
        Panel1(QStringLiteral("before"));
        const int antes = SimTramasRecibidas(sim.get());

        CInterrogar_Click();

        QCOMPARE(SimTramasRecibidas(sim.get()), antes);
        QVERIFY(SimRegistro(sim.get()).isEmpty());
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(BotonesHabilitados());
    }

    void controladorMudo()
    {
        // First a reading that lights every lamp and fills the values.
        ElegirCambiador(1);
        Marcar(true, true, true, true);
        EstadoSimulador e;
        e.Estado0 = 0xFF;
        e.Estado1 = 0xFF;
        e.CorrienteActual = e.VelocidadActual = e.CorrienteLeds = 999;
        FijarSim(e);
        CInterrogar_Click();
        QCOMPARE(Lamparas(), QStringLiteral("SSSUSSSSSSS"));
        QCOMPARE(Ventana().TCorrienteActual->text(), QStringLiteral("9.99"));

        FallosRapidos();
        FallosSimulador mudo;
        mudo.Silencioso = true;
        FijarSim(e, mudo);
        CInterrogar_Click();

        QCOMPARE(Lamparas(), QStringLiteral("CCCUCCCCCCC"));
        QCOMPARE(Ventana().TCorrienteActual->text(), QStringLiteral("0.00"));
        QCOMPARE(Ventana().TVelocidadActual->text(), QStringLiteral("0.00"));
        QCOMPARE(Ventana().txtCorrienteLeds->text(), QStringLiteral("0.00"));
        QCOMPARE(TextoPanel1(), QStringLiteral("End check"));
        QVERIFY(HistorialPanel1().contains(QStringLiteral("Error R  3")));
        // Eight transactions of three tries each.
        QCOMPARE(SimRegistro(sim.get()).size(), 24);
        QVERIFY(BotonesHabilitados());
        QVERIFY(!MSCommDestellador().isOpen());
    }

    void botonesDeshabilitadosDuranteLaInterrogacion()
    {
        Marcar(true, false, false, false);
        bool deshabilitados = false;
        QTimer::singleShot(0, [&] { deshabilitados = !Ventana().CAbrir->isEnabled() && !Ventana().CLeer->isEnabled(); });
        CInterrogar_Click();
        QVERIFY(deshabilitados);
        QVERIFY(BotonesHabilitados());
    }

    void puertoNoDisponible()
    {
        // Port 7 leads to a device that does not exist.
        EnlaceRoto(7);
        NumeroPuerto = 7;
        QVERIFY(FijarPuerto(7));
        Marcar(true, true, false, false);
        Ventana().TCorrienteActual->setText(QStringLiteral("1.23"));
        MostrarTodasLasLamparas();
        Ventana().TTiempoModoVerboso->setText(QStringLiteral("60"));
        CModoVerboso_Click();

        TimerEstado_Timer();

        QCOMPARE(TextoPanel1(), QStringLiteral("Serial Port  7  Not Avalaible"));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("End check")));
        QVERIFY(BotonesHabilitados());
        QVERIFY(TimerEstado()->isActive());
        QCOMPARE(Ventana().TCorrienteActual->text(), QStringLiteral("1.23"));
        QCOMPARE(Lamparas(), QStringLiteral("UUUUUUUUUUU"));
        QVERIFY(Ventana().LedTimerON->isHidden());
        QVERIFY(!Ventana().LedTimerOff->isHidden());
        QVERIFY(SimRegistro(sim.get()).isEmpty());
        QuitarEnlace(7);
    }

    void intervalo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("ms");
        QTest::newRow("2.5") << "2.5" << 2500;
        QTest::newRow("initial 3") << "3" << 3000;
        QTest::newRow("trailing unit") << "2.5 s" << 2500;
        QTest::newRow("comma is not a decimal point") << "2,5" << 2000;
        QTest::newRow("half to even, down") << "2.0625" << 2062;
        QTest::newRow("half to even, up") << "0.1875" << 188;
        QTest::newRow("0.1 is the least") << "0.1" << 100;
        QTest::newRow("under 100 ms") << "0.05" << 100;
        QTest::newRow("zero") << "0" << 100;
        QTest::newRow("no number") << "abc" << 100;
        QTest::newRow("empty") << "" << 100;
        QTest::newRow("negative") << "-5" << 100;
        QTest::newRow("65.535 is the most") << "65.535" << 65535;
        QTest::newRow("over 65535 ms") << "70" << 65535;
        QTest::newRow("huge") << "1e300" << 65535;
    }

    void intervalo()
    {
        QFETCH(QString, texto);
        QFETCH(int, ms);
        QCOMPARE(IntervaloModoVerboso(texto), ms);
    }

    void modoVerbosoEnciendeYApaga()
    {
        // The decimal point is "." even where the locale writes ",".
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        Ui::frmMain& v = Ventana();
        QVERIFY(!TimerEstado()->isActive());
        v.TTiempoModoVerboso->setText(QStringLiteral("2.5"));

        v.CModoVerboso->click();
        QVERIFY(TimerEstado()->isActive());
        QCOMPARE(TimerEstado()->interval(), 2500);
        QVERIFY(!v.CModoVerboso->isEnabled());

        v.Command1->click();
        QVERIFY(!TimerEstado()->isActive());
        QVERIFY(v.CModoVerboso->isEnabled());
        QVERIFY(SimRegistro(sim.get()).isEmpty());
    }

    // The timer's own tick runs an interrogation with the timer lamp on meanwhile.
    void tickDelTemporizador()
    {
        Ui::frmMain& v = Ventana();
        Marcar(true, false, false, false);
        EstadoSimulador e;
        e.Estado0 = 0x01;

        FallosSimulador lento;
        lento.RetrasoMs = 30;
        FijarSim(e, lento);
        MostrarLampara(v.LedTimerON, v.LedTimerOff, false);
        v.TTiempoModoVerboso->setText(QStringLiteral("0.1"));

        // Watches the lamp while a transaction of the tick waits for its reply.
        bool lamparaDurante = false;
        QTimer vigia;
        vigia.setInterval(5);
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            if (OperacionEnCurso() && !v.LedTimerON->isHidden() && v.LedTimerOff->isHidden())
                lamparaDurante = true;
        });
        vigia.start();
        v.CModoVerboso->click();
        QTRY_VERIFY_WITH_TIMEOUT(HistorialPanel1().contains(QStringLiteral("End check")), 5000);
        v.Command1->click();
        vigia.stop();

        QVERIFY(lamparaDurante);
        QVERIFY(v.LedTimerON->isHidden());
        QVERIFY(!v.LedTimerOff->isHidden());
        QVERIFY(!v.LedOn->isHidden());
        QVERIFY(v.LedOff->isHidden());
    }

    // A tick or a click while an interrogation waits for its reply does nothing:
    // no frame, no message, and the running poll keeps its timer lamp on.
    void nadaMientrasOtraInterrogacion()
    {
        Ui::frmMain& v = Ventana();
        Marcar(true, false, false, false);
        v.TTiempoModoVerboso->setText(QStringLiteral("60"));
        v.CModoVerboso->click();
        const int periodo = TimerEstado()->interval();
        FallosSimulador lento;
        lento.RetrasoMs = 50;
        FijarSim(EstadoSimulador{}, lento);
        MostrarLampara(v.LedTimerON, v.LedTimerOff, false);

        bool lamparaSigueEncendida = false;
        QTimer::singleShot(0, [&] {
            TimerEstado_Timer();
            lamparaSigueEncendida = !v.LedTimerON->isHidden() && v.LedTimerOff->isHidden();
            CInterrogar_Click();
        });
        TimerEstado_Timer();

        QVERIFY(lamparaSigueEncendida);
        QCOMPARE(SimRegistro(sim.get()), QStringList({Trama5(0), Trama5(1)}));
        QCOMPARE(HistorialPanel1().count(QStringLiteral("End check")), 1);
        QVERIFY(TimerEstado()->isActive());
        QCOMPARE(TimerEstado()->interval(), periodo);
        QVERIFY(v.LedTimerON->isHidden());
    }

    // Closing the window while a poll waits for a reply ends the poll quietly.
    void cerrarLaVentanaDuranteLaInterrogacion()
    {
        Marcar(true, true, true, true);
        ElegirCambiador(1);
        FallosSimulador lento;
        lento.RetrasoMs = 20;
        FijarSim(EstadoSimulador{}, lento);
        CerrarVentanaDurante([&] { return SimRegistro(sim.get()).size() >= 3; }, TimerEstado_Timer, true);
        QTRY_VERIFY(!FormPrincipal());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(SimRegistro(sim.get()).size() < 8);
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("End check")));
    }
};

QTEST_MAIN(TestInterrogacion)
#include "tst_interrogacion.moc"
