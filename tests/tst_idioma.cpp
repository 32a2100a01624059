#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

// Every id the program looks up, as the text table lists them.
static const int IdsEnUso[] = {
    1002, 1004, 1012, 1021, 1055, 1056, 1057, 1058, 1059, 1061, 1100, 1102, 1103, 1104, 1105,
    1110, 1111, 1112, 1160, 1161, 1165, 1171, 1180, 1201, 1203, 1204, 1205, 1206, 1207, 1208,
    1209, 1219, 1220, 1221, 1401, 1402, 1403, 1404, 1405, 1406, 1407, 1408, 1409, 1410, 1411,
    1412, 1420, 1421, 1422, 1423, 1424, 1425, 1426, 1427, 1428, 1429, 1430, 1431, 1432, 1434,
    1435, 1450, 1451, 1452, 1453, 1454, 1455, 1456, 1457, 1458, 1459, 1460, 1461, 1462, 1463,
    1464, 1465, 1466, 1467, 1468, 1470, 1471, 1472, 1473, 1480, 2000, 2001, 2002, 2003, 2004, 2005, 2006, 2007,
    2010, 2011, 2012, 2013, 2014, 2015, 2016, 2017, 2018, 2019, 2020, 2021, 2022, 2023, 2024, 2025,
    2026, 2027, 2028, 2029, 2030, 2031, 2032, 2033, 2034, 2035, 2036, 2037, 2038, 2039, 2040, 2041,
    2042, 2043, 2044, 2045, 2046, 2047,
    2050, 2051, 2052, 2053, 2054, 2055, 2056, 2057, 2058, 2059, 2060, 2061, 2062, 2063, 2064, 2065,
    2066, 2067, 2068, 2069, 2070, 2071, 2072,
    2100, 2101, 2102, 2103, 2104, 2105, 2106, 2107, 2108, 2109, 2110, 2111, 2112, 2113, 2114, 2115,
    2116, 2118, 2119, 2120, 2121, 2122, 2123, 2124, 2125, 2126, 2127, 2128, 2129, 2130, 2131,
    2132, 2133, 2134, 2135, 2136, 2137, 2138, 2139, 2140, 2141, 2142, 2143, 2144, 2145, 2146,
    2148, 2149,
};
static const int Tablas[] = {TablaNeutra, TablaIngles, TablaEspanolTradicional, TablaFrances,
                             TablaEspanol};
static constexpr int TablaAleman = 1031;  // a language the program has no texts for

static QString Ini(const QString& codigo)
{
    return QStringLiteral("1\r\n0\r\n0\r\n") + codigo + QStringLiteral("\r\n0\r\n");
}

// The language line of qzl.ini as it stands in the program folder.
static QString LineaIdioma()
{
    QFile f(CarpetaPrueba() + QStringLiteral("/qzl.ini"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("<no file>");
    const QList<QByteArray> lineas = f.readAll().split('\n');
    return lineas.size() > 3 ? QString::fromLatin1(lineas[3]).trimmed() : QStringLiteral("<short>");
}

// Types text as a user does, one key at a time (also keys beyond ASCII).
static void Teclear(QWidget* w, const QString& texto)
{
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

static QStringList TextosPestanas()
{
    QStringList t;
    for (int p = 1; p <= NumeroPestanas(); ++p)
        t << Ventana().TabStrip1->tabText(p - 1);
    return t;
}

class TestIdioma : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FactorEsperas = 0.001;
    }
    void cleanup()
    {
        CerrarVentanaPrueba();
        FijarTablaIdioma(-1);
    }

    void textoPorTabla_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("esperado");
        struct Caso {
            const char* nombre;
            int tabla;
            int id;
            const char16_t* texto;
        };
        const Caso casos[] = {
            {"fr tab 2", TablaFrances, 1430, u"Rotation"},
            {"fr CLeer", TablaFrances, 1431, u"Lire QZL"},
            {"fr doubled blank 1208", TablaFrances, 1208, u"An  fabrication"},
            {"fr doubled blank 1458", TablaFrances, 1458, u"Prealarme  de Lampes"},
            {"fr accents 1059", TablaFrances, 1059, u"Le temps de récupération après l'hibernation"},
            {"fr help file", TablaFrances, 2000, u"AideQZL.chm"},
            {"fr ON", TablaFrances, 1450, u"ON"},
            {"fr 1412 trailing dot", TablaFrances, 1412, u"Balise de secours."},
            {"es 1055", TablaEspanol, 1055, u"ON noche"},
            {"es 1165", TablaEspanol, 1165, u"Telemado"},
            {"es 1205", TablaEspanol, 1205, u"Numero ID"},
            {"es 1425", TablaEspanol, 1425, u"Pulsos por revolución"},
            {"es 1208", TablaEspanol, 1208, u"Año Fabricación"},
            {"es 1002", TablaEspanol, 1002, u"Abrir..."},
            {"es 1160", TablaEspanol, 1160, u"Lenguaje:"},
            {"es help file", TablaEspanol, 2000, u"ayudaQZL.chm"},
            {"es 2001", TablaEspanol, 2001,
             u"Esta versión de firmware solo se programa con el software QZL V1.2.9"},
            {"es-trad 1055", TablaEspanolTradicional, 1055, u"ON Noche"},
            {"es-trad 1058", TablaEspanolTradicional, 1058, u"Modo de funcionamiento"},
            {"es-trad 1165", TablaEspanolTradicional, 1165, u"Telemando"},
            {"es-trad 1205", TablaEspanolTradicional, 1205, u"Número ID"},
            {"es-trad 1207", TablaEspanolTradicional, 1207, u"Número Fabricación"},
            {"es-trad 1425", TablaEspanolTradicional, 1425, u"Pulses per revolution"},
            {"es-trad 1429", TablaEspanolTradicional, 1429, u"Motor Doble TOQ"},
            {"es-trad 1435", TablaEspanolTradicional, 1435, u"Tolerancia de velocidad"},
            {"es-trad help file", TablaEspanolTradicional, 2000, u"ayudakx.chm"},
            {"es-trad shares 1208", TablaEspanolTradicional, 1208, u"Año Fabricación"},
            {"es-trad shares 1430", TablaEspanolTradicional, 1430, u"Rotación"},
            {"en doubled blank 1404", TablaIngles, 1404, u"Lamp  2 type"},
            {"en trailing blank 1171", TablaIngles, 1171, u"LED instant current "},
            {"en 1470", TablaIngles, 1470, u"2º Port function"},
            {"en 1105", TablaIngles, 1105, u"Visualization"},
            {"en help file", TablaIngles, 2000, u"helpQZL.chm"},
            {"neutral 1430", TablaNeutra, 1430, u"Rotation"},
            {"neutral 2002", TablaNeutra, 2002, u"Changes pending record"},
            {"de falls back 1431", TablaAleman, 1431, u"Read QZL"},
            {"de falls back 1404", TablaAleman, 1404, u"Lamp  2 type"},
            {"de falls back 1165", TablaAleman, 1165, u"Remote control"},
        };
        for (const Caso& c : casos)
            QTest::newRow(c.nombre) << c.tabla << c.id << QString::fromUtf16(c.texto);
    }

    void textoPorTabla()
    {
        QFETCH(int, tabla);
        QFETCH(int, id);
        QFETCH(QString, esperado);
        QCOMPARE(TextoRecursoDeTabla(tabla, id), esperado);
        FijarTablaIdioma(tabla);
        QCOMPARE(TextoRecurso(id), esperado);
    }

    // Every id in use has a text in all five tables; English is the neutral
    // table; the traditional Spanish table departs from the modern one only
    // in its nine ids; French is a table of its own.
    void tablasCompletas()
    {
        const QList<int> diferentes1034 = {1055, 1058, 1165, 1205, 1207, 1425, 1429, 1435, 2000};
        QList<int> vistas;
        for (int id : IdsEnUso) {
            for (int tabla : Tablas)
                QVERIFY2(!TextoRecursoDeTabla(tabla, id).isEmpty(),
                         qPrintable(QStringLiteral("id %1 table %2").arg(id).arg(tabla)));
            QCOMPARE(TextoRecursoDeTabla(TablaIngles, id), TextoRecursoDeTabla(TablaNeutra, id));
            if (TextoRecursoDeTabla(TablaEspanolTradicional, id) != TextoRecursoDeTabla(TablaEspanol, id))
                vistas.append(id);
        }
        QCOMPARE(vistas, diferentes1034);
        QCOMPARE(TextoRecursoDeTabla(TablaFrances, 1102), QStringLiteral("Eclats"));
        QCOMPARE(TextoRecursoDeTabla(TablaEspanol, 1102), QStringLiteral("Destellos"));
    }

    void idDesconocido()
    {
        for (int tabla : Tablas)
            QVERIFY(TextoRecursoDeTabla(tabla, 9999).isEmpty());
        QVERIFY(TextoRecursoDeTabla(TablaAleman, 1001).isEmpty());
    }

    void tablaDeIdiomas_data()
    {
        QTest::addColumn<QStringList>("idiomas");
        QTest::addColumn<int>("tabla");
        QTest::newRow("fr") << QStringList{"fr"} << TablaFrances;
        QTest::newRow("fr-CA as Qt lists it") << QStringList{"fr-CA", "fr-Latn-CA"} << TablaFrances;
        QTest::newRow("fr_BE posix") << QStringList{"fr_BE.UTF-8"} << TablaFrances;
        QTest::newRow("fra three letters") << QStringList{"fra"} << TablaFrances;
        QTest::newRow("es-ES") << QStringList{"es-ES", "es-Latn-ES", "es"} << TablaEspanol;
        QTest::newRow("es-MX") << QStringList{"es-MX"} << TablaEspanol;
        QTest::newRow("es-419") << QStringList{"es-419"} << TablaEspanol;
        QTest::newRow("ES_es upper case") << QStringList{"ES_es"} << TablaEspanol;
        QTest::newRow("es bcp47 trad") << QStringList{"es-ES-u-co-trad"} << TablaEspanolTradicional;
        QTest::newRow("es bcp47 trad after other key")
            << QStringList{"es-u-ca-gregory-co-trad"} << TablaEspanolTradicional;
        QTest::newRow("es posix trad")
            << QStringList{"es_ES.UTF-8@collation=traditional"} << TablaEspanolTradicional;
        QTest::newRow("es windows tradnl") << QStringList{"es-ES_tradnl"} << TablaEspanolTradicional;
        QTest::newRow("es other collation") << QStringList{"es-ES-u-co-phonebk"} << TablaEspanol;
        QTest::newRow("es trad not a collation") << QStringList{"es-ES-u-ca-trad"} << TablaEspanol;
        QTest::newRow("es trad in private use") << QStringList{"es-ES-x-co-trad"} << TablaEspanol;
        QTest::newRow("fr tradnl stays French") << QStringList{"fr-FR_tradnl"} << TablaFrances;
        QTest::newRow("en-US") << QStringList{"en-US", "en-Latn-US", "en"} << TablaIngles;
        QTest::newRow("en_GB") << QStringList{"en_GB.UTF-8"} << TablaIngles;
        QTest::newRow("de-DE") << QStringList{"de-DE", "de-Latn-DE", "de"} << TablaNeutra;
        QTest::newRow("pt-BR") << QStringList{"pt-BR"} << TablaNeutra;
        QTest::newRow("C locale") << QStringList{"C"} << TablaNeutra;
        QTest::newRow("nothing") << QStringList{} << TablaNeutra;
        QTest::newRow("first language decides") << QStringList{"de", "fr"} << TablaNeutra;
        QTest::newRow("blank entry skipped") << QStringList{"", " ", "fr"} << TablaFrances;
        QTest::newRow("not a language prefix") << QStringList{"esx-ES"} << TablaNeutra;
    }

    void tablaDeIdiomas()
    {
        QFETCH(QStringList, idiomas);
        QFETCH(int, tabla);
        QCOMPARE(TablaDeIdiomas(idiomas), tabla);
    }

    // main() below sets LANGUAGE before the application exists, as a user would.
    void tablaDelSistema()
    {
        FijarTablaIdioma(-1);
        QCOMPARE(TablaIdioma(), TablaFrances);
        QCOMPARE(TextoRecurso(1430), QStringLiteral("Rotation"));
        QCOMPARE(TextoRecurso(1431), QStringLiteral("Lire QZL"));
        FijarTablaIdioma(TablaEspanol);
        QCOMPARE(TextoRecurso(1430), QStringLiteral("Rotación"));
    }

    // --- The built window ---

    void ventanaPorIdioma_data()
    {
        QTest::addColumn<QStringList>("idiomas");
        QTest::addColumn<QStringList>("pestanas");
        QTest::addColumn<QStringList>("paginas");  // FrameP 1 to 5
        QTest::addColumn<QString>("leer");
        QTest::addColumn<QString>("lampara2");      // Label 13
        QTest::addColumn<QString>("corriente");     // Label 7
        QTest::addColumn<QString>("telemando");     // Label 24, the language caption
        QTest::addColumn<QStringList>("modos");      // cmbModofuncionamiento
        QTest::newRow("French")
            << QStringList{"fr-FR"}
            << QStringList{"Eclats", "Rotation", "Telecommande", "Configuration", "Visualisation"}
            << QStringList{"Eclats", "Rotation", "Eclats", "Communications", "Configuration"}
            << "Lire QZL" << "Type lampe 2" << "Courant actuel leds" << "Langue"
            << QStringList{"Nuit sur", "24 heures sur"};
        QTest::newRow("Spanish")
            << QStringList{"es-ES"}
            << QStringList{"Destellos", "Rotación", "Telemado", "Configuración", "Visualización"}
            << QStringList{"Destellos", "Rotación", "Destellos", "Comunicaciones", "Configuración"}
            << "Leer QZL" << "Tipo lámpara 2" << "Corriente actual leds" << "Lenguaje:"
            << QStringList{"ON noche", "24 horas ON"};
        QTest::newRow("Spanish traditional")
            << QStringList{"es_ES@collation=traditional"}
            << QStringList{"Destellos", "Rotación", "Telemando", "Configuración", "Visualización"}
            << QStringList{"Destellos", "Rotación", "Destellos", "Comunicaciones", "Configuración"}
            << "Leer QZL" << "Tipo lámpara 2" << "Corriente actual leds" << "Lenguaje:"
            << QStringList{"ON Noche", "24 horas ON"};
        QTest::newRow("English")
            << QStringList{"en-GB"}
            << QStringList{"Flashes", "Rotation", "Remote control", "Setup", "Visualization"}
            << QStringList{"Flashes", "Rotation", "Flashes", "Communications", "Setup"}
            << "Read QZL" << "Lamp  2 type" << "LED instant current " << "Language"
            << QStringList{"Night ON", "24 hours ON"};
        QTest::newRow("German")
            << QStringList{"de-DE", "de"}
            << QStringList{"Flashes", "Rotation", "Remote control", "Setup", "Visualization"}
            << QStringList{"Flashes", "Rotation", "Flashes", "Communications", "Setup"}
            << "Read QZL" << "Lamp  2 type" << "LED instant current " << "Language"
            << QStringList{"Night ON", "24 hours ON"};
    }

    void ventanaPorIdioma()
    {
        QFETCH(QStringList, idiomas);
        QFETCH(QStringList, pestanas);
        QFETCH(QStringList, paginas);
        QFETCH(QString, leer);
        QFETCH(QString, lampara2);
        QFETCH(QString, corriente);
        QFETCH(QString, telemando);
        QFETCH(QStringList, modos);

        FijarTablaIdioma(TablaDeIdiomas(idiomas));
        // "34" changes no text: the texts follow the platform alone.
        OpcionesVentanaPrueba o;
        o.qzlIni = Ini(QStringLiteral("\"34\""));
        CrearVentanaPrueba(o);
        Ui::frmMain& v = Ventana();

        QCOMPARE(TextosPestanas(), pestanas);
        for (int p = 1; p <= 5; ++p)
            QCOMPARE(FrameP(p)->title(), paginas[p - 1]);
        QCOMPARE(v.CLeer->text(), leer);
        QCOMPARE(Label(13)->text(), lampara2);
        QCOMPARE(Label(7)->text(), corriente);
        QCOMPARE(Label(24)->text(), telemando);
        QCOMPARE(v.cmbModofuncionamiento->count(), 2);
        QCOMPARE(v.cmbModofuncionamiento->itemText(0), modos[0]);
        QCOMPARE(v.cmbModofuncionamiento->itemText(1), modos[1]);
        QCOMPARE(v.cmbModofuncionamiento->currentIndex(), 0);

        // The same in every language.
        QCOMPARE(v.CModoVerboso->text(), QStringLiteral("ON"));
        QCOMPARE(v.Command1->text(), QStringLiteral("OFF"));
        QCOMPARE(v.CCambioLamparaOn->text(), QStringLiteral("ON"));
        QCOMPARE(v.CCambioLamparaOff->text(), QStringLiteral("OFF"));
        QCOMPARE(Label(17)->text(), QStringLiteral("Com:"));
        // Fixed captions keep their texts.
        QCOMPARE(FrameP(6)->title(), QStringLiteral("Valores instantáneos "));
        QCOMPARE(lblSalidalbl(0)->text(), QStringLiteral("Salida 1 :"));
        QCOMPARE(v.CBorrarTabla->text(), QStringLiteral("Borrar Tabla"));
        QCOMPARE(Frame1(2)->title(), QStringLiteral("Fallo Red"));
        QCOMPARE(Label(6)->text(), QStringLiteral("Max. Int. Led"));
        QCOMPARE(LabelUnidades(7)->text(), QStringLiteral("Seg."));
        // The hidden language list still stands on "Español".
        QCOMPARE(v.ComboIdioma->currentIndex(), 1);
        QCOMPARE(v.ComboIdioma->currentText(), QStringLiteral("Español"));
    }

    // Service mode keeps tab 6 with its fixed caption behind the five translated ones.
    void pestanaSeisFija()
    {
        FijarTablaIdioma(TablaFrances);
        OpcionesVentanaPrueba o;
        o.qzlIni = QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n573\r\n");
        CrearVentanaPrueba(o);
        QCOMPARE(TextosPestanas(),
                 (QStringList{"Eclats", "Rotation", "Telecommande", "Configuration", "Visualisation",
                              "V. Instantáneos"}));
        QCOMPARE(FrameP(6)->title(), QStringLiteral("Valores instantáneos "));
    }

    // Start-up selection of the hidden list, and the code it writes to qzl.ini.
    void seleccionInicial_data()
    {
        QTest::addColumn<QString>("codigo");  // the language line of qzl.ini
        QTest::addColumn<int>("indice");
        QTest::addColumn<QString>("escrito");
        QTest::newRow("34 quoted") << "\"34\"" << 1 << "\"34\"";
        QTest::newRow("34 bare") << "34" << 1 << "\"34\"";
        QTest::newRow("34 with trailing blank") << "\"34 \"" << 0 << "\"1\"";
        QTest::newRow("1") << "\"1\"" << 0 << "\"1\"";
        QTest::newRow("2") << "\"2\"" << 0 << "\"1\"";
        QTest::newRow("340") << "\"340\"" << 0 << "\"1\"";
        QTest::newRow("empty") << "\"\"" << 0 << "\"1\"";
    }

    void seleccionInicial()
    {
        QFETCH(QString, codigo);
        QFETCH(int, indice);
        QFETCH(QString, escrito);
        OpcionesVentanaPrueba o;
        o.qzlIni = Ini(codigo);
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
        IniciarComboIdioma();
        QCOMPARE(Ventana().ComboIdioma->count(), 2);
        QCOMPARE(Ventana().ComboIdioma->itemText(0), QStringLiteral("English"));
        QCOMPARE(Ventana().ComboIdioma->itemText(1), QStringLiteral("Español"));
        QCOMPARE(Ventana().ComboIdioma->currentIndex(), indice);
        QCOMPARE(LineaIdioma(), escrito);
    }

    // The whole start-up leaves the same code in the file.
    void arranqueReescribeCodigo()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = Ini(QStringLiteral("\"34 \""));
        CrearVentanaPrueba(o);
        QCOMPARE(CodigoIdioma, QStringLiteral("1"));
        QCOMPARE(LineaIdioma(), QStringLiteral("\"1\""));
        QCOMPARE(Ventana().ComboIdioma->currentIndex(), 0);
    }

    void eleccionEnLaLista()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = QStringLiteral("3\r\n77\r\n-7\r\n\"1\"\r\n573\r\n");
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
        IniciarComboIdioma();
        QComboBox* lista = Ventana().ComboIdioma;
        lista->setCurrentIndex(1);
        QCOMPARE(CodigoIdioma, QStringLiteral("34"));
        QFile f(CarpetaPrueba() + QStringLiteral("/qzl.ini"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("3\r\n77\r\n-7\r\n\"34\"\r\n573\r\n"));
        f.close();
        lista->setCurrentIndex(0);
        QCOMPARE(LineaIdioma(), QStringLiteral("\"1\""));
        // Taking the selection away leaves the code as it is.
        lista->setCurrentIndex(1);
        lista->setCurrentIndex(-1);
        QCOMPARE(CodigoIdioma, QStringLiteral("34"));
        QCOMPARE(LineaIdioma(), QStringLiteral("\"34\""));
    }

    // Typing: a text that is one of the entries counts as choosing it; any
    // other text chooses nothing and never becomes an entry.
    void escrituraEnLaLista()
    {
        OpcionesVentanaPrueba o;
        o.qzlIni = Ini(QStringLiteral("\"1\""));
        o.ejecutarFormLoad = false;
        CrearVentanaPrueba(o);
        IniciarComboIdioma();
        QComboBox* lista = Ventana().ComboIdioma;

        lista->lineEdit()->clear();
        Teclear(lista->lineEdit(), QStringLiteral("Español"));
        QCOMPARE(CodigoIdioma, QStringLiteral("34"));
        QCOMPARE(LineaIdioma(), QStringLiteral("\"34\""));

        lista->lineEdit()->clear();
        Teclear(lista->lineEdit(), QStringLiteral("Deutsch"));
        QTest::keyClick(lista->lineEdit(), Qt::Key_Return);
        QCOMPARE(CodigoIdioma, QStringLiteral("34"));
        QCOMPARE(lista->count(), 2);

        lista->lineEdit()->selectAll();
        Teclear(lista->lineEdit(), QStringLiteral("English"));
        QCOMPARE(CodigoIdioma, QStringLiteral("1"));
        QCOMPARE(LineaIdioma(), QStringLiteral("\"1\""));
    }
};

int main(int argc, char** argv)
{
    // Canadian French first, German as the platform's fallback.
    qputenv("LANGUAGE", "fr_CA:de");
    QApplication app(argc, argv);
    TestIdioma t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_idioma.moc"
