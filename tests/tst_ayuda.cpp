// The help button starts the viewer with the help file of the current language;
// the path travels as one argument, blanks included; a viewer that cannot start is reported.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "ui/Ayuda.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TstAyuda : public QObject {
    Q_OBJECT
    QTemporaryDir registro;

    QStringList Llamadas() const
    {
        QFile f(registro.filePath(u"llamadas"_s));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        // A stand-in viewer that records each argument on a line of its own.
        const QString guion = registro.filePath(u"visor"_s);
        QFile f(guion);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$(dirname \"$0\")/llamadas\"; done\n");
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        FijarVisorAyuda(guion);
        CrearVentanaPrueba();
    }
    void cleanupTestCase() { CerrarVentanaPrueba(); }

    void nombreDelArchivo()
    {
        QVERIFY(CarpetaPrograma().contains(u' '));
        QVERIFY(!TextoRecurso(2000).isEmpty());
        QCOMPARE(ArchivoAyuda, CarpetaPrograma() + QDir::separator() + TextoRecurso(2000));
    }

    void dosPulsacionesDosVisoresConLaRutaEntera()
    {
        Ventana().CAyuda->click();
        Ventana().CAyuda->click();
        QTRY_COMPARE(Llamadas().size(), 2);
        QCOMPARE(Llamadas(), (QStringList{ArchivoAyuda, ArchivoAyuda}));
        QVERIFY(DialogosMostrados().isEmpty());
    }

    void visorQueNoArrancaDaUnMensaje()
    {
        DialogosMostrados().clear();
        FijarVisorAyuda(registro.filePath(u"no existe"_s));
        CAyuda_Click();
        QCOMPARE(DialogosMostrados().size(), 1);
        QVERIFY(!DialogosMostrados().first().texto.isEmpty());
        QVERIFY(FormPrincipal()->isVisible());
    }
};

QTEST_MAIN(TstAyuda)
#include "tst_ayuda.moc"
