// Identification through the simulator: the presence map, the fields it shows,
// the factory fields, the visualization tab, a controller that does not answer.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "link/Identificacion.h"
#include "link/Puerto.h"
#include "params/CamposPresentes.h"
#include "params/Catalogo.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/OcultaControles.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QLabel>
#include <QSerialPort>
#include <QSet>
#include <QTabWidget>
#include <QtTest>

namespace {

// Every control the map makes visible or hidden.
QStringList ControlesDelMapa()
{
    QStringList n;
    for (const FilaMapa& f : MapaMemoria()) {
        n << QLatin1String(f.campo);
        if (f.label >= 0)
            n << QStringLiteral("Label_%1").arg(f.label);
        if (f.labelExtra >= 0)
            n << QStringLiteral("Label_%1").arg(f.labelExtra);
        if (f.labelUnidades >= 0)
            n << QStringLiteral("LabelUnidades_%1").arg(f.labelUnidades);
        if (f.etiquetaPropia)
            n << QLatin1String(f.etiquetaPropia);
        if (f.campoCuentas)
            n << QLatin1String(f.campoCuentas);
    }
    return n;
}

// Of the controls the reset hides, those shown now.
QSet<QString> Visibles(const QSet<QString>& universo)
{
    QSet<QString> v;
    for (const QString& n : universo) {
        if (!Control(n)->isHidden())
            v.insert(n);
    }
    return v;
}

QSet<QString> Conjunto(const QString& nombres)
{
    const QStringList l = nombres.split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(l.begin(), l.end());
}

QString Frame128(int i)
{
    const int chk = 0xFF ^ 0x80 ^ i;
    return QStringLiteral("4B 58 00 00 80 %1 00 %2")
        .arg(i, 2, 16, QChar(u'0'))
        .arg(chk, 2, 16, QChar(u'0'))
        .toUpper();
}

}  // namespace

class IdentificacionPrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    QSet<QString> universo;  // map controls that the reset hides

    void Controlador(const EstadoSimulador& e)
    {
        SimFijarEstado(sim.get(), e);
        SimBorrarRegistro(sim.get());
    }

    // The identification half of the read button: the bare layout, the map, its fields.
    static bool Identificar()
    {
        OcultaControles();
        if (!IdentificarQZL())
            return false;
        MostrarCamposPresentes();
        return true;
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
        sim = IniciarSimuladorPrueba(1, EstadoSimulador{});
        QVERIFY(sim);
        CrearVentanaPrueba();
        OcultaControles();
        for (const QString& n : ControlesDelMapa()) {
            QVERIFY2(Control(n), qPrintable(n));
            if (Control(n)->isHidden())
                universo.insert(n);
        }
    }
    void init()
    {
        ReiniciarEstadoPrueba();
        CodigoServicio = 0;
        SimFijarFallos(sim.get(), FallosSimulador{});
        SimBorrarRegistro(sim.get());
        FijarPuerto(1);
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
    }

    void tramasYMapa()
    {
        EstadoSimulador e;
        for (int i = 0; i < 32; ++i)
            e.Presencia[size_t(i)] = uint8_t(i * 7 + 1);
        Controlador(e);
        QVERIFY(IdentificarQZL());
        QStringList esperadas;
        for (int i = 0; i < 32; ++i)
            esperadas << Frame128(i);
        QCOMPARE(SimRegistro(sim.get()), esperadas);
        QCOMPARE(esperadas[5], QStringLiteral("4B 58 00 00 80 05 00 7A"));
        for (int i = 0; i < 32; ++i)
            QCOMPARE(int{MapaParametros[i]}, i * 7 + 1);
        QStringList contadores;
        for (int i = 0; i < 32; ++i)
            contadores << u' ' + QString::number(i);
        QCOMPARE(HistorialPanel1().mid(0, 32), contadores);
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CLeer->isEnabled() && Ventana().CAbrir->isEnabled());
    }

    void camposVisibles_data()
    {
        QTest::addColumn<QList<int>>("direcciones");
        QTest::addColumn<bool>("servicio");
        QTest::addColumn<QString>("visibles");
        using L = QList<int>;
        QTest::newRow("0 y 3") << L{0, 3} << false
                               << "Label_2 TVelocidadUsuario1 LabelUnidades_0 Label_26 TVelocidadUsuario2 LabelUnidades_4";
        QTest::newRow("segundas celdas no cuentan") << L{1, 2, 10, 58, 250} << false << "";
        QTest::newRow("cuarta velocidad") << L{9} << false << "Label_32 TVelocidadUsuario4 LabelUnidades_6";
        QTest::newRow("250 fuera de servicio") << L{250} << false << "";
        QTest::newRow("250 en servicio") << L{250} << true << "Label_10 TNumeroFabricacion";
        QTest::newRow("27 fuera de servicio") << L{27} << false << "";
        QTest::newRow("27 en servicio") << L{27} << true << "Label_11 ComboTipoCambiador";
        QTest::newRow("fabrica en servicio") << L{12, 15, 247, 248, 249} << true
                                             << "Label_28 TRelacionReductor Label_33 TPulsosRevolucion "
                                                "Label_22 TSemanaFabricacion Label_21 TAnoFabricacion "
                                                "Label_10 TNumeroFabricacion";
        QTest::newRow("17 sin cuentas") << L{17} << false << "Label_18 TLuxON LabelUnidades_1";
        QTest::newRow("17 sin cuentas en servicio") << L{17, 19} << true
                                                    << "Label_18 TLuxON LabelUnidades_1 Label_19 TLuxOFF LabelUnidades_2";
        QTest::newRow("56 a 60") << L{56, 57, 59, 60} << false
                                 << "Label_16 Label_45 txtAtenuacionNocturna Label_47 txtTiempoDe Label_48 "
                                    "txtDuracionPulsoSincronismo lblDuracionpulsosincronismo txtGrupoLeds lblGrupoLeds";
        QTest::newRow("54 su propia etiqueta") << L{54} << false << "CheckBalizaEmergencia";
        QTest::newRow("identificador por una celda") << L{240} << false << "Label_3 TIdentificacion";
        QTest::newRow("numero ID por la segunda") << L{255} << false << "Label_43 TNumeroID";
        QTest::newRow("221 a 224 no se tocan") << L{221, 222, 223, 224} << false << "";
        QTest::newRow("modelo firmware hardware") << L{251, 252, 253} << false
                                                  << "Label_38 TModeloR Label_15 TVersionFirmwareR Label_14 THardwareR";
    }

    void camposVisibles()
    {
        QFETCH(QList<int>, direcciones);
        QFETCH(bool, servicio);
        QFETCH(QString, visibles);
        EstadoSimulador e;
        for (const int a : direcciones)
            FijarPresente(e, a);
        Controlador(e);
        CodigoServicio = servicio ? CodigoServicioFabrica : 0;
        // A previous identification's fields must go: start from everything shown.
        for (const QString& n : universo)
            Control(n)->show();
        QVERIFY(Identificar());
        QCOMPARE(Visibles(universo), Conjunto(visibles));
    }

    // Everything present: every field but the factory ones and the raw counts.
    void todoPresente()
    {
        Controlador(EstadoTodoPresente());
        QVERIFY(Identificar());
        QSet<QString> esperados = universo;
        for (const QString& n : Conjunto("Label_10 TNumeroFabricacion Label_21 TAnoFabricacion Label_22 "
                                         "TSemanaFabricacion Label_11 ComboTipoCambiador Label_28 "
                                         "TRelacionReductor Label_33 TPulsosRevolucion TLuxONAD TLuxOFFAD"))
            esperados.remove(n);
        QCOMPARE(Visibles(universo), esperados);
    }

    void pestanaVisualizacion()
    {
        auto textos = [] {
            QStringList t;
            for (int p = 1; p <= NumeroPestanas(); ++p)
                t << Ventana().TabStrip1->tabText(p - 1);
            return t;
        };
        EstadoSimulador sin = EstadoConPresentes({{0, 60}});
        EstadoSimulador con = EstadoConPresentes({{0, 60}, {225, 225}});
        Controlador(sin);
        QVERIFY(Identificar());
        QCOMPARE(NumeroPestanas(), 4);
        Controlador(con);
        QVERIFY(Identificar());
        QCOMPARE(NumeroPestanas(), 5);
        QCOMPARE(textos().last(), QStringLiteral("Visualization"));
        QVERIFY(Identificar());
        QCOMPARE(textos().count(QStringLiteral("Visualization")), 1);
        Controlador(sin);
        QVERIFY(Identificar());
        QCOMPARE(NumeroPestanas(), 4);
    }

    // A controller that stops answering: the map is not trusted and the read is not run.
    void controladorQueNoContesta_data()
    {
        QTest::addColumn<int>("calla");  // presence byte from which it is silent
        QTest::newRow("mudo") << 0;
        QTest::newRow("calla en el byte 5") << 5;
    }

    void controladorQueNoContesta()
    {
        QFETCH(int, calla);
        Controlador(EstadoTodoPresente());
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0xFF});
        Ventana().TVelocidadUsuario1->setText(QStringLiteral("7.5"));
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 128;
        f.CallarIndice = uint8_t(calla);
        f.CallarDesdeEntonces = true;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();
        CLeer_Click();
        QStringList esperadas;
        for (int i = 0; i < calla; ++i)
            esperadas << Frame128(i);
        esperadas << Frame128(calla) << Frame128(calla) << Frame128(calla);
        QCOMPARE(SimRegistro(sim.get()), esperadas);  // no read frame follows
        for (const uint8_t b : MapaParametros)
            QCOMPARE(int{b}, 0);
        QCOMPARE(TextoPanel1(), QStringLiteral("Identification Error in data ") + QString::number(calla));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Ended")));
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Reading")));
        QCOMPARE(Visibles(universo), QSet<QString>{});
        QCOMPARE(Ventana().TVelocidadUsuario1->text(), QStringLiteral("7.5"));
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(Ventana().CLeer->isEnabled() && Ventana().CEscribir->isEnabled());
        QVERIFY(MensajesMostrados().isEmpty());
    }

    void puertoQueNoAbre()
    {
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0xFF});
        EnlaceRoto(2);
        FijarPuerto(2);
        QVERIFY(!IdentificarQZL());
        QCOMPARE(MensajesMostrados(),
                 QStringList{QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación")});
        QCOMPARE(DialogosMostrados().first().icono, QMessageBox::Critical);
        for (const uint8_t b : MapaParametros)
            QCOMPARE(int{b}, 0);
        QVERIFY(Ventana().CLeer->isEnabled());
        QuitarEnlace(2);
    }

    // The read button with a port that cannot be opened: the map is zeroed and the read is
    // skipped, so a write afterwards, with the port back, sends nothing: the controller may
    // have been swapped meanwhile, and the old map is not trusted.
    void lecturaConPuertoQueNoAbre()
    {
        Controlador(EstadoTodoPresente());
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0xFF});
        Ventana().TVelocidadUsuario1->setText(QStringLiteral("7.5"));
        EnlaceRoto(2);
        FijarPuerto(2);
        CLeer_Click();
        QuitarEnlace(2);
        QCOMPARE(MensajesMostrados(),
                 QStringList{QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación")});
        for (const uint8_t b : MapaParametros)
            QCOMPARE(int{b}, 0);
        QVERIFY(!HistorialPanel1().contains(QStringLiteral("Reading")));
        QCOMPARE(Ventana().TVelocidadUsuario1->text(), QStringLiteral("7.5"));

        FijarPuerto(1);
        LlenarCamposValidos();
        HistorialPanel1().clear();
        DialogosMostrados().clear();
        CEscribir_Click();
        QVERIFY(MensajesMostrados().isEmpty());
        QCOMPARE(SimRegistro(sim.get()), QStringList{});
        QCOMPARE(HistorialPanel1(), QStringList{QStringLiteral("Nothing written: the identification failed, press Read QZL again")});
        QVERIFY(Ventana().CLeer->isEnabled() && Ventana().CEscribir->isEnabled());
    }
};

QTEST_MAIN(IdentificacionPrueba)
#include "tst_identificacion.moc"
