// Where qzl.ini and the comN links live: beside the program when its folder can be
// written (a portable copy), in the user's configuration folder when it cannot (an
// installed copy under /usr).
#include "app/Configuracion.h"
#include "app/ModuloKX.h"
#include "link/Puerto.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TstAjustes : public QObject {
    Q_OBJECT

    QTemporaryDir raiz;
    QString configUsuario;   // $XDG_CONFIG_HOME of this test
    QString carpetaUsuario;  // where the tool must keep its files there

    static QByteArray Leer(const QString& ruta)
    {
        QFile f(ruta);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void FijarValores()
    {
        NumeroPuerto = 4; Reservado1 = 77; Reservado2 = -7; CodigoIdioma = u"34"_s; CodigoServicio = 573;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(raiz.isValid());
        QCoreApplication::setApplicationName(u"QZL"_s);
        QCoreApplication::setOrganizationName(u"QZL"_s);
        configUsuario = raiz.filePath(u"user config"_s);
        qputenv("XDG_CONFIG_HOME", configUsuario.toLocal8Bit());
        // What the README promises: ~/.config/QZL/QZL when XDG_CONFIG_HOME is not set.
        carpetaUsuario = configUsuario + u"/QZL/QZL"_s;
    }

    void init()
    {
        QDir(configUsuario).removeRecursively();
    }

    void carpetaEscribibleJuntoAlPrograma()
    {
        const QString programa = raiz.filePath(u"portable copy"_s);
        QVERIFY(QDir().mkpath(programa));
        FijarCarpetaPrograma(programa);

        QCOMPARE(CarpetaAjustes(), programa);
        QCOMPARE(RutaConfiguracion(), programa + QDir::separator() + u"qzl.ini"_s);

        // A copy's own file is read as it stands ...
        QFile f(programa + u"/qzl.ini"_s);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2\r\n0\r\n0\r\n\"1\"\r\n573\r\n");
        f.close();
        LeerConfiguracion();
        QCOMPARE(int(NumeroPuerto), 2);
        QCOMPARE(int(CodigoServicio), 573);

        // ... rewritten in place, and the user's folder is left alone.
        FijarValores();
        QVERIFY(EscribirConfiguracion());
        QCOMPARE(Leer(programa + u"/qzl.ini"_s), "4\r\n77\r\n-7\r\n\"34\"\r\n573\r\n"_ba);
        QVERIFY(!QFileInfo::exists(configUsuario));
        // The probe that found the folder writable leaves nothing behind.
        QCOMPARE(QDir(programa).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"qzl.ini"_s});

        // A comN link beside the program is the port, as before.
        QFile destino(raiz.filePath(u"adapter"_s));
        QVERIFY(destino.open(QIODevice::WriteOnly));
        destino.close();
        QVERIFY(QFile::link(destino.fileName(), programa + u"/com3"_s));
        QCOMPARE(DispositivoPuerto(3), QFileInfo(destino.fileName()).canonicalFilePath());
        QVERIFY(QFile::remove(programa + u"/com3"_s));
    }

    void carpetaSoloLecturaEnLaDelUsuario_data()
    {
        QTest::addColumn<QString>("programa");
        QTest::addColumn<bool>("permisos");   // make it read-only through its mode bits
        QTest::newRow("mode r-x") << raiz.filePath(u"installed"_s) << true;
        // Root writes through mode bits; nobody creates files in /proc.
        QTest::newRow("/proc") << u"/proc"_s << false;
    }

    void carpetaSoloLecturaEnLaDelUsuario()
    {
        QFETCH(QString, programa);
        QFETCH(bool, permisos);
        if (!QFileInfo(programa).isDir()) {
            QVERIFY(permisos);
            QVERIFY(QDir().mkpath(programa));
        }
        if (permisos)
            QVERIFY(QFile::setPermissions(programa, QFile::ReadOwner | QFile::ExeOwner
                                                        | QFile::ReadGroup | QFile::ExeGroup));
        const auto restaurar = qScopeGuard([&] {
            if (permisos)
                QFile::setPermissions(programa, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        {
            QTemporaryFile prueba(programa + u"/probe-XXXXXX"_s);
            if (prueba.open())
                QSKIP("this user writes the folder in spite of its mode (root): the /proc row covers it");
        }
        FijarCarpetaPrograma(programa);

        QCOMPARE(CarpetaAjustes(), QDir::toNativeSeparators(carpetaUsuario));
        QVERIFY(QFileInfo(carpetaUsuario).isDir());
        QCOMPARE(RutaConfiguracion(), QDir::toNativeSeparators(carpetaUsuario + u"/qzl.ini"_s));

        // No file yet: the defaults, and the first rewrite creates it complete, in the same format.
        LeerConfiguracion();
        QCOMPARE(int(NumeroPuerto), 1);
        FijarValores();
        QVERIFY(EscribirConfiguracion());
        QCOMPARE(Leer(carpetaUsuario + u"/qzl.ini"_s), "4\r\n77\r\n-7\r\n\"34\"\r\n573\r\n"_ba);
        QVERIFY(!QFileInfo::exists(programa + u"/qzl.ini"_s));
        NumeroPuerto = 1; CodigoServicio = 0;
        LeerConfiguracion();
        QCOMPARE(int(NumeroPuerto), 4);
        QCOMPARE(int(CodigoServicio), 573);

        // The comN links are looked up in the same folder.
        QFile destino(raiz.filePath(u"usb adapter"_s));
        QVERIFY(destino.open(QIODevice::WriteOnly));
        destino.close();
        QVERIFY(QFile::link(destino.fileName(), carpetaUsuario + u"/com2"_s));
        QCOMPARE(DispositivoPuerto(2), QFileInfo(destino.fileName()).canonicalFilePath());
    }

    void cleanup()
    {
        FijarCarpetaPrograma(QString());
    }
};

QTEST_GUILESS_MAIN(TstAjustes)
#include "tst_ajustes.moc"
