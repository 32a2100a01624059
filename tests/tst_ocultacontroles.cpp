#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "ui/Fuentes.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QSet>
#include <QTabWidget>
#include <QtTest>

static const QString IniNormal = QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n0\r\n");
static const QString IniServicio = QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n573\r\n");

// What the reset hides, by control name, as the rows, the language list, the
// parameter fields and the identification fields.
static QSet<QString> OcultosPorElReinicio()
{
    const QString nombres = QStringLiteral(
        // the eight model-dependent indicator rows
        "label1_9 LedAzulLampara1 LedLampara1Apagado "
        "label1_10 LedazulLampara2 LedLampara2Apagado "
        "label1_1 LedRojoPrealarmaLampara LedPrealarmaLamparaApagado "
        "label1_2 LedAzulCambiador LedCambiadorApagado "
        "label1_4 LedRojoFalloRed LedFalloRedVerde "
        "label1_5 LedVerdeLampara1On LedLampara1OnApagado "
        "label1_6 LedRojoAlarmaLampara1 LedAlarmaLamparaVerde "
        "label1_7 LedRojoFalloFoco LedFalloFocoVerde "
        // language list
        "ComboIdioma Label_24 "
        // parameter fields
        "Label_2 TVelocidadUsuario1 LabelUnidades_0 Label_26 TVelocidadUsuario2 LabelUnidades_4 "
        "Label_29 TVelocidadUsuario3 LabelUnidades_5 Label_32 TVelocidadUsuario4 LabelUnidades_6 "
        "Label_28 TRelacionReductor Label_33 TPulsosRevolucion "
        "Label_18 TLuxON LabelUnidades_1 TLuxONAD Label_19 TLuxOFF LabelUnidades_2 TLuxOFFAD "
        "Label_4 TTestFotocelula LabelUnidades_3 Label_5 TLuxLamparaFundida LabelUnidades_13 "
        "Label_8 TRetardoLamparaFundida LabelUnidades_14 Label_11 ComboTipoCambiador "
        "Label_36 TTiempoLampara1 LabelUnidades_11 Label_31 TTiempoLampara2 LabelUnidades_8 "
        "Label_34 TTiempoFalloRed LabelUnidades_9 Label_35 TTiempoRetornoRed LabelUnidades_10 "
        "Label_30 TFotocelulaInterior LabelUnidades_7 Label_12 ComboTipoLampara1 "
        "Label_13 ComboTipoLampara2 Label_20 ComboLamparaPrincipal Label_0 ComboSensorLuz "
        "Label_6 TMaxConsumoLed LabelUnidades_15 Label_1 TMinConsumoLed LabelUnidades_16 "
        "Label_27 ComboFuncion2Puerto Label_37 TTiempoAceleracion LabelUnidades_18 "
        "Label_39 TPWMLed LabelUnidades_20 Label_40 ComboTipoMotor "
        "Label_42 TMargenErrorMotor2 LabelUnidades_22 Label_41 TVueltasError "
        "CheckBalizaEmergencia Label_46 cmbModofuncionamiento "
        "txtAtenuacionNocturna Label_16 Label_45 txtTiempoDe Label_47 Label_48 "
        "txtDuracionPulsoSincronismo lblDuracionpulsosincronismo txtGrupoLeds lblGrupoLeds "
        // identification fields
        "Label_3 TIdentificacion Label_22 TSemanaFabricacion Label_21 TAnoFabricacion "
        "Label_10 TNumeroFabricacion Label_38 TModeloR Label_15 TVersionFirmwareR "
        "Label_14 THardwareR Label_43 TNumeroID");
    const QStringList lista = nombres.split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(lista.begin(), lista.end());
}

// Some of what the reset must leave: rows 0, 8 and 3, page 3's groups,
// buttons, checks and live fields, the port list, pages 5 and 6.
static const char* const Intactos[] = {
    "label1_0", "LedOn", "LedOff", "label1_8", "LedMotorOn", "LedMotorOff",
    "label1_3", "LedRojoAlarmaMotor", "LedAlarmaMotorVerde", "LedTimerON", "LedTimerOff",
    "Frame1_1", "Frame1_3", "CNormal", "CInterrogar", "chkEstado", "TVelocidadActual",
    "Label_44", "Label_7", "label1_34", "TNumeroSerieTelemando", "ComboCom", "Label_17",
    "TDebug", "MSFlexGridPautas", "TDientesDisco", "Label_9", "lblSalida_1", "Frame1_0",
    "CAbrir", "CLeer", "CEscribir", "CMonitor", "CInforme", "Csalir",
};

// The explicit hidden state of every named control of the window.
static QMap<QString, bool> EstadoControles()
{
    QMap<QString, bool> estado;
    for (QWidget* w : FormPrincipal()->findChildren<QWidget*>()) {
        const QString n = w->objectName();
        if (!n.isEmpty() && !n.startsWith(u"qt_"))
            estado.insert(n, w->isHidden());
    }
    return estado;
}

static QStringList TextosPestanas()
{
    QStringList t;
    for (int p = 1; p <= NumeroPestanas(); ++p)
        t << Ventana().TabStrip1->tabText(p - 1);
    return t;
}

// The page shown is the one of the selected tab, and it is the only one.
static void ComprobarPaginaUnica()
{
    int visibles = 0;
    for (int i = 1; i <= 6; ++i)
        visibles += FrameP(i)->isHidden() ? 0 : 1;
    QCOMPARE(visibles, 1);
    QCOMPARE(int(FrameActual), PestanaSeleccionada());
    QVERIFY(!FrameP(FrameActual)->isHidden());
}

// What an identification does to the tab set: the reset, then the tab for a
// controller that reports address 225.
static void Identificacion(bool con225)
{
    OcultaControles();
    if (con225)
        InsertarPestanaVisualizacion();
}

// An indicator-row caption is designed as a regular 9.75-point face; one too long for its
// fixed width steps down from there (never below the floor), so its text stays whole.
static void ComprobarLetraFila(QLabel* rotulo)
{
    QCOMPARE(rotulo->property("qzlFuenteDiseno").value<QFont>().pointSizeF(), 9.75);
    QVERIFY(rotulo->font().pointSizeF() <= 9.75);
    QVERIFY(rotulo->font().pointSizeF() >= PuntosFuenteMinimos);
    if (rotulo->font().pointSizeF() < 9.75) {
        // Stepped down only because half a point more would not fit.
        QFont mayor = rotulo->font();
        mayor.setPointSizeF(mayor.pointSizeF() + 0.5);
        QVERIFY2(QFontMetrics(mayor).horizontalAdvance(rotulo->text())
                     > rotulo->contentsRect().width(),
                 qPrintable(rotulo->text()));
    }
}

class TestOcultaControles : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FactorEsperas = 0.001;
        FijarTablaIdioma(TablaIngles);
    }
    void cleanup() { CerrarVentanaPrueba(); }

    // The eleven rows of page 3 as laid out: caption at left 600, pictures at
    // left 120, 240 x 240 twips, one on the other; all visible before the reset.
    void filasIndicadoras_data()
    {
        QTest::addColumn<int>("etiqueta");
        QTest::addColumn<int>("arriba");  // twips
        QTest::addColumn<int>("ancho");   // twips
        QTest::addColumn<QString>("encendida");
        QTest::addColumn<QString>("apagada");
        QTest::addColumn<QString>("texto");
        QTest::newRow("0") << 0 << 480 << 1215 << "LedOn" << "LedOff" << "ON";
        QTest::newRow("8") << 8 << 840 << 1215 << "LedMotorOn" << "LedMotorOff" << "Motor ON";
        QTest::newRow("3") << 3 << 1200 << 1215 << "LedRojoAlarmaMotor" << "LedAlarmaMotorVerde"
                           << "Motor alarm";
        QTest::newRow("9") << 9 << 1560 << 1215 << "LedAzulLampara1" << "LedLampara1Apagado"
                           << "Lamp 1 ON";
        QTest::newRow("10") << 10 << 1920 << 1215 << "LedazulLampara2" << "LedLampara2Apagado"
                            << "Lamp 2 ON";
        QTest::newRow("1") << 1 << 1920 << 2175 << "LedRojoPrealarmaLampara"
                           << "LedPrealarmaLamparaApagado" << "Last lamp Alarm";
        QTest::newRow("2") << 2 << 2280 << 1215 << "LedAzulCambiador" << "LedCambiadorApagado"
                           << "Changeur ON";
        QTest::newRow("4") << 4 << 2640 << 1215 << "LedRojoFalloRed" << "LedFalloRedVerde"
                           << "AC Mains failure";
        QTest::newRow("5") << 5 << 3000 << 1695 << "LedVerdeLampara1On" << "LedLampara1OnApagado"
                           << "Lamp ON";
        QTest::newRow("6") << 6 << 3360 << 1575 << "LedRojoAlarmaLampara1" << "LedAlarmaLamparaVerde"
                           << "Lamp Alarm";
        QTest::newRow("7") << 7 << 3720 << 1215 << "LedRojoFalloFoco" << "LedFalloFocoVerde"
                           << "Total Lamp Alarm";
    }

    void filasIndicadoras()
    {
        QFETCH(int, etiqueta);
        QFETCH(int, arriba);
        QFETCH(int, ancho);
        QFETCH(QString, encendida);
        QFETCH(QString, apagada);
        QFETCH(QString, texto);
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
        QLabel* rotulo = label1(etiqueta);
        QVERIFY(rotulo);
        QCOMPARE(rotulo->parentWidget(), FrameP(3));
        QCOMPARE(rotulo->geometry().topLeft(), QPoint(600 / 15, arriba / 15));
        QCOMPARE(rotulo->width(), ancho / 15);
        ComprobarLetraFila(rotulo);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!rotulo->font().bold());
        QVERIFY(!rotulo->isHidden());
        for (const QString& nombre : {encendida, apagada}) {
            auto* dibujo = qobject_cast<QLabel*>(Control(nombre));
            QVERIFY2(dibujo, qPrintable(nombre));
            QCOMPARE(dibujo->parentWidget(), FrameP(3));
            QCOMPARE(dibujo->geometry(), QRect(120 / 15, arriba / 15, 240 / 15, 240 / 15));
            QVERIFY(!dibujo->pixmap().isNull());
            QVERIFY(!dibujo->isHidden());
        }
        AplicarTextos();
        QCOMPARE(rotulo->text(), texto);
        ComprobarLetraFila(rotulo);
    }

    // The reset hides exactly its list, in and out of service mode, and only
    // outside service mode takes away tab 5.
    void reinicioOcultaSuLista_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<int>("pestanas");
        QTest::newRow("normal") << IniNormal << 5;
        QTest::newRow("service") << IniServicio << 6;
    }

    void reinicioOcultaSuLista()
    {
        QFETCH(QString, ini);
        QFETCH(int, pestanas);
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        o.qzlIni = ini;
        CrearVentanaPrueba(o);
        const QMap<QString, bool> antes = EstadoControles();
        const QSet<QString> esperados = OcultosPorElReinicio();
        for (const QString& n : esperados)
            QVERIFY2(antes.contains(n) && !antes.value(n), qPrintable(n + " visible before the reset"));
        QCOMPARE(NumeroPestanas(), 6);

        OcultaControles();

        const QMap<QString, bool> despues = EstadoControles();
        QCOMPARE(QSet<QString>(despues.keyBegin(), despues.keyEnd()),
                 QSet<QString>(antes.keyBegin(), antes.keyEnd()));
        QSet<QString> cambiados;
        for (auto it = antes.cbegin(); it != antes.cend(); ++it) {
            if (despues.value(it.key()) != it.value())
                cambiados.insert(it.key());
        }
        const QStringList faltan = (esperados - cambiados).values();
        const QStringList sobran = (cambiados - esperados).values();
        QVERIFY2(faltan.isEmpty(), qPrintable("left visible: " + faltan.join(u' ')));
        QVERIFY2(sobran.isEmpty(), qPrintable("changed besides: " + sobran.join(u' ')));
        for (const char* n : Intactos)
            QVERIFY2(!despues.value(QLatin1String(n)), n);
        QCOMPARE(NumeroPestanas(), pestanas);
        QCOMPARE(PestanaSeleccionada(), 1);
    }

    // A second reset, as every identification runs one, hides again what an
    // identification had shown.
    void reinicioRepetido()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = IniNormal;
        CrearVentanaPrueba(o);
        for (QWidget* w : {static_cast<QWidget*>(Ventana().TLuxON), static_cast<QWidget*>(Label(18)),
                           static_cast<QWidget*>(Ventana().LedAzulLampara1),
                           static_cast<QWidget*>(Ventana().TModeloR)})
            w->show();
        OcultaControles();
        QVERIFY(Ventana().TLuxON->isHidden());
        QVERIFY(Label(18)->isHidden());
        QVERIFY(Ventana().LedAzulLampara1->isHidden());
        QVERIFY(Ventana().TModeloR->isHidden());
        QVERIFY(!Ventana().LedOn->isHidden());
    }

    void pestanasFueraDeServicio()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = IniNormal;
        CrearVentanaPrueba(o);
        const QStringList cinco = {"Flashes", "Rotation", "Remote control", "Setup", "Visualization"};
        QCOMPARE(TextosPestanas(), cinco);
        ComprobarPaginaUnica();
        QCOMPARE(int(FrameActual), 1);

        // Three controllers without address 225.
        for (int i = 0; i < 3; ++i) {
            Identificacion(false);
            QCOMPARE(TextosPestanas(), cinco.mid(0, 4));
            ComprobarPaginaUnica();
        }
        // One with it, then one without.
        Identificacion(true);
        QCOMPARE(TextosPestanas(), cinco);
        SeleccionarPestana(5);
        ComprobarPaginaUnica();
        QCOMPARE(int(FrameActual), 5);
        Identificacion(false);
        QCOMPARE(TextosPestanas(), cinco.mid(0, 4));
        // The shown tab went away: the strip stands on its neighbour, tab 4, showing page 4.
        QCOMPARE(PestanaSeleccionada(), 4);
        ComprobarPaginaUnica();

        // Repeated identifications with 225 keep exactly one tab 5.
        for (int i = 0; i < 3; ++i) {
            Identificacion(true);
            QCOMPARE(TextosPestanas(), cinco);
        }
        QVERIFY(!InsertarPestanaVisualizacion());
        QCOMPARE(NumeroPestanas(), 5);
        SeleccionarPestana(5);
        ComprobarPaginaUnica();
        QVERIFY(!FrameP(5)->isHidden());
        QVERIFY(FrameP(6)->isHidden());
    }

    // A reset that does not take away the shown tab leaves the page shown.
    void reinicioConservaPaginaMostrada()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = IniNormal;
        CrearVentanaPrueba(o);
        SeleccionarPestana(2);
        ComprobarPaginaUnica();
        Identificacion(false);
        QCOMPARE(PestanaSeleccionada(), 2);
        QCOMPARE(int(FrameActual), 2);
        ComprobarPaginaUnica();
    }

    void pestanasEnServicio()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = IniServicio;
        CrearVentanaPrueba(o);
        const QStringList seis = {"Flashes", "Rotation", "Remote control", "Setup", "Visualization",
                                  QStringLiteral("V. Instantáneos")};
        QCOMPARE(TextosPestanas(), seis);
        SeleccionarPestana(6);
        ComprobarPaginaUnica();
        QCOMPARE(int(FrameActual), 6);
        for (bool con225 : {false, true, true, false, true}) {
            Identificacion(con225);
            QCOMPARE(TextosPestanas(), seis);
            QCOMPARE(PestanaSeleccionada(), 6);
            ComprobarPaginaUnica();
        }
        QVERIFY(!QuitarPestanaVisualizacion());
        QVERIFY(Ventana().ComboIdioma->isHidden());
        QVERIFY(Label(24)->isHidden());
        SeleccionarPestana(5);
        ComprobarPaginaUnica();
        QCOMPARE(int(FrameActual), 5);
    }
};

QTEST_MAIN(TestOcultaControles)
#include "tst_ocultacontroles.moc"
