// Text-to-number conversions and display formats.
#include "params/Conversiones.h"

#include <QLocale>
#include <QTest>

Q_DECLARE_METATYPE(Formato)

namespace {
constexpr int Error = std::numeric_limits<int>::min();  // marks "the conversion fails"
}

class ConversionesPrueba : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void prefijo_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("esperado");
        QTest::newRow("vacio") << "" << 0;
        QTest::newRow("letras") << "abc" << 0;
        QTest::newRow("solo signo") << "-" << 0;
        QTest::newRow("solo punto") << "." << 0;
        QTest::newRow("entero") << "250" << 250;
        QTest::newRow("resto ignorado") << "12abc" << 12;
        QTest::newRow("mitad a par abajo") << "2.5" << 2;
        QTest::newRow("mitad a par arriba") << "3.5" << 4;
        QTest::newRow("mitad negativa") << "-2.5" << -2;
        QTest::newRow("mas de la mitad") << "0.5000001" << 1;
        QTest::newRow("sin parte entera") << ".5" << 0;
        QTest::newRow("blancos en cualquier sitio") << " 1 2 " << 12;
        QTest::newRow("tab y salto de linea") << "\t-\n7" << -7;
        QTest::newRow("retorno de carro corta") << "12\r3" << 12;
        QTest::newRow("coma no es decimal") << "1,5" << 1;
        QTest::newRow("segundo punto corta") << "1.5.6" << 2;
        QTest::newRow("signo mas") << "+7" << 7;
        QTest::newRow("doble signo") << "--5" << 0;
        QTest::newRow("exponente") << "1e3" << 1000;
        QTest::newRow("exponente negativo") << "25E-1" << 2;
        QTest::newRow("exponente sin cifras") << "1e" << 1;
        QTest::newRow("exponente sin cifras con signo") << "1e+" << 1;
        QTest::newRow("exponente diminuto") << "1e-400" << 0;
        QTest::newRow("maximo de 32 bits") << "2147483647" << 2147483647;
        QTest::newRow("fuera de 32 bits") << "2147483648" << Error;
        QTest::newRow("redondeo fuera de 32 bits") << "2147483647.5" << Error;
        QTest::newRow("exponente enorme") << "1e400" << Error;
        QTest::newRow("cifras enormes") << QString(500, u'9') << Error;
        // Beyond the largest double: outside the 32-bit range, never a 0.
        QTest::newRow("1e309") << "1e309" << Error;
        QTest::newRow("-1e309") << "-1e309" << Error;
        QTest::newRow("justo sobre el doble") << "1.8e308" << Error;
        QTest::newRow("trescientos nueves") << QString(300, u'9') << Error;
        QTest::newRow("trescientos nueve nueves") << QString(309, u'9') << Error;
        QTest::newRow("diminuto sin ser cero") << "4e-330" << 0;
    }

    void prefijo()
    {
        QFETCH(QString, texto);
        QFETCH(int, esperado);
        // The numeric prefix takes "." whatever the user's locale says.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const std::optional<int32_t> v = ValorPrefijo(texto);
        if (esperado == Error) {
            QVERIFY(!v.has_value());
        } else {
            QVERIFY(v.has_value());
            QCOMPARE(*v, esperado);
        }
    }

    void prefijoSinRedondear()
    {
        QCOMPARE(ValorPrefijo(QStringLiteral("-2147483648")), std::optional<int32_t>(INT32_MIN));
        QCOMPARE(ValorPrefijo(QStringLiteral("-2147483648.5")), std::optional<int32_t>(INT32_MIN));
        QCOMPARE(PrefijoNumerico(QStringLiteral("255.6")), 255.6);
        QCOMPARE(PrefijoNumerico(QStringLiteral(" 3 0 0x")), 300.0);
    }

    void estricto_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<QString>("texto");
        QTest::addColumn<int>("escala");
        QTest::addColumn<int>("esperado");
        const QString en = QStringLiteral("en_US");
        const QString de = QStringLiteral("de_DE");
        const QString fr = QStringLiteral("fr_FR");
        QTest::newRow("1.25 x10 a par") << en << "1.25" << 10 << 12;
        QTest::newRow("1.35 x10 a par") << en << "1.35" << 10 << 14;
        QTest::newRow("1.25 x10000") << en << "1.25" << 10000 << 12500;
        QTest::newRow("25.5 x100") << en << "25.5" << 100 << 2550;
        QTest::newRow("0.05 x10") << en << "0.05" << 10 << 0;
        QTest::newRow("0.15 x10") << en << "0.15" << 10 << 2;
        QTest::newRow("2.675 x100 exacto") << en << "2.675" << 100 << 268;
        QTest::newRow("cuatro decimales primero") << en << "0.14996" << 10 << 2;
        QTest::newRow("quinta cifra mitad a par") << en << "1.00005" << 10000 << 10000;
        QTest::newRow("quinta cifra mitad impar") << en << "1.00015" << 10000 << 10002;
        QTest::newRow("mas de la mitad en la quinta") << en << "0.000051" << 10000 << 1;
        QTest::newRow("negativo") << en << "-1.5" << 1 << -2;
        QTest::newRow("agrupado") << en << "1,000.5" << 1 << 1000;
        QTest::newRow("blancos alrededor") << en << " 3 " << 1 << 3;
        QTest::newRow("exponente") << en << "1.5E3" << 1 << 1500;
        QTest::newRow("ceros a la izquierda") << en << "000000000000000000012" << 1 << 12;
        QTest::newRow("maximo") << en << "2147483647" << 1 << 2147483647;
        QTest::newRow("vacio") << en << "" << 1 << Error;
        QTest::newRow("blanco") << en << "  " << 1 << Error;
        QTest::newRow("letras") << en << "abc" << 1 << Error;
        QTest::newRow("numero y letras") << en << "12abc" << 1 << Error;
        QTest::newRow("grupo mal puesto") << en << "1,5" << 1 << Error;
        QTest::newRow("infinito") << en << "inf" << 1 << Error;
        QTest::newRow("nan") << en << "nan" << 1 << Error;
        QTest::newRow("fuera de 32 bits") << en << "2147483648" << 1 << Error;
        QTest::newRow("fuera por la escala") << en << "214748.3648" << 10000 << Error;
        QTest::newRow("enorme") << en << "99999999999999999999" << 1 << Error;
        QTest::newRow("exponente enorme") << en << "1E300" << 1 << Error;
        QTest::newRow("1e309") << en << "1e309" << 1 << Error;
        QTest::newRow("trescientos nueves") << en << QString(300, u'9') << 1 << Error;
        QTest::newRow("de coma") << de << "1,25" << 10 << 12;
        QTest::newRow("de 0,15") << de << "0,15" << 10 << 2;
        QTest::newRow("de agrupado") << de << "1.000,5" << 1 << 1000;
        QTest::newRow("de punto no es decimal") << de << "1.25" << 10 << Error;
        QTest::newRow("fr espacio fino") << fr << QString::fromUtf8("1\u202f000,5") << 1 << 1000;
        QTest::newRow("fr espacio") << fr << "1 000,25" << 100 << 100025;
    }

    void estricto()
    {
        QFETCH(QString, local);
        QFETCH(QString, texto);
        QFETCH(int, escala);
        QFETCH(int, esperado);
        QLocale::setDefault(QLocale(local));
        const std::optional<int32_t> v = ValorEstricto(texto, escala);
        if (esperado == Error) {
            QVERIFY2(!v.has_value(), qPrintable(QString::number(v.value_or(0))));
        } else {
            QVERIFY(v.has_value());
            QCOMPARE(*v, esperado);
        }
        // A text the strict conversion takes is a number; a malformed one is not.
        if (esperado != Error)
            QVERIFY(EsNumero(texto));
    }

    void esNumero_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<bool>("esperado");
        QTest::newRow("decimal") << "1.5" << true;
        QTest::newRow("vacio") << "" << false;
        QTest::newRow("blanco") << " " << false;
        QTest::newRow("letras") << "abc" << false;
        QTest::newRow("prefijo numerico") << "12abc" << false;
        QTest::newRow("grande pero numero") << "99999999999999999999" << true;
        QTest::newRow("desborda el doble") << "1e400" << false;
    }

    void esNumero()
    {
        QFETCH(QString, texto);
        QFETCH(bool, esperado);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(EsNumero(texto), esperado);
    }

    void formatos_data()
    {
        QTest::addColumn<QString>("local");
        QTest::addColumn<qlonglong>("valor");
        QTest::addColumn<int>("escala");
        QTest::addColumn<Formato>("formato");
        QTest::addColumn<QString>("esperado");
        const QString en = QStringLiteral("en_US");
        const QString de = QStringLiteral("de_DE");
        QTest::newRow("#0.0000") << en << 12500LL << 10000 << Formato::Cuatro << "1.2500";
        QTest::newRow("#0.0000 de") << de << 12500LL << 10000 << Formato::Cuatro << "1,2500";
        QTest::newRow("#0.0000 tope 24 bits") << de << 16777215LL << 10000 << Formato::Cuatro << "1677,7215";
        QTest::newRow("#0.00") << en << 2550LL << 100 << Formato::Dos << "25.50";
        QTest::newRow("#0.00 sin grupos") << en << 1234567LL << 100 << Formato::Dos << "12345.67";
        QTest::newRow("##0.0 cero") << en << 0LL << 10 << Formato::UnoDecimal << "0.0";
        QTest::newRow("##0.0") << de << 6553LL << 10 << Formato::UnoDecimal << "655,3";
        QTest::newRow("##0.00") << en << 50LL << 100 << Formato::DosDecimales << "0.50";
        QTest::newRow("fixed") << en << 300LL << 100 << Formato::Fijo << "3.00";
        QTest::newRow("entero") << en << 250LL << 1 << Formato::Entero << "250";
        QTest::newRow("entero negativo") << en << -7LL << 1 << Formato::Entero << "-7";
        QTest::newRow("entero sin grupos") << en << 65535LL << 1 << Formato::Entero << "65535";
        QTest::newRow("redondeo a par abajo") << en << 25LL << 100 << Formato::UnoDecimal << "0.2";
        QTest::newRow("redondeo a par arriba") << en << 15LL << 100 << Formato::UnoDecimal << "0.2";
        QTest::newRow("entero de escala, mitad impar") << en << 15LL << 10 << Formato::Entero << "2";
        QTest::newRow("entero de escala, mitad par") << en << 25LL << 10 << Formato::Entero << "2";
        QTest::newRow("decimal negativo") << en << -125LL << 100 << Formato::Dos << "-1.25";
    }

    void formatos()
    {
        QFETCH(QString, local);
        QFETCH(qlonglong, valor);
        QFETCH(int, escala);
        QFETCH(Formato, formato);
        QFETCH(QString, esperado);
        QLocale::setDefault(QLocale(local));
        QCOMPARE(MostrarValor(valor, escala, formato), esperado);
    }

    // What a decoded field shows, the strict conversion reads back to the same cells.
    void formatoYEstrictoSeCorresponden()
    {
        for (const char* nombre : {"en_US", "de_DE", "fr_FR", "ar_EG"}) {
            QLocale::setDefault(QLocale(QString::fromLatin1(nombre)));
            for (const int escala : {1, 10, 100, 10000}) {
                const Formato f = escala == 1 ? Formato::Entero
                    : escala == 10           ? Formato::UnoDecimal
                    : escala == 100          ? Formato::Dos
                                             : Formato::Cuatro;
                for (const qlonglong v : {0LL, 1LL, 9LL, 255LL, 12345LL, 65535LL, 16777215LL}) {
                    const QString t = MostrarValor(v, escala, f);
                    const std::optional<int32_t> r = ValorEstricto(t, escala);
                    QVERIFY2(r.has_value(), qPrintable(QString::fromLatin1(nombre) + u' ' + t));
                    QCOMPARE(qlonglong{*r}, v);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(ConversionesPrueba)
#include "tst_conversiones.moc"
