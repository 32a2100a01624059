// The memory map against the window: lists, field rules, encoding and decoding
// of the real widgets.
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "params/Campos.h"
#include "params/TablaLux.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace {

const FilaMapa& Fila(const char* campo)
{
    const FilaMapa* f = FilaDeCampo(QString::fromLatin1(campo));
    Q_ASSERT(f);
    return *f;
}

// Types into a widget as a user does.
void Teclear(QWidget* w, const QString& texto)
{
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

class CamposPrueba : public QObject {
    Q_OBJECT
private slots:
    // One window for the whole test: its start-up is what the first test looks at.
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FactorEsperas = 0.001;
        FijarTablaIdioma(TablaIngles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        HistorialPanel1().clear();
        CrearVentanaPrueba();
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        FijarTablaIdioma(-1);
    }

    void listasDeArranque()
    {
        const struct {
            const char* lista;
            QStringList entradas;
        } casos[] = {
            {"ComboTipoCambiador", {"RVT06", "RVT02", "RVT03", "LED", "KXR"}},
            {"ComboTipoLampara1", {"DC", "AC"}},
            {"ComboTipoLampara2", {"DC", "AC"}},
            {"ComboLamparaPrincipal", {"0", "1", "2"}},
            {"ComboSensorLuz", {"Fotodiodo", "Daylight sensor"}},
            {"ComboFuncion2Puerto", {"Disable", "RS485", "MODBUS"}},
            {"ComboTipoMotor", {"Stepper Motor", "Dual Motor TOQ"}},
            {"cmbModofuncionamiento", {"Night ON", "24 hours ON"}},
        };
        for (const auto& c : casos) {
            auto* l = qobject_cast<QComboBox*>(Control(QLatin1String(c.lista)));
            QVERIFY2(l, c.lista);
            QStringList entradas;
            for (int i = 0; i < l->count(); ++i)
                entradas << l->itemText(i);
            QCOMPARE(entradas, c.entradas);
            QCOMPARE(l->currentIndex(), 0);
            QCOMPARE(entradas, EntradasLista(*EnumeracionDe(QLatin1String(c.lista))));
        }
        // The changer list's selection ran its handler before the start-up message replaced it.
        const QStringList h = HistorialPanel1();
        QVERIFY(h.indexOf(QStringLiteral("Changes pending record"))
                < h.indexOf(QStringLiteral("Start reading the device")));
        QVERIFY(h.contains(QStringLiteral("Changes pending record")));
        QVERIFY(!Ventana().txtAtenuacionNocturna->isEnabled());
    }

    // Every row names real controls of the window, with the captions and units the map gives.
    void mapaYVentanaCoinciden()
    {
        for (const FilaMapa& f : MapaMemoria()) {
            QWidget* w = WidgetCampo(f);
            QVERIFY2(w, f.campo);
            switch (f.tipo) {
            case TipoCampo::Texto: QVERIFY2(qobject_cast<QLineEdit*>(w), f.campo); break;
            case TipoCampo::Lista: QVERIFY2(qobject_cast<QComboBox*>(w), f.campo); break;
            case TipoCampo::Casilla: QVERIFY2(qobject_cast<QCheckBox*>(w), f.campo); break;
            }
            const QString caption = TextoDe(f.etiqueta);
            if (f.label >= 0) {
                QVERIFY2(Label(f.label), f.campo);
                QCOMPARE(Label(f.label)->text(), caption);
            } else if (f.etiquetaPropia) {
                auto* l = qobject_cast<QLabel*>(Control(QLatin1String(f.etiquetaPropia)));
                QVERIFY2(l, f.etiquetaPropia);
                QCOMPARE(l->text(), caption);
            } else {
                QCOMPARE(qobject_cast<QCheckBox*>(w)->text(), caption);
            }
            if (f.unidad.id || f.unidad.fijo) {
                QLabel* u = f.labelUnidades >= 0 ? LabelUnidades(f.labelUnidades) : Label(f.labelExtra);
                QVERIFY2(u, f.campo);
                QCOMPARE(u->text(), TextoDe(f.unidad));
            }
            if (f.labelExtra >= 0)
                QVERIFY2(Label(f.labelExtra), f.campo);
            if (f.campoCuentas)
                QVERIFY2(qobject_cast<QLineEdit*>(Control(QLatin1String(f.campoCuentas))), f.campoCuentas);
        }
    }

    void modoDeFuncionamiento()
    {
        Ui::frmMain& v = Ventana();
        v.cmbModofuncionamiento->setCurrentIndex(1);
        QVERIFY(v.txtAtenuacionNocturna->isEnabled());
        v.cmbModofuncionamiento->setCurrentIndex(0);
        QVERIFY(!v.txtAtenuacionNocturna->isEnabled());
        // A decoded cell acts like the user's choice.
        ImagenParametros img;
        img.celda[55] = 3;
        QVERIFY(DecodificarEnVentana(Fila("cmbModofuncionamiento"), img));
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 1);
        QVERIFY(v.txtAtenuacionNocturna->isEnabled());
    }

    void tipoDeCambiador()
    {
        Ui::frmMain& v = Ventana();
        Panel1(QStringLiteral("Ended"));
        v.ComboTipoCambiador->setCurrentIndex(2);
        QCOMPARE(TextoPanel1(), QStringLiteral("Changes pending record"));

        Panel1(QStringLiteral("Ended"));
        v.ComboTipoCambiador->lineEdit()->selectAll();
        Teclear(v.ComboTipoCambiador->lineEdit(), QStringLiteral("Z"));
        QCOMPARE(TextoPanel1(), QStringLiteral("Changes pending record"));
        QCOMPARE(IndiceLista(v.ComboTipoCambiador), -1);

        // A decoded value the list does not have leaves it, and the panel, alone.
        ImagenParametros img;
        img.celda[27] = 9;
        Panel1(QStringLiteral("Ended"));
        QVERIFY(DecodificarEnVentana(Fila("ComboTipoCambiador"), img));
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QCOMPARE(v.ComboTipoCambiador->currentText(), QStringLiteral("Z"));
        img.celda[27] = 1;
        QVERIFY(DecodificarEnVentana(Fila("ComboTipoCambiador"), img));
        QCOMPARE(v.ComboTipoCambiador->currentText(), QStringLiteral("RVT02"));
        QCOMPARE(TextoPanel1(), QStringLiteral("Changes pending record"));
    }

    void textoTecleadoEnUnaLista()
    {
        QComboBox* l = Ventana().ComboTipoLampara1;
        l->lineEdit()->selectAll();
        Teclear(l->lineEdit(), QStringLiteral("AC"));
        QCOMPARE(IndiceLista(l), 1);
        l->lineEdit()->selectAll();
        Teclear(l->lineEdit(), QStringLiteral("XY"));
        QTest::keyClick(l->lineEdit(), Qt::Key_Return);
        QCOMPARE(l->count(), 2);  // typed text never becomes an entry
        QCOMPARE(IndiceLista(l), -1);
        ImagenParametros img;
        ValorCampo v = LeerCampo(Fila("ComboTipoLampara1"));
        QVERIFY(CodificarCampo(Fila("ComboTipoLampara1"), v, img, 0));
        QCOMPARE(img.celda[38], -1);
        // A read that selects the entry the typed text hid shows the entry again.
        img.celda[38] = l->currentIndex();
        QVERIFY(DecodificarEnVentana(Fila("ComboTipoLampara1"), img));
        QCOMPARE(l->currentText(), l->itemText(l->currentIndex()));
    }

    void codificarLaVentana()
    {
        Ui::frmMain& v = Ventana();
        LlenarCamposValidos();
        v.TVelocidadUsuario1->setText(QStringLiteral("1.25"));
        v.txtGrupoLeds->setText(QStringLiteral("300"));
        v.txtTiempoDe->setText(QStringLiteral("abc"));
        v.txtDuracionPulsoSincronismo->setText(QStringLiteral("-"));
        v.ComboSensorLuz->setCurrentIndex(1);
        v.TLuxON->setText(QStringLiteral("100"));
        v.CheckBalizaEmergencia->setCheckState(Qt::Checked);
        v.TIdentificacion->setText(QStringLiteral("ABC"));
        v.TNumeroID->setText(QStringLiteral("258"));
        v.TVersionFirmwareR->setText(QStringLiteral("99"));
        ImagenParametros img;
        QCOMPARE(CodificarVentana(img), nullptr);
        QCOMPARE(QList<int>({img.celda[0], img.celda[1], img.celda[2]}), QList<int>({0, 48, 212}));
        QCOMPARE(img.celda[41], 1);
        QCOMPARE(img.celda[17] * 256 + img.celda[18], 192);  // photocell count of 100 lux
        QCOMPARE(img.celda[54], 1);
        QCOMPARE(img.celda[60], 255);
        QCOMPARE(img.celda[231], 65);
        QCOMPARE(img.celda[246], 32);
        QCOMPARE(img.celda[254], 1);
        QCOMPARE(img.celda[255], 2);
        QCOMPARE(img.celda[252], 0);  // never encoded for the controller
        // The replacements stay visible.
        QCOMPARE(v.txtGrupoLeds->text(), QStringLiteral("255"));
        QCOMPARE(v.txtTiempoDe->text(), QStringLiteral("0"));
        QCOMPARE(v.txtDuracionPulsoSincronismo->text(), QStringLiteral("0"));
    }

    void codificarSeDetieneEnElPrimerFallo()
    {
        Ui::frmMain& v = Ventana();
        LlenarCamposValidos();
        v.TLuxOFF->clear();
        v.txtGrupoLeds->setText(QStringLiteral("300"));
        ImagenParametros img;
        QCOMPARE(CodificarVentana(img), &Fila("TLuxOFF"));
        QCOMPARE(v.txtGrupoLeds->text(), QStringLiteral("300"));  // not reached
        QCOMPARE(img.celda[21], 0);
    }

    void nivelesDeLuzConElSensorDeLaVentana()
    {
        CargarTablaLux();
        Ventana().ComboSensorLuz->setCurrentIndex(1);
        int32_t lux = 600;
        QCOMPARE(LuxACuentas(lux), 122);
        QCOMPARE(lux, 550);
        int32_t cuentas = 192;
        QCOMPARE(CuentasALux(cuentas), 100);
        Ventana().ComboSensorLuz->setCurrentIndex(0);
        QCOMPARE(CuentasALux(cuentas), 80);
        Ventana().ComboSensorLuz->setCurrentIndex(-1);
        cuentas = 900;
        QCOMPARE(CuentasALux(cuentas), 0);
        QCOMPARE(cuentas, 900);
    }

    void decodificarNivelesYMarca()
    {
        Ui::frmMain& v = Ventana();
        ImagenParametros img;
        img.celda[41] = 0;
        img.celda[19] = 3;
        img.celda[20] = 132;
        img.celda[54] = 2;
        v.CheckBalizaEmergencia->setCheckState(Qt::PartiallyChecked);
        QVERIFY(DecodificarEnVentana(Fila("ComboSensorLuz"), img));
        QVERIFY(DecodificarEnVentana(Fila("TLuxOFF"), img));
        QVERIFY(DecodificarEnVentana(Fila("CheckBalizaEmergencia"), img));
        QCOMPARE(v.TLuxOFF->text(), QStringLiteral("550"));
        QCOMPARE(v.TLuxOFFAD->text(), QStringLiteral("840"));
        QCOMPARE(v.CheckBalizaEmergencia->checkState(), Qt::Unchecked);
    }
};

QTEST_MAIN(CamposPrueba)
#include "tst_campos.moc"
