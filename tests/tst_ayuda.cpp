// The help button: with a viewer program (as "hh" on Windows) it starts the viewer with the
// help file of the current language, the path as one argument, blanks included, and reports
// a viewer that cannot start; without one it opens the program's own help window on the
// guide of that language, and a second press brings the window back to the front. The
// compiled help files beside the program are valid and hold the very pages of help/. The
// pages quote only texts the program shows, and the ranges and list entries the catalogue
// holds for the fields they name.
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "params/Catalogo.h"
#include "params/TablaLux.h"
#include "ui/Ayuda.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmAyuda.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QSet>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <cmath>
#include <optional>

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


// --- What the pages quote, as their markup marks it ---
// <span class="msg"> quotes a text of the status bar or of a message box, with <var> for
// what the program fills in; <span class="campo"> names a field by its caption in the
// window, <td class="rango"> gives its range ("A to B", in the page's language and number
// format), <td class="entradas"> its list entries, each in <span class="entrada">.

// A fragment of a page as its reader sees it: blanks run together as HTML runs them, a
// non-breaking blank kept, every <var> as "{}".
static QString TextoVisto(QString html)
{
    static const QRegularExpression var(u"<var>[^<]*</var>"_s), etiqueta(u"<[^>]*>"_s), blancos(u"\\s+"_s);
    html.replace(var, u"{}"_s);
    html.replace(etiqueta, QString());
    html.replace(blancos, u" "_s);
    html.replace(u"&nbsp;"_s, u" "_s);
    html.replace(u"&quot;"_s, u"\""_s);
    html.replace(u"&lt;"_s, u"<"_s);
    html.replace(u"&gt;"_s, u">"_s);
    html.replace(u"&amp;"_s, u"&"_s);
    return html;
}

static QStringList Marcados(const QString& html, const QString& patron)
{
    QStringList r;
    QRegularExpressionMatchIterator it =
        QRegularExpression(patron, QRegularExpression::DotMatchesEverythingOption).globalMatch(html);
    while (it.hasNext())
        r << it.next().captured(1);
    return r;
}

// The string tables each guide serves: the Spanish pages serve both Spanish tables.
static const QMap<QString, QList<int>> TablasDe{{u"en"_s, {TablaIngles}},
                                                 {u"es"_s, {TablaEspanol, TablaEspanolTradicional}},
                                                 {u"fr"_s, {TablaFrances}}};

// The program's own fixed texts for panel 1 and its message boxes, in pieces: "%n" is a
// number, "%_n" a number with its blank before it (ConBlanco); any other piece is a literal
// of the sources, where "%1" to "%9" stand for what it is given.
static const QList<QStringList> TextosFijos{
    {u"Start reading the device"_s},
    {u"Testing speed"_s},
    {u"Index =  "_s, u"%n"_s},
    {u"Out speed computer "_s, u"%n"_s},
    {u"Serial Port "_s, u"%_n"_s},
    {u"Serial Port "_s, u"%_n"_s, u"  Not Avalaible"_s},
    {u"%_n"_s},
    {u"Reading"_s},
    {u"Writing"_s},
    {u"Ended"_s},
    {u"Identification Error in data "_s, u"%n"_s},
    {u"Reading Error in data "_s, u"%n"_s},
    {u"Writing Error in data "_s, u"%n"_s},
    {u"Time Out Transmision"_s},
    {u"Error R  "_s, u"%n"_s},
    {u"End check"_s},
    {u"Segments transmision"_s},
    {u" %1 - %2 - %3"_s},
    {u" Saved file"_s},
    {u"Error"_s},
    {u" QZL is in day mode"_s}, {u" QZL day mode failed"_s},
    {u" QZL is in night mode"_s}, {u" QZL night mode failed"_s},
    {u" QZL normal mode"_s}, {u" QZL normal mode failed"_s},
    {u" QZL changer On"_s}, {u" QZL changer On failed"_s},
    {u" QZL changer Off"_s}, {u" QZL changer Off failed"_s},
    {u" QZL sector fail On OK"_s}, {u" QZL sector fail On OK failed"_s},
    {u" QZL sector fail Off OK"_s}, {u" QZL sector fail Off OK failed"_s},
    {u" QZL Motor 1 OK"_s}, {u" QZL Motor 1 fail"_s},
    {u" QZL Motor 2 OK"_s}, {u" QZL Motor 2 fail"_s},
    {u"Error de lectura, posible desbordamiento. Reintente la operación"_s},
    {u"Error de escritura. Reintente la operación"_s},
    {u"Type mismatch: %1 \"%2\""_s},
};

// A fixed text as a page quotes it: what the program fills in as "{}".
static QString FormaFija(const QStringList& piezas)
{
    QString r;
    for (const QString& p : piezas) {
        if (p == u"%n")
            r += u"{}"_s;
        else if (p == u"%_n")
            r += u" {}"_s;
        else
            r += QString(p).replace(QRegularExpression(u"%[1-9]"_s), u"{}"_s);
    }
    return r;
}

// Every .cpp and .h of the program's folders, in one text.
static QString FuentesPrograma()
{
    QString todo;
    for (const char* carpeta : {"app", "link", "params", "flash", "ui"}) {
        QDirIterator it(QStringLiteral(QZL_CARPETA_FUENTES "/") + QLatin1String(carpeta), {u"*.cpp"_s, u"*.h"_s},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            todo += QString::fromUtf8(Contenido(it.next()));
    }
    return todo;
}

// Every text of the string tables of a guide's language.
static QSet<QString> TextosTablas(const QString& idioma)
{
    QSet<QString> r;
    for (int tabla : TablasDe.value(idioma))
        for (int id = 0; id < 10000; ++id)
            if (const QString t = TextoRecursoDeTabla(tabla, id); !t.isEmpty()) {
                r.insert(t);
                // What the program fills in (%1) is quoted as <var>.
                static const QRegularExpression relleno(u"%[1-9]"_s);
                r.insert(QString(t).replace(relleno, u"{}"_s));
            }
    return r;
}

// The fixed texts that are not in the sources as they are written there.
static QStringList FijosQueFaltan(const QString& fuentes)
{
    QStringList faltan;
    for (const QStringList& piezas : TextosFijos)
        for (const QString& p : piezas) {
            if (p == u"%n" || p == u"%_n")
                continue;
            const QString literal = u'"' + QString(p).replace(u"\\"_s, u"\\\\"_s).replace(u"\""_s, u"\\\""_s) + u'"';
            if (!fuentes.contains(literal))
                faltan << literal;
        }
    return faltan;
}

// Why a quoted message is not one the program shows, or empty when it is.
static QString MensajeAjeno(const QString& visto, const QSet<QString>& tablas)
{
    for (const QStringList& piezas : TextosFijos)
        if (FormaFija(piezas) == visto)
            return {};
    if (tablas.contains(visto))
        return {};
    return u"not a text the program shows"_s;
}

// The field rows of the catalogue whose caption, in one of the tables, is `titulo`.
static const FilaMapa* FilaDeTitulo(const QString& titulo, const QList<int>& tablas)
{
    for (int tabla : tablas) {
        FijarTablaIdioma(tabla);
        for (const FilaMapa& f : MapaMemoria())
            if (TextoDe(f.etiqueta).simplified() == titulo)
                return &f;
    }
    return nullptr;
}

// The cells a write would send for `texto` in the row's field, or none when the write or
// the save refuses it (a failed conversion, or a cell that is no byte).
static std::optional<QList<int32_t>> CeldasEscritas(const FilaMapa& f, const QString& texto)
{
    ValorCampo v;
    v.texto = texto;
    ImagenParametros img;
    if (!CodificarCampo(f, v, img, SensorFotodiodo))
        return std::nullopt;
    QList<int32_t> celdas;
    for (int c = f.primera; c < f.primera + f.celdas; ++c) {
        if (img.celda[c] < 0 || img.celda[c] > 255)
            return std::nullopt;
        celdas << img.celda[c];
    }
    return celdas;
}

// Why "A to B" is not the row's range, or empty when it is: both ends are written, each
// apart from its neighbour inside, and one step beyond either end is refused or taken as
// that end (the light levels, a LED group above 255).
static QString RangoAjeno(const FilaMapa& f, const QString& rango, const QString& idioma)
{
    static const QRegularExpression forma(u"^(-?[0-9.,]+) (?:to|a|à) (-?[0-9.,]+)$"_s);
    const QRegularExpressionMatch m = forma.match(rango);
    if (!m.hasMatch())
        return u"not of the form \"A to B\""_s;
    const QChar coma = idioma == u"en" ? u'.' : u',';
    auto leer = [&](QString t, int& decimales) {
        decimales = t.contains(coma) ? int(t.size() - t.indexOf(coma) - 1) : 0;
        return t.replace(coma, u'.').toDouble();
    };
    int dA = 0, dB = 0;
    const double a = leer(m.captured(1), dA), b = leer(m.captured(2), dB);
    if (dA != dB)
        return u"the ends have different decimals"_s;
    const double paso = std::pow(10.0, -dA);
    auto celdas = [&](double x) { return CeldasEscritas(f, QString::number(x, 'f', dA)); };
    if (!celdas(a) || !celdas(b))
        return u"an end is refused"_s;
    if (celdas(a + paso) == celdas(a) || celdas(b - paso) == celdas(b))
        return u"an end is written as its neighbour inside the range"_s;
    if (const auto bajo = celdas(a - paso); bajo && bajo != celdas(a))
        return u"a value below the range is written"_s;
    if (const auto alto = celdas(b + paso); alto && alto != celdas(b))
        return u"a value above the range is written"_s;
    return {};
}

// Every fault of the fields a guide's page names: a caption the window does not show, a
// range or list entries the catalogue does not hold. The captions named are added to `titulos`.
static QStringList FallosCampos(const QString& html, const QString& idioma, QSet<QString>& titulos)
{
    QStringList fallos;
    const QList<int> tablas = TablasDe.value(idioma);
    for (const QString& fila : Marcados(html, u"<tr>(.*?)</tr>"_s)) {
        const QStringList campos = Marcados(fila, uR"(<span class="campo">(.*?)</span>)"_s);
        const QStringList rangos = Marcados(fila, uR"(<td class="rango">(.*?)</td>)"_s);
        const QStringList listas = Marcados(fila, uR"(<td class="entradas">(.*?)</td>)"_s);
        if (campos.isEmpty() && (!rangos.isEmpty() || !listas.isEmpty()))
            fallos << u"a range or list names no field: "_s + TextoVisto(fila).simplified();
        for (const QString& c : campos) {
            const QString titulo = TextoVisto(c).simplified();
            titulos.insert(titulo);
            const FilaMapa* f = FilaDeTitulo(titulo, tablas);
            if (!f) {
                fallos << u"no field has the caption \""_s + titulo + u'"';
                continue;
            }
            for (const QString& r : rangos)
                if (const QString por = RangoAjeno(*f, TextoVisto(r).simplified(), idioma); !por.isEmpty())
                    fallos << titulo + u": range \""_s + TextoVisto(r).simplified() + u"\": "_s + por;
            for (const QString& l : listas) {
                QStringList entradas;
                for (const QString& e : Marcados(l, uR"(<span class="entrada">(.*?)</span>)"_s))
                    entradas << TextoVisto(e).simplified();
                const Enumeracion* e = EnumeracionDe(QLatin1String(f->campo));
                bool igual = false;
                for (int tabla : tablas) {
                    FijarTablaIdioma(tabla);
                    igual = igual || (e && EntradasLista(*e) == entradas);
                }
                if (!igual)
                    fallos << titulo + u": entries "_s + entradas.join(u" | "_s) + u" are not the list's"_s;
            }
        }
    }
    return fallos;
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

    // Every message a page of a guide quotes is one the program shows: a fixed text of the
    // sources (each checked there as it is written) or a text of the string tables of the
    // guide's language. Every field a page names has that caption in the window, and its
    // range and list entries are the ones the catalogue encodes; every field of the
    // catalogue is described in each guide.
    void textosYRangosDeLasPaginas_data()
    {
        QTest::addColumn<QString>("idioma");
        for (const QString& i : TablasDe.keys())
            QTest::newRow(qPrintable(i)) << i;
    }

    void textosYRangosDeLasPaginas()
    {
        QFETCH(QString, idioma);
        const QStringList faltan = FijosQueFaltan(FuentesPrograma());
        QVERIFY2(faltan.isEmpty(), qPrintable(u"not in the sources: "_s + faltan.join(u", "_s)));
        QCOMPARE(ConBlanco(37), u" 37"_s);
        const QSet<QString> tablas = TextosTablas(idioma);

        CargarTablaLux();
        const QLocale antes;
        QLocale::setDefault(QLocale::c());  // decimal fields are probed with "."
        QStringList fallos;
        QSet<QString> titulos;
        int mensajes = 0, rangos = 0;
        const QDir carpeta(CarpetaFuentes(idioma));
        for (const QString& p : carpeta.entryList({u"*.html"_s}, QDir::Files)) {
            const QString html = QString::fromUtf8(Contenido(carpeta.filePath(p)));
            for (const QString& m : Marcados(html, uR"(<span class="msg">(.*?)</span>)"_s)) {
                ++mensajes;
                const QString visto = TextoVisto(m);
                if (const QString por = MensajeAjeno(visto, tablas); !por.isEmpty())
                    fallos << p + u": \""_s + visto + u"\": "_s + por;
            }
            rangos += int(Marcados(html, uR"(class="rango")"_s).size());
            for (const QString& f : FallosCampos(html, idioma, titulos))
                fallos << p + u": "_s + f;
        }
        for (const FilaMapa& f : MapaMemoria())
            for (int tabla : TablasDe.value(idioma)) {
                FijarTablaIdioma(tabla);
                if (!titulos.contains(TextoDe(f.etiqueta).simplified()))
                    fallos << u"the field \""_s + TextoDe(f.etiqueta).simplified() + u"\" is described nowhere"_s;
            }
        QLocale::setDefault(antes);
        FijarTablaIdioma(-1);
        fallos.removeDuplicates();
        QVERIFY2(fallos.isEmpty(), qPrintable(fallos.join(u'\n')));
        // The marks are there to be checked: a page that lost them would pass unread.
        QVERIFY(mensajes > 40);
        QVERIFY(rangos > 25);
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
