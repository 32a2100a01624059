#include "ui/Idioma.h"

#include <QApplication>
#include <QtTest>

// Every id the program looks up, as the text table lists them.
static const int IdsEnUso[] = {
    1002, 1004, 1012, 1021, 1055, 1056, 1057, 1058, 1059, 1061, 1100, 1102, 1103, 1104, 1105,
    1110, 1111, 1112, 1160, 1161, 1165, 1171, 1180, 1201, 1203, 1204, 1205, 1206, 1207, 1208,
    1209, 1219, 1220, 1221, 1401, 1402, 1403, 1404, 1405, 1406, 1407, 1408, 1409, 1410, 1411,
    1412, 1420, 1421, 1422, 1423, 1424, 1425, 1426, 1427, 1428, 1429, 1430, 1431, 1432, 1434,
    1435, 1450, 1451, 1452, 1453, 1454, 1455, 1456, 1457, 1458, 1459, 1460, 1461, 1462, 1463,
    1464, 1465, 1466, 1467, 1468, 1470, 1471, 1472, 1473, 1480, 2000, 2001, 2002, 2003,
};
static const int Tablas[] = {TablaNeutra, TablaIngles, TablaEspanolTradicional, TablaFrances,
                             TablaEspanol};
static constexpr int TablaAleman = 1031;  // a language the program has no texts for

class TestIdioma : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { FijarTablaIdioma(-1); }

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
