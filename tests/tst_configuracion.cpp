// qzl.ini: the five values read and written back, and sound defaults for bad files.
#include "support/VentanaPrueba.h"

#include "app/Configuracion.h"
#include "app/ModuloKX.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TstConfiguracion : public QObject {
    Q_OBJECT

    static void Escribir(const QByteArray& contenido)
    {
        QFile f(RutaConfiguracion());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenido);
    }
    static QByteArray Leer()
    {
        QFile f(RutaConfiguracion());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { PrepararEntornoPrueba(); }
    void init()
    {
        FijarCarpetaPrograma(CarpetaPrueba());
        QFile::remove(RutaConfiguracion());
    }

    void lectura_data()
    {
        QTest::addColumn<QByteArray>("contenido");
        QTest::addColumn<int>("puerto");
        QTest::addColumn<int>("r1");
        QTest::addColumn<int>("r2");
        QTest::addColumn<QString>("idioma");
        QTest::addColumn<int>("servicio");
        QTest::newRow("as written") << "3\r\n0\r\n0\r\n\"1\"\r\n0\r\n"_ba << 3 << 0 << 0 << u"1"_s << 0;
        QTest::newRow("Spanish") << "2\r\n0\r\n0\r\n\"34\"\r\n0\r\n"_ba << 2 << 0 << 0 << u"34"_s << 0;
        QTest::newRow("service code") << "1\r\n0\r\n0\r\n\"1\"\r\n573\r\n"_ba << 1 << 0 << 0 << u"1"_s << 573;
        QTest::newRow("reserved kept") << "5\r\n77\r\n-7\r\n\"1\"\r\n0\r\n"_ba << 5 << 77 << -7 << u"1"_s << 0;
        QTest::newRow("commas") << "2,0,0,\"34\",0\r\n"_ba << 2 << 0 << 0 << u"34"_s << 0;
        QTest::newRow("commas and lines") << "4,77\n-7\n34,573"_ba << 4 << 77 << -7 << u"34"_s << 573;
        QTest::newRow("unquoted code") << "1\n0\n0\n34\n0\n"_ba << 1 << 0 << 0 << u"34"_s << 0;
        QTest::newRow("quoted blank kept") << "1\n0\n0\n\"34 \"\n0\n"_ba << 1 << 0 << 0 << u"34 "_s << 0;
        QTest::newRow("LF only, blanks") << " 3 \n 0\n0 \n \"1\" \n0"_ba << 3 << 0 << 0 << u"1"_s << 0;
        QTest::newRow("empty") << ""_ba << 1 << 0 << 0 << u"1"_s << 0;
        QTest::newRow("short") << "4\r\n77\r\n"_ba << 4 << 77 << 0 << u"1"_s << 0;
        QTest::newRow("garbled numbers") << "x\r\n1.5\r\nzz\r\n\"34\"\r\n5x\r\n"_ba << 1 << 0 << 0 << u"34"_s << 0;
        QTest::newRow("port beyond 16 bits") << "70000\r\n0\r\n0\r\n\"1\"\r\n0\r\n"_ba << 1 << 0 << 0 << u"1"_s << 0;
        QTest::newRow("port out of list kept") << "12\r\n0\r\n0\r\n\"1\"\r\n0\r\n"_ba << 12 << 0 << 0 << u"1"_s << 0;
        QTest::newRow("unbalanced quote") << "1\r\n0\r\n0\r\n\"34\r\n0\r\n"_ba << 1 << 0 << 0 << u"1"_s << 0;
        // An empty line is an empty value: it takes its own place's default, not the next value.
        QTest::newRow("empty second line") << "3\r\n\r\n-7\r\n\"34\"\r\n573\r\n"_ba << 3 << 0 << -7 << u"34"_s << 573;
        QTest::newRow("empty first line") << "\r\n5\r\n6\r\n\"34\"\r\n573"_ba << 1 << 5 << 6 << u"34"_s << 573;
        QTest::newRow("empty language line") << "3\r\n1\r\n2\r\n\r\n573\r\n"_ba << 3 << 1 << 2 << u"1"_s << 573;
        QTest::newRow("empty quoted language") << "3\r\n1\r\n2\r\n\"\"\r\n573\r\n"_ba << 3 << 1 << 2 << u"1"_s << 573;
        QTest::newRow("blank line") << "3\r\n  \r\n-7\r\n\"34\"\r\n573"_ba << 3 << 0 << -7 << u"34"_s << 573;
        QTest::newRow("empty lines, LF") << "3\n\n\n34\n573\n"_ba << 3 << 0 << 0 << u"34"_s << 573;
        QTest::newRow("empty line, CR") << "3\r\r5\r\"34\"\r573"_ba << 3 << 0 << 5 << u"34"_s << 573;
        QTest::newRow("comma then line end") << "3,\r\n-7\r\n\"34\"\r\n573"_ba << 3 << 0 << -7 << u"34"_s << 573;
        QTest::newRow("binary junk") << QByteArray("\x00\xff\x01\"\r\n", 6) << 1 << 0 << 0 << u"1"_s << 0;
    }
    void lectura()
    {
        QFETCH(QByteArray, contenido);
        // Values from an earlier read must not survive a shorter file.
        NumeroPuerto = 9; Reservado1 = 9; Reservado2 = 9; CodigoIdioma = u"9"_s; CodigoServicio = 9;
        Escribir(contenido);
        LeerConfiguracion();
        QTEST(int(NumeroPuerto), "puerto");
        QTEST(int(Reservado1), "r1");
        QTEST(int(Reservado2), "r2");
        QTEST(CodigoIdioma, "idioma");
        QTEST(int(CodigoServicio), "servicio");
    }

    void archivoQueFalta()
    {
        NumeroPuerto = 7;
        LeerConfiguracion();
        QCOMPARE(int(NumeroPuerto), 1);
        QCOMPARE(CodigoIdioma, u"1"_s);
        QVERIFY2(!QFile::exists(RutaConfiguracion()), "reading never creates the file");
    }

    void escrituraCompletaConCRLF()
    {
        Escribir("4\r\n77\r\n"_ba);  // short: completed at the first rewrite
        LeerConfiguracion();
        QVERIFY(EscribirConfiguracion());
        QCOMPARE(Leer(), "4\r\n77\r\n0\r\n\"1\"\r\n0\r\n"_ba);

        NumeroPuerto = 3; Reservado1 = 77; Reservado2 = -7; CodigoIdioma = u"34"_s; CodigoServicio = 573;
        QVERIFY(EscribirConfiguracion());
        QCOMPARE(Leer(), "3\r\n77\r\n-7\r\n\"34\"\r\n573\r\n"_ba);
        LeerConfiguracion();
        QCOMPARE(int(Reservado1), 77);
        QCOMPARE(int(Reservado2), -7);
        QCOMPARE(int(CodigoServicio), 573);
    }

    // The rewrite after reading a file with an empty line keeps every value in its place.
    void lineaVaciaSobreviveALaReescritura()
    {
        Escribir("3\r\n\r\n-7\r\n\"34\"\r\n573\r\n"_ba);
        LeerConfiguracion();
        QVERIFY(EscribirConfiguracion());
        QCOMPARE(Leer(), "3\r\n0\r\n-7\r\n\"34\"\r\n573\r\n"_ba);
    }

    void escrituraQueFallaNoDejaMedioArchivo()
    {
        FijarCarpetaPrograma(CarpetaPrueba() + u"/no such folder"_s);
        QVERIFY(!EscribirConfiguracion());
        QVERIFY(!QFile::exists(RutaConfiguracion()));
    }
};

QTEST_MAIN(TstConfiguracion)
#include "tst_configuracion.moc"
