// Reading the parameter set through the simulator.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "params/Catalogo.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSerialPort>
#include <QtTest>

namespace {
const QString TextoFirmware = QStringLiteral("This version of firmware is only QZL software program v1.2.9");
const QString ErrorDeLectura = QStringLiteral("Error de lectura, posible desbordamiento. Reintente la operación");
}

class LecturaPrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

    void Controlador(const EstadoSimulador& e)
    {
        SimFijarEstado(sim.get(), e);
        SimBorrarRegistro(sim.get());
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        sim = IniciarSimuladorPrueba(1, EstadoSimulador{});
        QVERIFY(sim);
        CrearVentanaPrueba();
    }
    void init()
    {
        ReiniciarEstadoPrueba();
        CodigoServicio = 0;
        ContestarDialogos();
        SimFijarFallos(sim.get(), FallosSimulador{});
        SimBorrarRegistro(sim.get());
        FijarPuerto(1);
        Ventana().ComboSensorLuz->setCurrentIndex(0);
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
    }

    void tresDirecciones()
    {
        EstadoSimulador e = EstadoConPresentes({{0, 2}});
        e.Celdas[0] = 0;
        e.Celdas[1] = 48;
        e.Celdas[2] = 212;
        Controlador(e);
        Ventana().TTiempoLampara1->setText(QStringLiteral("10"));
        Ventana().TIdentificacion->setText(QStringLiteral("old"));
        CLeer_Click();
        QCOMPARE(TramasDeComando(sim.get(), 1),
                 QStringList({"4B 58 00 00 01 00 00 FE", "4B 58 00 00 01 01 00 FF", "4B 58 00 00 01 02 00 FC"}));
        QCOMPARE(SimRegistro(sim.get()).size(), 32 + 3);
        const QStringList h = HistorialPanel1();
        const qsizetype desde = h.indexOf(QStringLiteral("Reading"));
        QVERIFY(desde > 0);
        QCOMPARE(h.mid(desde), QStringList({"Reading", " 0", " 1", " 2", "Ended"}));
        Ui::frmMain& v = Ventana();
        QCOMPARE(v.TVelocidadUsuario1->text(), QStringLiteral("1.2500"));
        // Every other field shows the value of zero cells.
        QCOMPARE(v.TVelocidadUsuario2->text(), QStringLiteral("0.0000"));
        QCOMPARE(v.TTiempoLampara1->text(), QStringLiteral("0.0"));
        QCOMPARE(v.TMaxConsumoLed->text(), QStringLiteral("0.00"));
        QCOMPARE(v.TLuxON->text(), QStringLiteral("0"));
        QCOMPARE(v.TIdentificacion->text(), QString(16, QChar(0)));
        QCOMPARE(v.TVersionFirmwareR->text(), QStringLiteral("0"));
        // Cell 252 is 0: the firmware warning.
        QCOMPARE(MensajesMostrados(), QStringList{TextoFirmware});
        QCOMPARE(DialogosMostrados().first().icono, QMessageBox::NoIcon);
        QVERIFY(v.PictureInicio->isHidden());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(v.CLeer->isEnabled() && v.CEscribir->isEnabled() && v.CAbrir->isEnabled() && v.CGuardar->isEnabled());
        QCOMPARE(PitidosDados(), 0);
    }

    void ningunaDireccion()
    {
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0});
        Ventana().TTiempoFalloRed->setText(QStringLiteral("10"));
        LeerQZL();
        QCOMPARE(SimRegistro(sim.get()), QStringList{});
        QCOMPARE(HistorialPanel1(), QStringList{"Ended"});
        QCOMPARE(Ventana().TTiempoFalloRed->text(), QStringLiteral("0.0"));
        QCOMPARE(MensajesMostrados(), QStringList{TextoFirmware});
        QVERIFY(!MSCommDestellador().isOpen());
    }

    // The whole demo controller: the sensor kind is decoded before the light levels,
    // selections act like the user's, and firmware 52 raises no warning.
    void controladorCompleto()
    {
        Controlador(EstadoTodoPresente());
        Ui::frmMain& v = Ventana();
        v.ComboTipoCambiador->setCurrentIndex(0);
        v.cmbModofuncionamiento->setCurrentIndex(0);
        CLeer_Click();
        QCOMPARE(IndicesDeComando(sim.get(), 128).size(), 32);
        QList<int> todas;
        for (int a = 0; a < 256; ++a)
            todas << a;
        QCOMPARE(IndicesDeComando(sim.get(), 1), todas);
        QCOMPARE(v.ComboSensorLuz->currentIndex(), 1);
        QCOMPARE(v.TLuxON->text(), QStringLiteral("50"));  // photocell 256; the photodiode would give 130
        QCOMPARE(v.TLuxONAD->text(), QStringLiteral("256"));
        QCOMPARE(v.TLuxOFF->text(), QStringLiteral("100"));
        QCOMPARE(v.TLuxOFFAD->text(), QStringLiteral("192"));
        QCOMPARE(v.TLuxLamparaFundida->text(), QStringLiteral("20"));
        QCOMPARE(v.TVelocidadUsuario4->text(), QStringLiteral("10.0000"));
        QCOMPARE(v.TRelacionReductor->text(), QStringLiteral("25.50"));
        QCOMPARE(v.TTiempoLampara2->text(), QStringLiteral("15.0"));
        QCOMPARE(v.TMinConsumoLed->text(), QStringLiteral("0.20"));
        QCOMPARE(v.TMargenErrorMotor2->text(), QStringLiteral("0.50"));
        QCOMPARE(v.ComboTipoCambiador->currentIndex(), 1);
        QCOMPARE(v.ComboTipoLampara2->currentIndex(), 1);
        QCOMPARE(v.ComboFuncion2Puerto->currentIndex(), 1);
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Checked);
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 1);
        QVERIFY(v.txtAtenuacionNocturna->isEnabled());
        QCOMPARE(v.txtAtenuacionNocturna->text(), QStringLiteral("40"));
        QCOMPARE(v.TIdentificacion->text(), QStringLiteral("QZL DEMO BEACON "));
        QCOMPARE(v.TVersionFirmwareR->text(), QStringLiteral("52"));
        QVERIFY(MensajesMostrados().isEmpty());
        // The changer selection replaced "Ended", as a user's would.
        const QStringList h = HistorialPanel1();
        QVERIFY(h.indexOf(QStringLiteral("Changes pending record")) > h.indexOf(QStringLiteral("Ended")));
        QCOMPARE(TextoPanel1(), QStringLiteral("Changes pending record"));
    }

    void firmware_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<bool>("aviso");
        QTest::newRow("47") << 47 << true;
        QTest::newRow("48") << 48 << false;
    }

    void firmware()
    {
        QFETCH(int, version);
        QFETCH(bool, aviso);
        EstadoSimulador e = EstadoTodoPresente();
        e.Celdas[252] = uint8_t(version);
        e.Celdas[253] = 9;
        Controlador(e);
        Ventana().THardwareR->setText(QStringLiteral("old"));
        QString versionAlAvisar;
        QString hardwareAlAvisar;
        FijarContestadorDialogos([&](const PeticionDialogo&) {
            versionAlAvisar = Ventana().TVersionFirmwareR->text();
            hardwareAlAvisar = Ventana().THardwareR->text();
            return RespuestaDialogo{};
        });
        CLeer_Click();
        QCOMPARE(MensajesMostrados(), aviso ? QStringList{TextoFirmware} : QStringList{});
        if (aviso) {
            QCOMPARE(versionAlAvisar, QString::number(version));
            QCOMPARE(hardwareAlAvisar, QStringLiteral("old"));  // the read goes on after it
        }
        QCOMPARE(Ventana().THardwareR->text(), QStringLiteral("9"));
    }

    // A controller that stops answering at address 37: nothing in the window changes.
    void seCallaEnLa37()
    {
        Controlador(EstadoTodoPresente());
        Ui::frmMain& v = Ventana();
        v.TVelocidadUsuario1->setText(QStringLiteral("7.5"));
        v.TTiempoLampara1->setText(QStringLiteral("10"));
        v.TIdentificacion->setText(QStringLiteral("KEEP"));
        v.ComboSensorLuz->setCurrentIndex(0);
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 1;
        f.CallarIndice = 37;
        f.CallarDesdeEntonces = true;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();
        CLeer_Click();
        QList<int> leidas;
        for (int a = 0; a <= 37; ++a)
            leidas << a;
        leidas << 37 << 37;
        QCOMPARE(IndicesDeComando(sim.get(), 1), leidas);
        QCOMPARE(TextoPanel1(), QStringLiteral("Reading Error in data 37"));
        const QStringList h = HistorialPanel1();
        QVERIFY(!h.mid(h.indexOf(QStringLiteral("Reading"))).contains(QStringLiteral("Ended")));
        QCOMPARE(PitidosDados(), 1);
        QCOMPARE(v.TVelocidadUsuario1->text(), QStringLiteral("7.5"));
        QCOMPARE(v.TTiempoLampara1->text(), QStringLiteral("10"));
        QCOMPARE(v.TIdentificacion->text(), QStringLiteral("KEEP"));
        QCOMPARE(v.ComboSensorLuz->currentIndex(), 0);
        QVERIFY(MensajesMostrados().isEmpty());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(v.CLeer->isEnabled() && v.CEscribir->isEnabled());
    }

    void puertoQueNoAbre()
    {
        std::fill(std::begin(MapaParametros), std::end(MapaParametros), uint8_t{0xFF});
        Ventana().TVelocidadUsuario1->setText(QStringLiteral("7.5"));
        EnlaceRoto(2);
        FijarPuerto(2);
        LeerQZL();
        QCOMPARE(MensajesMostrados(), QStringList{ErrorDeLectura});
        QCOMPARE(DialogosMostrados().first().icono, QMessageBox::Critical);
        QCOMPARE(Ventana().TVelocidadUsuario1->text(), QStringLiteral("7.5"));
        QVERIFY(Ventana().CLeer->isEnabled());
        QuitarEnlace(2);
    }

    // A write after a read gives back what was read, cell for cell, except the field the
    // technician changed; after a failed read nothing is written until a read ends well.
    void escrituraTrasLecturaDevuelveLasCeldas()
    {
        EstadoSimulador e = EstadoConPresentes({{0, 255}});
        const std::pair<int, int> celdas[] = {
            {17, 2}, {18, 11},   // 523 photodiode counts, shown as 360 lux
            {57, 3}, {58, 232},  // 1000 minutes, shown as 999
            {27, 9},             // a changer type the list does not have
            {40, 7},             // shown as main lamp 2
            {54, 3},             // shown ticked
            {100, 77},           // no field shows it
            {252, 52}, {231, 65},
        };
        for (const auto& [a, v] : celdas)
            e.Celdas[size_t(a)] = uint8_t(v);
        e.Celdas[28] = 0;
        e.Celdas[29] = 100;
        Controlador(e);
        CodigoServicio = CodigoServicioFabrica;
        CLeer_Click();
        Ui::frmMain& v = Ventana();
        QCOMPARE(v.TLuxON->text(), QStringLiteral("360"));
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("999"));
        v.TTiempoLampara1->setText(QStringLiteral("12.5"));
        SimBorrarRegistro(sim.get());
        CEscribir_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QCOMPARE(IndicesDeComando(sim.get(), 2).size(), 249);  // the same frames as ever
        EstadoSimulador esperado = e;
        esperado.Celdas[29] = 125;
        QCOMPARE(SimEstado(sim.get()).Celdas, esperado.Celdas);

        // The read stops at address 200: it shows nothing, so the window still holds the
        // last good read (with its one edit, now written); but the controller may be
        // another one now, so the write sends nothing until a read ends well.
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = 1;
        f.CallarIndice = 200;
        f.CallarDesdeEntonces = true;
        SimFijarFallos(sim.get(), f);
        FallosRapidos();
        CLeer_Click();
        QVERIFY(HistorialPanel1().contains(QStringLiteral("Reading Error in data 200")));
        SimFijarFallos(sim.get(), FallosSimulador{});
        QCOMPARE(v.TLuxON->text(), QStringLiteral("360"));
        SimBorrarRegistro(sim.get());
        HistorialPanel1().clear();
        CEscribir_Click();
        QCOMPARE(HistorialPanel1(), QStringList{TextoRecurso(2006)});
        QCOMPARE(TextoPanel1(), QStringLiteral("Nothing written: the last read failed, press Read QZL again"));
        QCOMPARE(SimRegistro(sim.get()), QStringList{});
        QCOMPARE(SimEstado(sim.get()).Celdas, esperado.Celdas);

        // A good read allows the write again: an edit is encoded anew, and only that field.
        CLeer_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        v.txtTiempoDe->setText(QStringLiteral("998"));
        CEscribir_Click();
        const EstadoSimulador tras = SimEstado(sim.get());
        QCOMPARE(tras.Celdas[57] * 256 + tras.Celdas[58], 998);
        QCOMPARE(tras.Celdas[17] * 256 + tras.Celdas[18], 523);
        QCOMPARE(int(tras.Celdas[100]), 77);
        CodigoServicio = 0;
    }

    // A field the technician acts on is encoded from what it shows, even when the act
    // ends on what the read put there: cells the field could not show are not kept then.
    void actoSobreCampoLoMarcaEditado()
    {
        EstadoSimulador e = EstadoConPresentes({{0, 255}});
        const std::pair<int, int> celdas[] = {
            {55, 3},             // shown as "24 hours ON", the list's last entry
            {57, 3}, {58, 232},  // 1000 minutes, shown as 999
            {27, 7},             // a changer type the list does not have
            {54, 3},             // shown ticked
            {40, 7},             // shown as main lamp 2; nobody touches it
            {100, 77},           // no field shows it
        };
        for (const auto& [a, v] : celdas)
            e.Celdas[size_t(a)] = uint8_t(v);
        Controlador(e);
        CodigoServicio = CodigoServicioFabrica;
        CLeer_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        Ui::frmMain& v = Ventana();
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 1);
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("999"));
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Checked);
        const int cambiador = v.ComboTipoCambiador->currentIndex();

        // "Night ON", then "24 hours ON" again; the changer one down and back up.
        QTest::keyClick(v.cmbModofuncionamiento, Qt::Key_Up);
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 0);
        QTest::keyClick(v.cmbModofuncionamiento, Qt::Key_Down);
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 1);
        QTest::keyClick(v.ComboTipoCambiador, cambiador > 0 ? Qt::Key_Up : Qt::Key_Down);
        QTest::keyClick(v.ComboTipoCambiador, cambiador > 0 ? Qt::Key_Down : Qt::Key_Up);
        QCOMPARE(v.ComboTipoCambiador->currentIndex(), cambiador);
        // 999 typed over 999; the check box clicked round to ticked again.
        v.txtTiempoDe->selectAll();
        QTest::keyClicks(v.txtTiempoDe, QStringLiteral("999"));
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("999"));
        for (int i = 0; i < 2; ++i)
            v.CheckBalizaEmergencia->click();
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Checked);

        CEscribir_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        const EstadoSimulador tras = SimEstado(sim.get());
        QCOMPARE(int(tras.Celdas[55]), 1);
        QCOMPARE(tras.Celdas[57] * 256 + tras.Celdas[58], 999);
        QCOMPARE(int(tras.Celdas[27]), cambiador);
        QCOMPARE(int(tras.Celdas[54]), 1);
        QCOMPARE(int(tras.Celdas[40]), 7);    // untouched: its cell kept
        QCOMPARE(int(tras.Celdas[100]), 77);

        // A new read forgets the acts: an unedited write gives every cell back.
        Controlador(e);
        CLeer_Click();
        CEscribir_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QCOMPARE(SimEstado(sim.get()).Celdas, e.Celdas);
        CodigoServicio = 0;
    }

    // Service mode: the read shows the factory fields with their values.
    void modoServicio()
    {
        Controlador(EstadoTodoPresente());
        CodigoServicio = CodigoServicioFabrica;
        CLeer_Click();
        Ui::frmMain& v = Ventana();
        for (QWidget* w : {static_cast<QWidget*>(v.TNumeroFabricacion), static_cast<QWidget*>(v.ComboTipoCambiador),
                           static_cast<QWidget*>(v.TRelacionReductor), static_cast<QWidget*>(v.TSemanaFabricacion)})
            QVERIFY2(!w->isHidden(), qPrintable(w->objectName()));
        QVERIFY(v.TLuxONAD->isHidden());
        const EstadoSimulador e = EstadoTodoPresente();
        QCOMPARE(v.TNumeroFabricacion->text(), QString::number(e.Celdas[249] * 256 + e.Celdas[250]));
        QCOMPARE(v.TAnoFabricacion->text(), QString::number(e.Celdas[248]));
        CodigoServicio = 0;
        CLeer_Click();
        QVERIFY(v.TNumeroFabricacion->isHidden());
        QVERIFY(v.ComboTipoCambiador->isHidden());
    }

    // Closing the window in the middle of a read ends the read quietly (last: the window goes).
    void cerrarLaVentanaDuranteLaLectura()
    {
        Controlador(EstadoTodoPresente());
        CerrarVentanaDurante([&] { return SimTramasRecibidas(sim.get()) >= 32 + 40; }, CLeer_Click);
        QTRY_VERIFY(!FormPrincipal());
        QVERIFY(!MSCommDestellador().isOpen());
        QVERIFY(IndicesDeComando(sim.get(), 1).size() < 256);
    }
};

QTEST_MAIN(LecturaPrueba)
#include "tst_lectura.moc"
