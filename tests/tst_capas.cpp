// The folders depend one way: the features (app/, params/, flash/) use the device link
// and the window, never the other way round. The device link reaches the window only
// through ui/Estado.h and includes no widget header, so it can be read and tested
// without a window in mind. An include that breaks a rule fails its row, naming the
// file and the line.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Inclusion {
    QString archivo;  // relative to the sources, "link/Puerto.cpp"
    int linea;
    QString destino;  // as written: "ui/Estado.h", "QLabel"
    bool delSistema;  // <...>
};

QList<Inclusion> Inclusiones(const QString& carpeta)
{
    const QDir fuentes(QStringLiteral(QZL_CARPETA_FUENTES));
    static const QRegularExpression patron(QStringLiteral("^\\s*#\\s*include\\s*([<\"])([^>\"]+)[>\"]"));
    QList<Inclusion> lista;
    QDirIterator it(fuentes.filePath(carpeta), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        int n = 0;
        while (!f.atEnd()) {
            ++n;
            const auto m = patron.match(QString::fromUtf8(f.readLine()));
            if (m.hasMatch())
                lista.append({fuentes.relativeFilePath(f.fileName()), n, m.captured(2), m.captured(1) == u"<"});
        }
    }
    return lista;
}

QString Donde(const Inclusion& i)
{
    return QStringLiteral("%1:%2 includes %3").arg(i.archivo).arg(i.linea).arg(i.destino);
}

}  // namespace

class TestCapas : public QObject {
    Q_OBJECT
private slots:
    void sinFuentesNoHayPrueba()
    {
        // A rule over no files would pass whatever the code does.
        for (const char* carpeta : {"app", "link", "params", "flash", "ui", "informe", "comparacion", "historial",
                                    "registro", "monitor"})
            QVERIFY2(!Inclusiones(QLatin1String(carpeta)).isEmpty(), carpeta);
    }

    void carpetaUsaSoloLoPermitido_data()
    {
        QTest::addColumn<QString>("carpeta");
        QTest::addColumn<QStringList>("vedadas");     // folders it must not include
        QTest::addColumn<QStringList>("soloDesde");   // of these folders, only these headers
        QTest::addColumn<QStringList>("permitidas");
        const QStringList encima{"informe/", "comparacion/", "historial/", "registro/", "monitor/"};
        QTest::newRow("link") << "link" << (QStringList{"params/", "flash/"} + encima) << QStringList{"ui/", "app/"}
                              << QStringList{"ui/Estado.h", "app/ModuloKX.h"};
        QTest::newRow("ui") << "ui" << (QStringList{"link/", "params/", "flash/"} + encima) << QStringList{}
                            << QStringList{};
        QTest::newRow("params") << "params" << (QStringList{"flash/"} + encima) << QStringList{} << QStringList{};
        QTest::newRow("flash") << "flash" << encima << QStringList{} << QStringList{};
        // Above params/ and flash/, beside the report: they reach the window's state and the
        // line through the features, and neither uses the other, the report or the records.
        QTest::newRow("comparacion") << "comparacion"
                                     << QStringList{"informe/", "historial/", "registro/", "monitor/"}
                                     << QStringList{"app/", "link/"}
                                     << QStringList{"app/ModuloKX.h", "link/Identificacion.h", "link/Operacion.h",
                                                    "link/JuegoComandos.h"};
        QTest::newRow("historial") << "historial"
                                   << QStringList{"informe/", "comparacion/", "registro/", "monitor/", "link/"}
                                   << QStringList{"app/"} << QStringList{"app/ModuloKX.h"};
        // The report sits above the features: it shows what they hold, asks the link only
        // whether an operation runs, and of app/ uses only the global state.
        QTest::newRow("informe") << "informe" << QStringList{"comparacion/", "historial/", "registro/", "monitor/"}
                                 << QStringList{"app/", "link/"}
                                 << QStringList{"app/ModuloKX.h", "link/Transaccion.h"};
        // The records' texts and the log read the link's records and the catalogue's
        // captions; nothing but the start-up and the monitor reads them.
        QTest::newRow("registro") << "registro"
                                  << QStringList{"flash/", "informe/", "monitor/", "comparacion/", "historial/", "app/"}
                                  << QStringList{"link/", "params/"}
                                  << QStringList{"link/RegistroLinea.h", "link/Operacion.h", "link/Transaccion.h",
                                                 "link/JuegoComandos.h", "params/Catalogo.h"};
        // The monitor window shows the records and touches nothing on the line.
        QTest::newRow("monitor") << "monitor"
                                 << QStringList{"link/", "params/", "flash/", "informe/", "comparacion/", "historial/", "app/"}
                                 << QStringList{} << QStringList{};
    }

    void carpetaUsaSoloLoPermitido()
    {
        QFETCH(QString, carpeta);
        QFETCH(QStringList, vedadas);
        QFETCH(QStringList, soloDesde);
        QFETCH(QStringList, permitidas);
        for (const Inclusion& i : Inclusiones(carpeta)) {
            if (i.delSistema)
                continue;
            for (const QString& v : vedadas)
                QVERIFY2(!i.destino.startsWith(v), qPrintable(Donde(i)));
            for (const QString& s : soloDesde)
                QVERIFY2(!i.destino.startsWith(s) || permitidas.contains(i.destino), qPrintable(Donde(i)));
        }
    }

    void enlaceSinWidgets()
    {
        const QDir widgets(QLibraryInfo::path(QLibraryInfo::HeadersPath) + QStringLiteral("/QtWidgets"));
        QVERIFY2(widgets.exists(QStringLiteral("QLabel")), qPrintable(widgets.path()));
        for (const Inclusion& i : Inclusiones(QStringLiteral("link"))) {
            const QString nombre = i.destino.section(u'/', -1);
            QVERIFY2(!i.delSistema || !(i.destino.startsWith(u"QtWidgets/") || widgets.exists(nombre)),
                     qPrintable(Donde(i)));
        }
    }
};

QTEST_GUILESS_MAIN(TestCapas)
#include "tst_capas.moc"
