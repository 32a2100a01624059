// The main window as built: every named control of the layout, its kind, page and
// start text; arrays, tabs, the button guard, title and placement, accessibility.
#include "support/VentanaPrueba.h"

#include "app/FormLoad.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"
#include "ui/frmSplash.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QSignalSpy>
#include <QTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace Qt::StringLiterals;

namespace {

struct ControlEsperado {
    QString nombre;
    const char* clase;
    QString pagina;  // FrameP_n that holds it, or empty for the window's own area
    QString texto;   // start text (caption, button text, field text or group title)
};

const ControlEsperado controles[] = {
    {u"Image1"_s, "QLabel", u""_s, u""_s},
    {u"Frame1_0"_s, "QGroupBox", u""_s, u"QZL"_s},
    {u"Label_38"_s, "QLabel", u""_s, u"Model"_s},
    {u"TModeloR"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_15"_s, "QLabel", u""_s, u"Firmware Version"_s},
    {u"TVersionFirmwareR"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_14"_s, "QLabel", u""_s, u"Hardware"_s},
    {u"THardwareR"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_43"_s, "QLabel", u""_s, u"ID Number"_s},
    {u"TNumeroID"_s, "QLineEdit", u""_s, u"0"_s},
    {u"Label_3"_s, "QLabel", u""_s, u"Identifier"_s},
    {u"TIdentificacion"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_10"_s, "QLabel", u""_s, u"Manufacturer number"_s},
    {u"TNumeroFabricacion"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_21"_s, "QLabel", u""_s, u"Year made"_s},
    {u"TAnoFabricacion"_s, "QLineEdit", u""_s, u""_s},
    {u"Label_22"_s, "QLabel", u""_s, u"Week made"_s},
    {u"TSemanaFabricacion"_s, "QLineEdit", u""_s, u""_s},
    {u"TabStrip1"_s, "QTabWidget", u""_s, u""_s},
    {u"FrameP_1"_s, "QGroupBox", u""_s, u"Destellos"_s},
    {u"Label_18"_s, "QLabel", u"FrameP_1"_s, u"Light level Beacon ON"_s},
    {u"TLuxON"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_1"_s, "QLabel", u"FrameP_1"_s, u"Lux"_s},
    {u"Label_19"_s, "QLabel", u"FrameP_1"_s, u"Light level Beacon OFF"_s},
    {u"TLuxOFF"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_2"_s, "QLabel", u"FrameP_1"_s, u"Lux"_s},
    {u"TLuxONAD"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"TLuxOFFAD"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"Label_4"_s, "QLabel", u"FrameP_1"_s, u"Daylight sensor delay"_s},
    {u"TTestFotocelula"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_3"_s, "QLabel", u"FrameP_1"_s, u"s."_s},
    {u"Label_5"_s, "QLabel", u"FrameP_1"_s, u"Lamp alarm level"_s},
    {u"TLuxLamparaFundida"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_13"_s, "QLabel", u"FrameP_1"_s, u"Lux"_s},
    {u"Label_8"_s, "QLabel", u"FrameP_1"_s, u"Delay lamp failure"_s},
    {u"TRetardoLamparaFundida"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_14"_s, "QLabel", u"FrameP_1"_s, u"s."_s},
    {u"Label_0"_s, "QLabel", u"FrameP_1"_s, u"sensor type"_s},
    {u"ComboSensorLuz"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_11"_s, "QLabel", u"FrameP_1"_s, u"Lamchanger type"_s},
    {u"ComboTipoCambiador"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_30"_s, "QLabel", u"FrameP_1"_s, u"Delay lamp photocell"_s},
    {u"TFotocelulaInterior"_s, "QLineEdit", u"FrameP_1"_s, u"10"_s},
    {u"LabelUnidades_7"_s, "QLabel", u"FrameP_1"_s, u"Seg."_s},
    {u"Label_12"_s, "QLabel", u"FrameP_1"_s, u"Lamp 1 type"_s},
    {u"ComboTipoLampara1"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_13"_s, "QLabel", u"FrameP_1"_s, u"Lamp  2 type"_s},
    {u"ComboTipoLampara2"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_20"_s, "QLabel", u"FrameP_1"_s, u"Main Lamp"_s},
    {u"ComboLamparaPrincipal"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_34"_s, "QLabel", u"FrameP_1"_s, u"Delay AC Mains failure"_s},
    {u"TTiempoFalloRed"_s, "QLineEdit", u"FrameP_1"_s, u"10"_s},
    {u"LabelUnidades_9"_s, "QLabel", u"FrameP_1"_s, u"Seg."_s},
    {u"Label_35"_s, "QLabel", u"FrameP_1"_s, u"Delay AC Mains restart"_s},
    {u"TTiempoRetornoRed"_s, "QLineEdit", u"FrameP_1"_s, u"10"_s},
    {u"LabelUnidades_10"_s, "QLabel", u"FrameP_1"_s, u"Seg."_s},
    {u"lblGrupoLeds"_s, "QLabel", u"FrameP_1"_s, u"LEDs levels"_s},
    {u"txtGrupoLeds"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"lblDuracionpulsosincronismo"_s, "QLabel", u"FrameP_1"_s, u"Pulso sincronismo                      (0-255s.)"_s},
    {u"txtDuracionPulsoSincronismo"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"CheckBalizaEmergencia"_s, "QCheckBox", u"FrameP_1"_s, u"Emergency lantern"_s},
    {u"Label_27"_s, "QLabel", u"FrameP_1"_s, u"2º Port function"_s},
    {u"ComboFuncion2Puerto"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_36"_s, "QLabel", u"FrameP_1"_s, u"Delay Lamp 1"_s},
    {u"TTiempoLampara1"_s, "QLineEdit", u"FrameP_1"_s, u"10"_s},
    {u"LabelUnidades_11"_s, "QLabel", u"FrameP_1"_s, u"Seg."_s},
    {u"Label_31"_s, "QLabel", u"FrameP_1"_s, u"Delay Lamp 2"_s},
    {u"TTiempoLampara2"_s, "QLineEdit", u"FrameP_1"_s, u"10"_s},
    {u"LabelUnidades_8"_s, "QLabel", u"FrameP_1"_s, u"Seg."_s},
    {u"Label_6"_s, "QLabel", u"FrameP_1"_s, u"Max. Int. Led"_s},
    {u"TMaxConsumoLed"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_15"_s, "QLabel", u"FrameP_1"_s, u"A"_s},
    {u"Label_1"_s, "QLabel", u"FrameP_1"_s, u"Min. Int. Led"_s},
    {u"TMinConsumoLed"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_16"_s, "QLabel", u"FrameP_1"_s, u"A"_s},
    {u"Label_39"_s, "QLabel", u"FrameP_1"_s, u"PWM Led"_s},
    {u"TPWMLed"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"LabelUnidades_20"_s, "QLabel", u"FrameP_1"_s, u"%"_s},
    {u"Label_46"_s, "QLabel", u"FrameP_1"_s, u"Function mode"_s},
    {u"cmbModofuncionamiento"_s, "QComboBox", u"FrameP_1"_s, u""_s},
    {u"Label_16"_s, "QLabel", u"FrameP_1"_s, u"Night attenuation"_s},
    {u"txtAtenuacionNocturna"_s, "QLineEdit", u"FrameP_1"_s, u""_s},
    {u"Label_45"_s, "QLabel", u"FrameP_1"_s, u"%"_s},
    {u"FrameP_2"_s, "QGroupBox", u""_s, u"Giro"_s},
    {u"Label_40"_s, "QLabel", u"FrameP_2"_s, u"Motor Type"_s},
    {u"ComboTipoMotor"_s, "QComboBox", u"FrameP_2"_s, u""_s},
    {u"Label_2"_s, "QLabel", u"FrameP_2"_s, u"User Speed 1"_s},
    {u"TVelocidadUsuario1"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"LabelUnidades_0"_s, "QLabel", u"FrameP_2"_s, u"RPM"_s},
    {u"Label_26"_s, "QLabel", u"FrameP_2"_s, u"User Speed 2"_s},
    {u"TVelocidadUsuario2"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"LabelUnidades_4"_s, "QLabel", u"FrameP_2"_s, u"RPM"_s},
    {u"Label_29"_s, "QLabel", u"FrameP_2"_s, u"User Speed 3"_s},
    {u"TVelocidadUsuario3"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"LabelUnidades_5"_s, "QLabel", u"FrameP_2"_s, u"RPM"_s},
    {u"Label_32"_s, "QLabel", u"FrameP_2"_s, u"User Speed 4"_s},
    {u"TVelocidadUsuario4"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"LabelUnidades_6"_s, "QLabel", u"FrameP_2"_s, u"RPM"_s},
    {u"Label_28"_s, "QLabel", u"FrameP_2"_s, u"Reducer Ratio"_s},
    {u"TRelacionReductor"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"Label_33"_s, "QLabel", u"FrameP_2"_s, u"Pulses per revolution"_s},
    {u"TPulsosRevolucion"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"Label_37"_s, "QLabel", u"FrameP_2"_s, u"Acceleration Time"_s},
    {u"TTiempoAceleracion"_s, "QLineEdit", u"FrameP_2"_s, u"10"_s},
    {u"LabelUnidades_18"_s, "QLabel", u"FrameP_2"_s, u"s."_s},
    {u"Label_42"_s, "QLabel", u"FrameP_2"_s, u"Speed tolerance"_s},
    {u"TMargenErrorMotor2"_s, "QLineEdit", u"FrameP_2"_s, u"10"_s},
    {u"LabelUnidades_22"_s, "QLabel", u"FrameP_2"_s, u"RPM"_s},
    {u"Label_41"_s, "QLabel", u"FrameP_2"_s, u"Failed turns"_s},
    {u"TVueltasError"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"Label_47"_s, "QLabel", u"FrameP_2"_s, u"Recovery time after hibernation"_s},
    {u"txtTiempoDe"_s, "QLineEdit", u"FrameP_2"_s, u""_s},
    {u"Label_48"_s, "QLabel", u"FrameP_2"_s, u"Min."_s},
    {u"FrameP_3"_s, "QGroupBox", u""_s, u"Telemando"_s},
    {u"LedOff"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedOn"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_0"_s, "QLabel", u"FrameP_3"_s, u"ON"_s},
    {u"LedMotorOff"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedMotorOn"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_8"_s, "QLabel", u"FrameP_3"_s, u"Motor ON"_s},
    {u"LedAlarmaMotorVerde"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedRojoAlarmaMotor"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_3"_s, "QLabel", u"FrameP_3"_s, u"Motor alarm"_s},
    {u"LedLampara1Apagado"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedAzulLampara1"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_9"_s, "QLabel", u"FrameP_3"_s, u"Lamp 1 ON"_s},
    {u"LedLampara2Apagado"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedazulLampara2"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_10"_s, "QLabel", u"FrameP_3"_s, u"Lamp 2 ON"_s},
    {u"LedPrealarmaLamparaApagado"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedRojoPrealarmaLampara"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_1"_s, "QLabel", u"FrameP_3"_s, u"Last lamp Alarm"_s},
    {u"LedCambiadorApagado"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedAzulCambiador"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_2"_s, "QLabel", u"FrameP_3"_s, u"Changeur ON"_s},
    {u"LedFalloRedVerde"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedRojoFalloRed"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_4"_s, "QLabel", u"FrameP_3"_s, u"AC Mains failure"_s},
    {u"LedLampara1OnApagado"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedVerdeLampara1On"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_5"_s, "QLabel", u"FrameP_3"_s, u"Lamp ON"_s},
    {u"LedAlarmaLamparaVerde"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedRojoAlarmaLampara1"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_6"_s, "QLabel", u"FrameP_3"_s, u"Lamp Alarm"_s},
    {u"LedFalloFocoVerde"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedRojoFalloFoco"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"label1_7"_s, "QLabel", u"FrameP_3"_s, u"Total Lamp Alarm"_s},
    {u"Frame1_4"_s, "QGroupBox", u"FrameP_3"_s, u"Lamp Change"_s},
    {u"CCambioLamparaOn"_s, "QPushButton", u"FrameP_3"_s, u"ON"_s},
    {u"CCambioLamparaOff"_s, "QPushButton", u"FrameP_3"_s, u"OFF"_s},
    {u"Frame1_1"_s, "QGroupBox", u"FrameP_3"_s, u"Day Night control"_s},
    {u"CNormal"_s, "QPushButton", u"FrameP_3"_s, u"Normal"_s},
    {u"CNoche"_s, "QPushButton", u"FrameP_3"_s, u"Night"_s},
    {u"CDia"_s, "QPushButton", u"FrameP_3"_s, u"Day"_s},
    {u"Frame1_2"_s, "QGroupBox", u"FrameP_3"_s, u"Fallo Red"_s},
    {u"CFalloRedOn"_s, "QPushButton", u"FrameP_3"_s, u"On"_s},
    {u"CFalloRedOff"_s, "QPushButton", u"FrameP_3"_s, u"Off"_s},
    {u"Frame1_3"_s, "QGroupBox", u"FrameP_3"_s, u"Automatic Mode"_s},
    {u"LedTimerOff"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"LedTimerON"_s, "QLabel", u"FrameP_3"_s, u""_s},
    {u"TTiempoModoVerboso"_s, "QLineEdit", u"FrameP_3"_s, u"3"_s},
    {u"LabelUnidades_12"_s, "QLabel", u"FrameP_3"_s, u"s."_s},
    {u"CModoVerboso"_s, "QPushButton", u"FrameP_3"_s, u"ON"_s},
    {u"Command1"_s, "QPushButton", u"FrameP_3"_s, u"OFF"_s},
    {u"Frame1_5"_s, "QGroupBox", u"FrameP_3"_s, u"Cambio Motor"_s},
    {u"btnTelemandoMotor1"_s, "QPushButton", u"FrameP_3"_s, u"Motor 1"_s},
    {u"btnTelamandoMotor2"_s, "QPushButton", u"FrameP_3"_s, u"Motor 2"_s},
    {u"chkEstado"_s, "QCheckBox", u"FrameP_3"_s, u"Ver estado"_s},
    {u"chkVelocidadActual"_s, "QCheckBox", u"FrameP_3"_s, u""_s},
    {u"Label_44"_s, "QLabel", u"FrameP_3"_s, u"Instant speed"_s},
    {u"TVelocidadActual"_s, "QLineEdit", u"FrameP_3"_s, u""_s},
    {u"LabelUnidades_21"_s, "QLabel", u"FrameP_3"_s, u"RPM"_s},
    {u"chkCorrienteActual"_s, "QCheckBox", u"FrameP_3"_s, u""_s},
    {u"Label_7"_s, "QLabel", u"FrameP_3"_s, u"LED instant current "_s},
    {u"TCorrienteActual"_s, "QLineEdit", u"FrameP_3"_s, u""_s},
    {u"LabelUnidades_17"_s, "QLabel", u"FrameP_3"_s, u"A"_s},
    {u"chkCorrienteLeds"_s, "QCheckBox", u"FrameP_3"_s, u""_s},
    {u"lblCorrienteLeds"_s, "QLabel", u"FrameP_3"_s, u"Corriente leds"_s},
    {u"txtCorrienteLeds"_s, "QLineEdit", u"FrameP_3"_s, u""_s},
    {u"LabelUnidades_23"_s, "QLabel", u"FrameP_3"_s, u"A"_s},
    {u"label1_34"_s, "QLabel", u"FrameP_3"_s, u"Identifier"_s},
    {u"TNumeroSerieTelemando"_s, "QLineEdit", u"FrameP_3"_s, u""_s},
    {u"CInterrogar"_s, "QPushButton", u"FrameP_3"_s, u"Refresh"_s},
    {u"FrameP_4"_s, "QGroupBox", u""_s, u"Configuracion"_s},
    {u"Label_24"_s, "QLabel", u"FrameP_4"_s, u"Language"_s},
    {u"ComboIdioma"_s, "QComboBox", u"FrameP_4"_s, u""_s},
    {u"Label_17"_s, "QLabel", u"FrameP_4"_s, u"Com:"_s},
    {u"ComboCom"_s, "QComboBox", u"FrameP_4"_s, u""_s},
    {u"chkVerificar"_s, "QCheckBox", u"FrameP_4"_s, u"Verify after writing"_s},
    {u"TDebug"_s, "QPlainTextEdit", u"FrameP_4"_s, u""_s},
    {u"FrameP_5"_s, "QGroupBox", u""_s, u"Segmentada"_s},
    {u"MSFlexGridPautas"_s, "QTableWidget", u"FrameP_5"_s, u""_s},
    {u"LColor_1"_s, "QLabel", u"FrameP_5"_s, u"1"_s},
    {u"LColor_2"_s, "QLabel", u"FrameP_5"_s, u"2"_s},
    {u"LColor_3"_s, "QLabel", u"FrameP_5"_s, u"3"_s},
    {u"LColor_4"_s, "QLabel", u"FrameP_5"_s, u"4"_s},
    {u"LColor_5"_s, "QLabel", u"FrameP_5"_s, u"5"_s},
    {u"LColor_6"_s, "QLabel", u"FrameP_5"_s, u"6"_s},
    {u"LColor_7"_s, "QLabel", u"FrameP_5"_s, u"7"_s},
    {u"LColor_8"_s, "QLabel", u"FrameP_5"_s, u"8"_s},
    {u"Label_9"_s, "QLabel", u"FrameP_5"_s, u"Dientes disco"_s},
    {u"TDientesDisco"_s, "QLineEdit", u"FrameP_5"_s, u""_s},
    {u"Label_23"_s, "QLabel", u"FrameP_5"_s, u"Luminosidad Leds"_s},
    {u"TLuminosidadLeds"_s, "QLineEdit", u"FrameP_5"_s, u""_s},
    {u"LabelUnidades_19"_s, "QLabel", u"FrameP_5"_s, u"%"_s},
    {u"Label_25"_s, "QLabel", u"FrameP_5"_s, u"Grados Offset"_s},
    {u"TGradosOffset"_s, "QLineEdit", u"FrameP_5"_s, u""_s},
    {u"CheckColores"_s, "QCheckBox", u"FrameP_5"_s, u"Colores"_s},
    {u"Command2"_s, "QPushButton", u"FrameP_5"_s, u"Dibuja"_s},
    {u"Shape1"_s, "QFrame", u"FrameP_5"_s, u""_s},
    {u"CBorrarTabla"_s, "QPushButton", u"FrameP_5"_s, u"Borrar Tabla"_s},
    {u"CEscribirColores"_s, "QPushButton", u"FrameP_5"_s, u"Escribir Colores"_s},
    {u"CLeerColores"_s, "QPushButton", u"FrameP_5"_s, u"Leer Colores"_s},
    {u"FrameP_6"_s, "QGroupBox", u""_s, u"Valores instantáneos "_s},
    {u"lblExternalbl_1"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 1 :"_s},
    {u"lblExterna_1"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_2"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 2 :"_s},
    {u"lblExterna_2"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_3"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 3 :"_s},
    {u"lblExterna_3"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_4"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 4 :"_s},
    {u"lblExterna_4"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_5"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 5 :"_s},
    {u"lblExterna_5"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_6"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 6 :"_s},
    {u"lblExterna_6"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_7"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 7 :"_s},
    {u"lblExterna_7"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblExternalbl_8"_s, "QLabel", u"FrameP_6"_s, u"Entrada externa 8 :"_s},
    {u"lblExterna_8"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_0"_s, "QLabel", u"FrameP_6"_s, u"Salida 1 :"_s},
    {u"lblSalida_1"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_1"_s, "QLabel", u"FrameP_6"_s, u"Salida 2 :"_s},
    {u"lblSalida_2"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_2"_s, "QLabel", u"FrameP_6"_s, u"Salida 3 :"_s},
    {u"lblSalida_3"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_3"_s, "QLabel", u"FrameP_6"_s, u"Salida 4 :"_s},
    {u"lblSalida_4"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_4"_s, "QLabel", u"FrameP_6"_s, u"Salida 5 :"_s},
    {u"lblSalida_5"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_5"_s, "QLabel", u"FrameP_6"_s, u"Salida 6 :"_s},
    {u"lblSalida_6"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_6"_s, "QLabel", u"FrameP_6"_s, u"Salida 7 :"_s},
    {u"lblSalida_7"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_7"_s, "QLabel", u"FrameP_6"_s, u"Salida 8 :"_s},
    {u"lblSalida_8"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_8"_s, "QLabel", u"FrameP_6"_s, u"Salida 9 :"_s},
    {u"lblSalida_9"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_9"_s, "QLabel", u"FrameP_6"_s, u"Salida 10 :"_s},
    {u"lblSalida_10"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"lblSalidalbl_10"_s, "QLabel", u"FrameP_6"_s, u"Salida 11 :"_s},
    {u"lblSalida_11"_s, "QLabel", u"FrameP_6"_s, u"--"_s},
    {u"btnVerValoresInstantaneos"_s, "QPushButton", u"FrameP_6"_s, u"Refrescar"_s},
    {u"btnSpoolValorInstantaneo"_s, "QPushButton", u"FrameP_6"_s, u"Activar auto"_s},
    {u"PictureInicio"_s, "QLabel", u""_s, u""_s},
    {u"CAbrir"_s, "QPushButton", u""_s, u"Open"_s},
    {u"CGuardar"_s, "QPushButton", u""_s, u"Save"_s},
    {u"CLeer"_s, "QPushButton", u""_s, u"Read QZL"_s},
    {u"CEscribir"_s, "QPushButton", u""_s, u"Write QZL"_s},
    {u"CComparar"_s, "QPushButton", u""_s, u"Compare"_s},
    {u"CMonitor"_s, "QPushButton", u""_s, u"Monitor"_s},
    {u"CInforme"_s, "QPushButton", u""_s, u"Report"_s},
    {u"Csalir"_s, "QPushButton", u""_s, u"Exit"_s},
    {u"CAyuda"_s, "QPushButton", u""_s, u"Help"_s},
};

QString TextoDe(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w))
        return p->toPlainText();
    return QString();
}

QString PaginaDe(QWidget* w)
{
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (p->objectName().startsWith(u"FrameP_"))
            return p->objectName();
    return QString();
}

QRect Twips(int l, int t, int w, int h)
{
    return QRect(qRound(l / 15.0), qRound(t / 15.0), qRound(w / 15.0), qRound(h / 15.0));
}

} // namespace

class TstVentana : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        OpcionesVentanaPrueba o;
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    void cadaControlConSuTipoPaginaYTexto_data()
    {
        QTest::addColumn<int>("i");
        for (int i = 0; i < int(std::size(controles)); ++i)
            QTest::newRow(controles[i].nombre.toUtf8().constData()) << i;
    }
    void cadaControlConSuTipoPaginaYTexto()
    {
        QFETCH(int, i);
        const ControlEsperado& c = controles[i];
        QWidget* w = Control(c.nombre);
        QVERIFY2(w, qPrintable(c.nombre));
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), QString::fromLatin1(c.clase));
        QCOMPARE(PaginaDe(w), c.pagina);
        QCOMPARE(TextoDe(w), c.texto);
    }

    void geometriaEnTwips_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<QRect>("esperada");
        QTest::newRow("CLeer") << u"CLeer"_s << Twips(2280, 6240, 975, 495);
        QTest::newRow("CComparar") << u"CComparar"_s << Twips(4440, 6240, 975, 495);
        QTest::newRow("CMonitor") << u"CMonitor"_s << Twips(5520, 6240, 975, 495);
        QTest::newRow("CInforme") << u"CInforme"_s << Twips(6600, 6240, 975, 495);
        QTest::newRow("CAyuda") << u"CAyuda"_s << Twips(9360, 6240, 615, 495);
        QTest::newRow("Frame1 0") << u"Frame1_0"_s << Twips(105, 1920, 2535, 3975);
        QTest::newRow("TabStrip1") << u"TabStrip1"_s << Twips(2640, 120, 7335, 5775);
        QTest::newRow("TIdentificacion") << u"TIdentificacion"_s << Twips(105, 2040, 2280, 285);
        QTest::newRow("TLuxON") << u"TLuxON"_s << Twips(2160, 360, 735, 285);
        QTest::newRow("TTiempoLampara2") << u"TTiempoLampara2"_s << Twips(4920, 3000, 735, 285);
        QTest::newRow("LColor 8") << u"LColor_8"_s << Twips(120, 2270, 750, 250);
        QTest::newRow("LedRojoFalloFoco") << u"LedRojoFalloFoco"_s << Twips(120, 3720, 240, 240);
        QTest::newRow("CInterrogar") << u"CInterrogar"_s << Twips(240, 4605, 1095, 375);
        QTest::newRow("grid") << u"MSFlexGridPautas"_s << Twips(840, 230, 6435, 2655);
        QTest::newRow("lblSalida 11") << u"lblSalida_11"_s << Twips(5280, 4200, 720, 255);
        QTest::newRow("btnSpool") << u"btnSpoolValorInstantaneo"_s << Twips(480, 4560, 1575, 375);
        // The right column of page 1: every field at left 4920, 735 x 285.
        QTest::newRow("txtGrupoLeds") << u"txtGrupoLeds"_s << Twips(4920, 360, 735, 285);
        QTest::newRow("txtDuracionPulsoSincronismo") << u"txtDuracionPulsoSincronismo"_s
                                                     << Twips(4920, 1200, 735, 285);
    }
    void geometriaEnTwips()
    {
        QFETCH(QString, nombre);
        QFETCH(QRect, esperada);
        QWidget* w = Control(nombre);
        QVERIFY(w);
        QCOMPARE(w->geometry(), esperada);
    }

    void arreglosPorNombreEIndice()
    {
        QCOMPARE(Label(18), Ventana().Label_18);
        QCOMPARE(LabelUnidades(3), Ventana().LabelUnidades_3);
        QCOMPARE(label1(9), Ventana().label1_9);
        for (int i = 1; i <= 6; ++i)
            QVERIFY(FrameP(i));
        for (int i = 0; i <= 5; ++i)
            QVERIFY(Frame1(i));
        for (int i = 1; i <= 8; ++i) {
            QVERIFY(LColor(i));
            QVERIFY(lblExterna(i));
            QVERIFY(lblExternalbl(i));
        }
        for (int i = 1; i <= 11; ++i)
            QVERIFY(lblSalida(i));
        for (int i = 0; i <= 10; ++i)
            QVERIFY(lblSalidalbl(i));
        QVERIFY(!Label(99));
        QVERIFY(!FrameP(7));
        QVERIFY(!LColor(0));
    }

    void guardaDeBotonesTocaSoloLosCuatro()
    {
        QHash<QString, bool> antes;
        QList<QAbstractButton*> botones;
        for (QAbstractButton* b : FormPrincipal()->findChildren<QAbstractButton*>())
            if (Ventana().centralwidget->isAncestorOf(b) && qobject_cast<QTabBar*>(b->parentWidget()) == nullptr)
                botones.append(b);
        for (QAbstractButton* b : botones)
            antes[b->objectName()] = b->isEnabled();
        DeshabilitaBotones();
        const QStringList cuatro = {u"CAbrir"_s, u"CGuardar"_s, u"CLeer"_s, u"CEscribir"_s, u"CComparar"_s};
        for (QAbstractButton* b : botones) {
            if (cuatro.contains(b->objectName()))
                QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
            else
                QCOMPARE(b->isEnabled(), antes[b->objectName()]);
        }
        HabilitaBotones();
        for (QAbstractButton* b : botones)
            QVERIFY2(b->isEnabled(), qPrintable(b->objectName()));
    }

    void accesibilidad()
    {
        // Every field and list is named by its caption label (buddy) or carries an accessible name.
        QSet<QWidget*> conEtiqueta;
        for (QLabel* l : FormPrincipal()->findChildren<QLabel*>())
            if (l->buddy())
                conEtiqueta.insert(l->buddy());
        const auto campos = FormPrincipal()->findChildren<QWidget*>();
        for (QWidget* w : campos) {
            const bool esCampo = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)
                || qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QTableWidget*>(w);
            if (!esCampo || w->objectName().isEmpty() || w->parentWidget() == nullptr)
                continue;
            if (qobject_cast<QComboBox*>(w->parentWidget()))
                continue;  // a list's own line edit
            QVERIFY2(conEtiqueta.contains(w) || !w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
        // Lamps say which state they show.
        QCOMPARE(Ventana().LedOn->accessibleDescription(), u"on"_s);
        QCOMPARE(Ventana().LedOff->accessibleDescription(), u"off"_s);
        QCOMPARE(Ventana().LedFalloFocoVerde->accessibleDescription(), u"off"_s);
        QCOMPARE(Ventana().TLuxON, Ventana().Label_18->buddy());
    }

    // The user's click and Space toggle between clear and ticked; grey comes only from
    // the program (a read or a loaded file), and a click leaves it.
    void balizaEmergenciaSinGrisAlPulsar_data()
    {
        QTest::addColumn<int>("inicial");
        QTest::addColumn<bool>("teclado");
        QTest::addColumn<int>("primera");
        QTest::addColumn<int>("segunda");
        for (bool teclado : {false, true}) {
            const char* como = teclado ? "space" : "click";
            QTest::addRow("clear, %s", como) << int(Qt::Unchecked) << teclado << int(Qt::Checked) << int(Qt::Unchecked);
            QTest::addRow("ticked, %s", como) << int(Qt::Checked) << teclado << int(Qt::Unchecked) << int(Qt::Checked);
            QTest::addRow("grey, %s", como) << int(Qt::PartiallyChecked) << teclado << int(Qt::Unchecked)
                                            << int(Qt::Checked);
        }
    }
    void balizaEmergenciaSinGrisAlPulsar()
    {
        QFETCH(int, inicial);
        QFETCH(bool, teclado);
        QFETCH(int, primera);
        QFETCH(int, segunda);
        QCheckBox* c = Ventana().CheckBalizaEmergencia;
        SeleccionarPestana(1);
        c->show();
        c->setCheckState(Qt::CheckState(inicial));
        QCOMPARE(int(c->checkState()), inicial);
        auto pulsar = [&] {
            if (teclado) {
                c->setFocus();
                QTest::keyClick(c, Qt::Key_Space);
            } else {
                QTest::mouseClick(c, Qt::LeftButton);
            }
        };
        QSignalSpy estados(c, &QCheckBox::stateChanged);
        pulsar();
        QCOMPARE(int(c->checkState()), primera);
        pulsar();
        QCOMPARE(int(c->checkState()), segunda);
        for (const QList<QVariant>& e : estados)
            QVERIFY(e.at(0).toInt() != int(Qt::PartiallyChecked));
        // After the user's clicks a read can still show grey.
        c->setCheckState(Qt::PartiallyChecked);
        QCOMPARE(c->checkState(), Qt::PartiallyChecked);
        c->hide();
    }

    void barraDeEstadoConTresPaneles()
    {
        auto paneles = Ventana().sbStatusBar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(paneles.size(), 3);
        QCOMPARE(FormPrincipal()->paneles[0]->text(), u"Estado"_s);
        QVERIFY(!FormPrincipal()->paneles[1]->text().isEmpty());
        QVERIFY(!FormPrincipal()->paneles[2]->text().isEmpty());
        Panel1(u"Ended"_s);
        QCOMPARE(FormPrincipal()->paneles[0]->text(), u"Ended"_s);
    }

    // A screen reader hears each panel's text, and a new message in panel 1 as it appears.
    void panelesAccesibles()
    {
        QLabel* const* paneles = FormPrincipal()->paneles;
        const QString papeles[3] = {u"Status"_s, u"Date"_s, u"Time"_s};
        for (int i = 0; i < 3; ++i) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(paneles[i]);
            QVERIFY(a);
            QCOMPARE(a->text(QAccessible::Name), paneles[i]->text());
            QCOMPARE(a->text(QAccessible::Description), papeles[i]);
        }
        for (const QString& texto : {u"Reading Error in data  37"_s, u"Ended"_s}) {
            Panel1(texto);
            QCOMPARE(QAccessible::queryAccessibleInterface(paneles[0])->text(QAccessible::Name), texto);
        }

        // The announcement travels only while an accessibility bridge is active: switch the
        // platform's accessibility on as a screen reader's bridge does on a desktop.
        static QList<QPair<QObject*, QAccessible::Event>> eventos;
        const QAccessible::UpdateHandler anterior = QAccessible::installUpdateHandler(
            [](QAccessibleEvent* e) { eventos.append({e->object(), e->type()}); });
        QPlatformAccessibility* plataforma = QGuiApplicationPrivate::platformIntegration()->accessibility();
        QVERIFY(plataforma);
        plataforma->setActive(true);
        auto restaurar = qScopeGuard([anterior, plataforma] {
            QAccessible::installUpdateHandler(anterior);
            plataforma->setActive(false);
        });
        QVERIFY(QAccessible::isActive());
        for (const QString& texto : {u"Reading Error in data  37"_s, u"Ended"_s}) {
            eventos.clear();
            Panel1(texto);
            const QPair<QObject*, QAccessible::Event> anuncio(paneles[0], QAccessible::NameChanged);
            QCOMPARE(eventos.count(anuncio), 1);
        }
        // The same text again is no news.
        eventos.clear();
        Panel1(u"Ended"_s);
        QVERIFY(eventos.isEmpty());
    }
};

// The window after its start-up sequence.
class TstArranque : public QObject {
    Q_OBJECT
private slots:
    void init() { HistorialPanel1().clear(); CrearVentanaPrueba(); }
    void cleanup() { CerrarVentanaPrueba(); }

    void tituloTamanoYPosicion()
    {
        frmMain* f = FormPrincipal();
        QCOMPARE(f->windowTitle(), u"QZL 1.3.71  "_s);
        QCOMPARE(f->size(), QSize(680, 505));
        QCOMPARE(f->minimumSize(), f->maximumSize());
        const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
        // Centred for 10300 twips: 50 twips left of where a 10200-wide window would be centred.
        QCOMPARE(f->x(), (pantalla.width() * 15 - 10300) / 2 / 15);
        QCOMPARE(f->y(), (pantalla.height() * 15 - 7575) / 2 / 15);
        QVERIFY(f->isVisible());
    }

    void primerMensajeVisible()
    {
        QVERIFY(HistorialPanel1().contains(u"Start reading the device"_s));
    }

    void paginasSobreLaTiraYUnaVisible()
    {
        QCOMPARE(FrameActual, int16_t(1));
        QCOMPARE(PestanaSeleccionada(), 1);
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(FrameP(i)->isVisible(), i == 1);
        // The pages are the strip's own: each page with a tab, once shown, covers the
        // same client area.
        QTabWidget* tira = Ventana().TabStrip1;
        for (int i = 1; i <= NumeroPestanas(); ++i) {
            QCOMPARE(tira->widget(i - 1), FrameP(i));
            SeleccionarPestana(i);
            QCOMPARE(FrameP(i)->geometry(), FrameP(1)->geometry());
        }
        SeleccionarPestana(1);
        const QRect cliente(FrameP(1)->mapTo(tira->parentWidget(), QPoint(0, 0)), FrameP(1)->size());
        QVERIFY(tira->geometry().contains(cliente));
        QVERIFY(cliente.top() > tira->geometry().top() + tira->tabBar()->height() - 1);
    }

    void cambiarDePestanaMuestraUnaSolaPagina()
    {
        for (int p = NumeroPestanas(); p >= 1; --p) {
            SeleccionarPestana(p);
            QCOMPARE(int(FrameActual), p);
            int visibles = 0;
            for (int i = 1; i <= 6; ++i)
                visibles += FrameP(i)->isVisible() ? 1 : 0;
            QCOMPARE(visibles, 1);
            QVERIFY(FrameP(p)->isVisible());
        }
        // The tab already shown: nothing changes.
        TabStrip1_Click();
        QCOMPARE(int(FrameActual), 1);
        QVERIFY(FrameP(1)->isVisible());
    }
};

class TstSplash : public QObject {
    Q_OBJECT
private slots:
    void textosDeVersion()
    {
        frmSplash s;
        QCOMPARE(s.ui.lblProductName->text(), u"QZL"_s);
        QCOMPARE(s.ui.lblVersion->text(), u"Version 1.3.71"_s);
        QVERIFY(s.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(s.size(), QSize(7455 / 15, 4605 / 15));
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PrepararEntornoPrueba();
    int r = 0;
    { TstVentana t; r |= QTest::qExec(&t, argc, argv); }
    { TstArranque t; r |= QTest::qExec(&t, argc, argv); }
    { TstSplash t; r |= QTest::qExec(&t, argc, argv); }
    return r;
}

#include "tst_ventana.moc"
