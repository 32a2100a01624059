#include "ui/OcultaControles.h"

#include "app/ModuloKX.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <initializer_list>

static void Ocultar(std::initializer_list<QWidget*> controles)
{
    for (QWidget* c : controles)
        c->hide();
}

bool QuitarPestanaVisualizacion()
{
    if (ModoServicio() || NumeroPestanas() < 5)
        return false;
    const bool eraLaSeleccionada = PestanaSeleccionada() == 5;
    QuitarPestana(5);
    // The strip has moved its selection to a remaining tab: show that tab's page.
    if (eraLaSeleccionada)
        TabStrip1_Click();
    return true;
}

bool InsertarPestanaVisualizacion()
{
    if (NumeroPestanas() != 4)
        return false;
    InsertarPestana(5, TextoRecurso(1105));
    return true;
}

void OcultaControles()
{
    Ui::frmMain& v = Ventana();

    // 1. The indicator rows that depend on the changer type, pictures and caption.
    Ocultar({v.LedAzulLampara1, v.LedLampara1Apagado, label1(9),
             v.LedazulLampara2, v.LedLampara2Apagado, label1(10),
             v.LedRojoPrealarmaLampara, v.LedPrealarmaLamparaApagado, label1(1),
             v.LedAzulCambiador, v.LedCambiadorApagado, label1(2),
             v.LedRojoFalloRed, v.LedFalloRedVerde, label1(4),
             v.LedVerdeLampara1On, v.LedLampara1OnApagado, label1(5),
             v.LedRojoAlarmaLampara1, v.LedAlarmaLamparaVerde, label1(6),
             v.LedRojoFalloFoco, v.LedFalloFocoVerde, label1(7)});

    // 2. The language list and its caption; nothing shows them again.
    Ocultar({v.ComboIdioma, Label(24)});

    // 3. The fifth tab, outside service mode.
    QuitarPestanaVisualizacion();

    // 4. Every parameter field with its caption and unit label.
    Ocultar({Label(2), v.TVelocidadUsuario1, LabelUnidades(0),
             Label(26), v.TVelocidadUsuario2, LabelUnidades(4),
             Label(29), v.TVelocidadUsuario3, LabelUnidades(5),
             Label(32), v.TVelocidadUsuario4, LabelUnidades(6),
             Label(28), v.TRelacionReductor,
             Label(33), v.TPulsosRevolucion,
             Label(18), v.TLuxON, LabelUnidades(1), v.TLuxONAD,
             Label(19), v.TLuxOFF, LabelUnidades(2), v.TLuxOFFAD,
             Label(4), v.TTestFotocelula, LabelUnidades(3),
             Label(5), v.TLuxLamparaFundida, LabelUnidades(13),
             Label(8), v.TRetardoLamparaFundida, LabelUnidades(14),
             Label(11), v.ComboTipoCambiador,
             Label(36), v.TTiempoLampara1, LabelUnidades(11),
             Label(31), v.TTiempoLampara2, LabelUnidades(8),
             Label(34), v.TTiempoFalloRed, LabelUnidades(9),
             Label(35), v.TTiempoRetornoRed, LabelUnidades(10),
             Label(30), v.TFotocelulaInterior, LabelUnidades(7),
             Label(12), v.ComboTipoLampara1,
             Label(13), v.ComboTipoLampara2,
             Label(20), v.ComboLamparaPrincipal,
             Label(0), v.ComboSensorLuz,
             Label(6), v.TMaxConsumoLed, LabelUnidades(15),
             Label(1), v.TMinConsumoLed, LabelUnidades(16),
             Label(27), v.ComboFuncion2Puerto,
             Label(37), v.TTiempoAceleracion, LabelUnidades(18),
             Label(39), v.TPWMLed, LabelUnidades(20),
             Label(40), v.ComboTipoMotor,
             Label(42), v.TMargenErrorMotor2, LabelUnidades(22),
             Label(41), v.TVueltasError,
             v.CheckBalizaEmergencia,
             Label(46), v.cmbModofuncionamiento,
             v.txtAtenuacionNocturna, Label(16), Label(45),
             v.txtTiempoDe, Label(47), Label(48),
             v.txtDuracionPulsoSincronismo, v.lblDuracionpulsosincronismo,
             v.txtGrupoLeds, v.lblGrupoLeds});

    // 5. The identification fields with their captions.
    Ocultar({Label(3), v.TIdentificacion,
             Label(22), v.TSemanaFabricacion,
             Label(21), v.TAnoFabricacion,
             Label(10), v.TNumeroFabricacion,
             Label(38), v.TModeloR,
             Label(15), v.TVersionFirmwareR,
             Label(14), v.THardwareR,
             Label(43), v.TNumeroID});
}
