// The help button: with a viewer program (as "hh" on Windows) it starts the viewer with the
// help file of the current language, the path as one argument, blanks included, and reports
// a viewer that cannot start; without one it opens the program's own help window on the
// guide of that language, and a second press brings the window back to the front. The
// compiled help files beside the program are valid and hold the very pages of help/.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "ui/Ayuda.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmAyuda.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace Qt::StringLiterals;

// The help files and the folder of help/ their pages come from.
static const QMap<QString, QString> FuenteDe{
    {u"helpQZL"_s, u"en"_s}, {u"ayudaQZL"_s, u"es"_s}, {u"ayudakx"_s, u"es"_s}, {u"AideQZL"_s, u"fr"_s}};

static QString CarpetaFuentes(const QString& idioma)
{
    return QStringLiteral(QZL_CARPETA_FUENTES "/help/") + idioma;
}

static QByteArray Contenido(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The directory of a compiled help file (ITSF container): name and uncompressed length
// of every entry, read from its listing chunks. Empty, with the reason in `error`, for
// anything that is not such a file.
struct EntradaChm {
    quint64 seccion = 0, longitud = 0;
};
struct DirectorioChm {
    QMap<QString, EntradaChm> entradas;
    quint32 idioma = 0;
    QString error;
};

static DirectorioChm LeerDirectorioChm(const QByteArray& d)
{
    DirectorioChm r;
    auto u32 = [&](qsizetype p) -> quint32 {
        if (p < 0 || p + 4 > d.size())
            return 0;
        return quint32(uchar(d[p])) | quint32(uchar(d[p + 1])) << 8 | quint32(uchar(d[p + 2])) << 16
            | quint32(uchar(d[p + 3])) << 24;
    };
    auto u64 = [&](qsizetype p) { return quint64(u32(p)) | quint64(u32(p + 4)) << 32; };
    if (!d.startsWith("ITSF") || u32(4) != 3) {
        r.error = u"no ITSF header of version 3"_s;
        return r;
    }
    r.idioma = u32(0x14);
    const quint64 dir = u64(0x48), largoDir = u64(0x50);
    if (dir + largoDir > quint64(d.size()) || d.mid(qsizetype(dir), 4) != "ITSP") {
        r.error = u"no ITSP directory where the header says"_s;
        return r;
    }
    const quint32 cabecera = u32(qsizetype(dir) + 8), trozo = u32(qsizetype(dir) + 0x10);
    const quint32 trozos = u32(qsizetype(dir) + 0x2C);
    if (trozo < 0x14 || cabecera + quint64(trozo) * trozos > largoDir) {
        r.error = u"directory chunks do not fit the directory"_s;
        return r;
    }
    for (quint32 t = 0; t < trozos; ++t) {
        const qsizetype inicio = qsizetype(dir + cabecera + quint64(t) * trozo);
        if (d.mid(inicio, 4) != "PMGL")
            continue;  // index chunks only repeat names
        const qsizetype fin = inicio + trozo - u32(inicio + 4);
        qsizetype p = inicio + 0x14;
        auto encint = [&](bool& ok) {
            quint64 v = 0;
            for (int i = 0; i < 9 && p < fin; ++i) {
                const uchar b = uchar(d[p++]);
                v = v << 7 | (b & 0x7F);
                if (!(b & 0x80))
                    return v;
            }
            ok = false;
            return v;
        };
        while (p < fin) {
            bool ok = true;
            const quint64 largoNombre = encint(ok);
            if (!ok || p + qsizetype(largoNombre) > fin) {
                r.error = u"an entry runs past its chunk"_s;
                return r;
            }
            const QString nombre = QString::fromUtf8(d.mid(p, qsizetype(largoNombre)));
            p += qsizetype(largoNombre);
            EntradaChm e;
            e.seccion = encint(ok);
            encint(ok);  // offset
            e.longitud = encint(ok);
            if (!ok) {
                r.error = u"an entry runs past its chunk"_s;
                return r;
            }
            r.entradas.insert(nombre, e);
        }
    }
    if (r.entradas.isEmpty())
        r.error = u"no entries"_s;
    return r;
}

class TstAyuda : public QObject {
    Q_OBJECT
    QTemporaryDir registro;
    QString guion;

    QStringList Llamadas() const
    {
        QFile f(registro.filePath(u"llamadas"_s));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // The own window, after a press with no viewer program, for help file `nombre`.
    frmAyuda* Pulsar(int tabla)
    {
        FijarVisorAyuda(QString());
        FijarTablaIdioma(tabla);
        FijarArchivoAyuda();
        Ventana().CAyuda->click();
        return VentanaAyuda();
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        // A stand-in viewer that records each argument on a line of its own.
        guion = registro.filePath(u"visor"_s);
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
        QVERIFY(!VentanaAyuda());  // a viewer program replaces the own window
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

    // Without a viewer program: the guide of each language in the own window, from the
    // pages the help file of that language is compiled from.
    void ventanaPropiaPorIdioma_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("archivo");
        QTest::addColumn<QString>("lang");
        QTest::newRow("neutral") << TablaNeutra << "helpQZL.chm" << "en";
        QTest::newRow("English") << TablaIngles << "helpQZL.chm" << "en";
        QTest::newRow("Spanish") << TablaEspanol << "ayudaQZL.chm" << "es";
        QTest::newRow("Spanish, traditional sorting") << TablaEspanolTradicional << "ayudakx.chm" << "es";
        QTest::newRow("French") << TablaFrances << "AideQZL.chm" << "fr";
    }

    void ventanaPropiaPorIdioma()
    {
        QFETCH(int, tabla);
        QFETCH(QString, archivo);
        QFETCH(QString, lang);
        DialogosMostrados().clear();
        frmAyuda* v = Pulsar(tabla);
        QVERIFY(v);
        QVERIFY(v->isVisible());
        QVERIFY(DialogosMostrados().isEmpty());
        QCOMPARE(QFileInfo(ArchivoAyuda).fileName(), archivo);
        const QString nombre = QFileInfo(archivo).completeBaseName();
        QCOMPARE(v->ui.txtAyuda->source(), QUrl(u"qrc:/ayuda/"_s + nombre + u"/index.html"_s));
        // The page shown is the source file itself.
        const QByteArray fuente = Contenido(CarpetaFuentes(lang) + u"/index.html"_s);
        QVERIFY(!fuente.isEmpty());
        QCOMPARE(Contenido(u":/ayuda/"_s + nombre + u"/index.html"_s), fuente);
        QVERIFY(fuente.contains("<html lang=\"" + lang.toLatin1() + "\">"));
        const QString titulo = QRegularExpression(u"<title>(.*)</title>"_s).match(QString::fromUtf8(fuente)).captured(1);
        QVERIFY(!titulo.isEmpty());
        QCOMPARE(v->windowTitle(), titulo);
        QCOMPARE(v->ui.txtAyuda->accessibleName(), titulo);
        QVERIFY(!v->ui.txtAyuda->toPlainText().isEmpty());
        v->close();
    }

    // A second press brings the open window to the front on the page being read; after
    // closing, a press starts at the first page again; closing the main window closes it.
    void segundaPulsacion()
    {
        frmAyuda* v = Pulsar(TablaIngles);
        QVERIFY(v && v->isVisible());
        const QUrl inicio = v->ui.txtAyuda->source();
        const QUrl otra = inicio.resolved(QUrl(u"mensajes.html"_s));
        v->ui.txtAyuda->setSource(otra);
        v->showMinimized();

        QCOMPARE(Pulsar(TablaIngles), v);
        QVERIFY(v->isVisible());
        QVERIFY(!v->isMinimized());
        QCOMPARE(v->ui.txtAyuda->source(), otra);

        // Another language's file: that guide from its start.
        Pulsar(TablaFrances);
        QCOMPARE(v->ui.txtAyuda->source(), QUrl(u"qrc:/ayuda/AideQZL/index.html"_s));

        v->close();
        v->ui.txtAyuda->setSource(otra);
        QCOMPARE(Pulsar(TablaFrances), v);
        QCOMPARE(v->ui.txtAyuda->source(), QUrl(u"qrc:/ayuda/AideQZL/index.html"_s));

        CerrarVentanaPrueba();
        QVERIFY(!v->isVisible());
        CrearVentanaPrueba();
    }

    // Every page of every guide is in the program as it is in help/, and every link in
    // it leads to a page (and an anchor) of the same guide.
    void paginasYEnlaces()
    {
        for (auto it = FuenteDe.cbegin(); it != FuenteDe.cend(); ++it) {
            const QDir fuentes(CarpetaFuentes(it.value()));
            const QStringList paginas = fuentes.entryList({u"*.html"_s}, QDir::Files);
            QVERIFY2(paginas.size() >= 5, qPrintable(it.value()));
            QCOMPARE(paginas, QDir(CarpetaFuentes(u"en"_s)).entryList({u"*.html"_s}, QDir::Files));
            for (const QString& p : paginas) {
                const QByteArray texto = Contenido(fuentes.filePath(p));
                QCOMPARE(Contenido(u":/ayuda/"_s + it.key() + u'/' + p), texto);
                QRegularExpressionMatchIterator enlaces =
                    QRegularExpression(QStringLiteral("href=\"([^\"#]*)(?:#([^\"]*))?\"")).globalMatch(QString::fromUtf8(texto));
                while (enlaces.hasNext()) {
                    const auto m = enlaces.next();
                    const QString destino = m.captured(1).isEmpty() ? p : m.captured(1);
                    const QByteArray otra = Contenido(u":/ayuda/"_s + it.key() + u'/' + destino);
                    QVERIFY2(!otra.isEmpty(), qPrintable(it.value() + u'/' + p + u" -> "_s + destino));
                    if (!m.captured(2).isEmpty())
                        QVERIFY2(otra.contains("id=\"" + m.captured(2).toUtf8() + '"'),
                                 qPrintable(it.value() + u'/' + p + u" -> #"_s + m.captured(2)));
                }
            }
        }
    }

    // The compiled help files lie beside the program, are valid compiled help in their
    // language, and hold every page of their guide at its full length.
    void archivosCompilados_data()
    {
        QTest::addColumn<QString>("nombre");
        QTest::addColumn<quint32>("idioma");
        QTest::newRow("helpQZL.chm") << "helpQZL" << quint32(0x409);
        QTest::newRow("ayudaQZL.chm") << "ayudaQZL" << quint32(0xC0A);
        QTest::newRow("ayudakx.chm") << "ayudakx" << quint32(0x40A);
        QTest::newRow("AideQZL.chm") << "AideQZL" << quint32(0x40C);
    }

    void archivosCompilados()
    {
        QFETCH(QString, nombre);
        QFETCH(quint32, idioma);
        const QByteArray datos = Contenido(QStringLiteral(QZL_CARPETA_PROGRAMA "/") + nombre + u".chm"_s);
        QVERIFY2(!datos.isEmpty(), "the build lays the help file beside the program");
        const DirectorioChm dir = LeerDirectorioChm(datos);
        QVERIFY2(dir.error.isEmpty(), qPrintable(dir.error));
        QCOMPARE(dir.idioma, idioma);
        QVERIFY(dir.entradas.contains(u"/#SYSTEM"_s));
        QVERIFY(dir.entradas.contains(u"::DataSpace/Storage/MSCompressed/Content"_s));
        const QDir fuentes(CarpetaFuentes(FuenteDe.value(nombre)));
        QStringList esperadas = fuentes.entryList({u"*.html"_s, u"*.hhc"_s}, QDir::Files);
        esperadas.append(u"../estilo.css"_s);
        for (const QString& f : esperadas) {
            const QString entrada = u'/' + QFileInfo(f).fileName();
            QVERIFY2(dir.entradas.contains(entrada), qPrintable(entrada));
            QCOMPARE(dir.entradas.value(entrada).longitud, quint64(QFileInfo(fuentes.filePath(f)).size()));
        }
        // A broken file is told apart.
        QByteArray roto = datos;
        roto.replace(0, 4, "ITSX");
        QVERIFY(!LeerDirectorioChm(roto).error.isEmpty());
        QVERIFY(!LeerDirectorioChm(datos.left(0x200)).error.isEmpty());
    }
};

QTEST_MAIN(TstAyuda)
#include "tst_ayuda.moc"
