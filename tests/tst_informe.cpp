// The service report: its PDF text, read back with pdftotext, holds every field the
// window shows with its value and unit in the window's language, the cells a field
// cannot show, where the values came from and the flash table; the page count depends
// on the content only; an empty window is reported as empty.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Colores.h"
#include "flash/Pautas.h"
#include "flash/Sectores.h"
#include "informe/Informe.h"
#include "params/Campos.h"
#include "params/Catalogo.h"
#include "params/Lectura.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString IniServicio()
{
    return QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n%1\r\n").arg(CodigoServicioFabrica);
}

// A tool of poppler-utils on the PDF; its standard output.
QString Poppler(const QString& programa, const QStringList& argumentos)
{
    QProcess p;
    p.start(programa, argumentos);
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(programa, QString::fromUtf8(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The report's lines as pdftotext lays them out, each with its runs of blanks made one.
QStringList LineasPdf(const QString& ruta)
{
    QStringList lineas;
    for (const QString& l : Poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, QStringLiteral("-")})
                                .split(u'\n'))
        lineas << l.simplified();
    return lineas;
}

int PaginasPdf(const QString& ruta)
{
    const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const auto m = paginas.match(Poppler(QStringLiteral("pdfinfo"), {ruta}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool HayLinea(const QStringList& lineas, const QString& texto)
{
    for (const QString& l : lineas)
        if (l.contains(texto))
            return true;
    return false;
}

// A field as the window shows it: caption, value and unit, one blank apart.
QString LineaEsperada(const FilaMapa& f)
{
    QString valor;
    QWidget* w = WidgetCampo(f);
    if (auto* t = qobject_cast<QLineEdit*>(w))
        valor = t->text();
    else if (auto* l = qobject_cast<QComboBox*>(w))
        valor = l->currentText();
    else if (auto* c = qobject_cast<QCheckBox*>(w))
        valor = TextoRecurso(c->checkState() == Qt::Checked ? 2042 : c->checkState() == Qt::Unchecked ? 2043 : 2044);
    QStringList partes{TextoDe(f.etiqueta).simplified(), valor.simplified(), TextoDe(f.unidad)};
    partes.removeAll(QString());
    return partes.join(u' ');
}

// The demo controller with every address present and the cases a field cannot show:
// the changer type 9 (the list keeps its entry), function mode 3 (a two-entry list) and
// a recovery time of 1000 minutes (the field stops at 999).
EstadoSimulador ControladorDePrueba()
{
    EstadoSimulador e = EstadoTodoPresente();
    e.Celdas[27] = 9;
    e.Celdas[55] = 3;
    e.Celdas[57] = 3;
    e.Celdas[58] = 232;
    return e;
}

// Rows of segments: one that wraps through north, one with a start entry alone.
void TablaDePrueba()
{
    for (int r = 1; r <= FilasPautas; ++r)
        for (int c = 1; c <= ColumnasPautas; ++c)
            TablaPautas[r][c] = EntradaVacia;
    TablaPautas[1][1] = 0;
    TablaPautas[1][2] = 90;
    TablaPautas[1][3] = 180;
    TablaPautas[1][4] = 270;
    TablaPautas[2][1] = 300;
    TablaPautas[2][2] = 45;
    TablaPautas[4][1] = 120;
    TablaColores[1] = 255;       // red
    TablaColores[2] = 65280;     // green
    for (int r = 3; r <= FilasPautas; ++r)
        TablaColores[r] = r;
    RellenarColores();
    RedibujaGrid();
    DibujarSectores();
}

}  // namespace

class InformePrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    QTemporaryDir carpeta;

    QString Ruta(const QString& nombre) const { return carpeta.filePath(nombre); }

    // A window in the given language, in service mode (every page), that has read the
    // test controller and holds the test flash table.
    void VentanaLeida(int tabla)
    {
        CerrarVentanaPrueba();
        FijarTablaIdioma(tabla);
        CrearVentanaPrueba({true, false, IniServicio()});
        ReiniciarEstadoPrueba();
        ContestarDialogos();
        SimFijarEstado(sim.get(), ControladorDePrueba());
        CLeer_Click();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        TablaDePrueba();
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        QVERIFY(carpeta.isValid());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        sim = IniciarSimuladorPrueba(1, EstadoSimulador{});
        QVERIFY(sim);
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(), "poppler-utils");
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
        QLocale::setDefault(QLocale::system());
    }

    void cadaCampoConValorYUnidad_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("celda55");   // the note of a cell the field cannot show
        QTest::addColumn<QString>("celdas57");
        QTest::addColumn<QString>("pagina");
        QTest::newRow("en") << TablaIngles << "cell 55 holds 3" << "cells 57-58 hold 1000" << "Page 1 of";
        QTest::newRow("es") << TablaEspanol << "la celda 55 contiene 3" << "las celdas 57-58 contienen"
                            << "Página 1 de";
        QTest::newRow("fr") << TablaFrances << "la cellule 55 contient 3" << "les cellules 57-58 contiennent"
                            << "Page 1 sur";
    }
    void cadaCampoConValorYUnidad()
    {
        QFETCH(int, tabla);
        QFETCH(QString, celda55);
        QFETCH(QString, celdas57);
        QFETCH(QString, pagina);
        VentanaLeida(tabla);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(Ventana().txtTiempoDe->text(), QStringLiteral("999"));

        for (const QPageSize::PageSizeId papel : {QPageSize::A4, QPageSize::Letter}) {
            const QString nombre = QStringLiteral("campos_%1_%2.pdf").arg(tabla).arg(papel);
            QString error;
            QVERIFY2(EscribirInformePdf(Ruta(nombre), papel, error), qPrintable(error));
            const QStringList lineas = LineasPdf(Ruta(nombre));
            // Every field of the catalogue is shown: all addresses are present, in service mode.
            for (const FilaMapa& f : MapaMemoria())
                QVERIFY2(HayLinea(lineas, LineaEsperada(f)),
                         qPrintable(QStringLiteral("%1 on %2: %3").arg(QLatin1String(f.campo)).arg(papel).arg(LineaEsperada(f))));
            const FilaMapa* modo = FilaDeCampo(QStringLiteral("cmbModofuncionamiento"));
            QVERIFY(HayLinea(lineas, LineaEsperada(*modo) + u' ' + celda55));
            const FilaMapa* tiempo = FilaDeCampo(QStringLiteral("txtTiempoDe"));
            QVERIFY(HayLinea(lineas, LineaEsperada(*tiempo) + u' ' + celdas57));
            QVERIFY(HayLinea(lineas, TextoRecurso(2020).section(u'%', 0, 0).trimmed()));  // read from the controller
            QVERIFY(HayLinea(lineas, TextoRecurso(2040)));                          // the sector picture
            QVERIFY(HayLinea(lineas, QStringLiteral("1 255 000° – 090°, 180° – 270°")));
            QVERIFY(HayLinea(lineas, QStringLiteral("2 65280 300° – 045°")));
            QVERIFY(HayLinea(lineas, QStringLiteral("4 4 120° – ?")));
            QVERIFY(HayLinea(lineas, QStringLiteral("QZL %1.%2.%3").arg(QZL_VERSION_MAJOR).arg(QZL_VERSION_MINOR).arg(QZL_VERSION_PATCH)));
            QVERIFY(HayLinea(lineas, QStringLiteral("Com1:")));
            const int paginas = PaginasPdf(Ruta(nombre));
            QVERIFY(paginas >= 2);
            QVERIFY2(HayLinea(lineas, pagina + QStringLiteral(" %1").arg(paginas)), qPrintable(pagina));

            // The same content gives the same pages.
            QVERIFY(EscribirInformePdf(Ruta(QStringLiteral("otra_") + nombre), papel, error));
            QCOMPARE(PaginasPdf(Ruta(QStringLiteral("otra_") + nombre)), paginas);
        }
    }

    void editadoNoEscrito()
    {
        VentanaLeida(TablaIngles);
        if (QTest::currentTestFailed())
            return;
        const FilaMapa* luz = FilaDeCampo(QStringLiteral("TLuxON"));
        Ventana().TabStrip1->setCurrentIndex(0);
        Ventana().TPWMLed->selectAll();
        QTest::keyClicks(Ventana().TPWMLed, QStringLiteral("42"));
        QString error;
        QVERIFY2(EscribirInformePdf(Ruta(QStringLiteral("editado.pdf")), QPageSize::A4, error), qPrintable(error));
        const QStringList lineas = LineasPdf(Ruta(QStringLiteral("editado.pdf")));
        QVERIFY(HayLinea(lineas, QStringLiteral("PWM Led 42 % Edited, not written")));
        QVERIFY(HayLinea(lineas, QStringLiteral("Edited in the window and not written to the controller")));
        QVERIFY(HayLinea(lineas, LineaEsperada(*luz)));
        QVERIFY(!HayLinea(lineas, LineaEsperada(*luz) + QStringLiteral(" Edited")));
    }

    void ventanaVaciaLoDice()
    {
        CerrarVentanaPrueba();
        FijarTablaIdioma(TablaIngles);
        CrearVentanaPrueba({true, false, IniServicio()});
        ReiniciarEstadoPrueba();
        QCOMPARE(Procedencia().origen, OrigenValores::Ninguno);
        QString error;
        QVERIFY2(EscribirInformePdf(Ruta(QStringLiteral("vacia.pdf")), QPageSize::A4, error), qPrintable(error));
        const QStringList lineas = LineasPdf(Ruta(QStringLiteral("vacia.pdf")));
        QVERIFY(HayLinea(lineas, QStringLiteral("Nothing has been read from a controller or loaded from a file")));
        // The start-up texts ("10", "0") are not reported as a controller's values.
        QVERIFY(!HayLinea(lineas, QStringLiteral("Delay Lamp 1")));
        QVERIFY(!HayLinea(lineas, QStringLiteral("ID Number")));
        QVERIFY(!HayLinea(lineas, QStringLiteral("Parameter Value")));
        QCOMPARE(PaginasPdf(Ruta(QStringLiteral("vacia.pdf"))), 1);
        QVERIFY(HayLinea(lineas, QStringLiteral("Page 1 of 1")));
    }

    // The button: the choice, the proposed name, the PDF or the print to a file, and cancel.
    void botonGuardaOImprime()
    {
        VentanaLeida(TablaIngles);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(Ventana().CInforme->isVisible());
        QCOMPARE(Ventana().CInforme->text(), QStringLiteral("Report"));
        const QString numero = QString::number(Ventana().TNumeroID->text().toInt());
        const QString propuesto = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                                      .filePath(QStringLiteral("QZL_ID%1_%2.pdf")
                                                    .arg(numero, QDate::currentDate().toString(u"yyyy-MM-dd")));
        QCOMPARE(NombrePropuestoInforme(QDate::currentDate()), propuesto);

        int eleccion = 0;
        QString archivo;
        FijarContestadorDialogos([&](const PeticionDialogo& p) {
            RespuestaDialogo r;
            r.eleccion = eleccion;
            r.archivo = archivo;
            r.aceptado = p.tipo == PeticionDialogo::Eleccion || !archivo.isEmpty();
            return r;
        });

        // Save as PDF: a name without extension gets ".pdf".
        archivo = Ruta(QStringLiteral("boton"));
        DialogosMostrados().clear();
        Ventana().CInforme->click();
        QCOMPARE(DialogosMostrados().size(), 2);
        QCOMPARE(DialogosMostrados()[0].tipo, PeticionDialogo::Eleccion);
        QCOMPARE(DialogosMostrados()[0].botones.size(), 3);
        QCOMPARE(DialogosMostrados()[1].tipo, PeticionDialogo::GuardarArchivo);
        QCOMPARE(DialogosMostrados()[1].propuesto, propuesto);
        QVERIFY(QFile::exists(Ruta(QStringLiteral("boton.pdf"))));
        QCOMPARE(TextoPanel1(), QStringLiteral("Report saved"));

        // Print, to a file as the print dialog offers it: the same report.
        eleccion = 1;
        archivo = Ruta(QStringLiteral("impreso.pdf"));
        DialogosMostrados().clear();
        Ventana().CInforme->click();
        QCOMPARE(DialogosMostrados().size(), 2);
        QCOMPARE(DialogosMostrados()[1].tipo, PeticionDialogo::Imprimir);
        QVERIFY(HayLinea(LineasPdf(archivo), QStringLiteral("Service report")));
        QVERIFY(HayLinea(LineasPdf(archivo), LineaEsperada(*FilaDeCampo(QStringLiteral("TLuxON")))));

        // Cancel: no file dialog, nothing written.
        eleccion = 2;
        archivo = Ruta(QStringLiteral("cancelado.pdf"));
        DialogosMostrados().clear();
        Ventana().CInforme->click();
        QCOMPARE(DialogosMostrados().size(), 1);
        QVERIFY(!QFile::exists(archivo));

        // The save dialog cancelled: nothing written.
        eleccion = 0;
        archivo.clear();
        const QStringList antes = QDir(carpeta.path()).entryList(QDir::Files);
        Ventana().CInforme->click();
        QCOMPARE(QDir(carpeta.path()).entryList(QDir::Files), antes);
        ContestarDialogos();
    }

    void archivoQueNoSePuedeEscribir()
    {
        QString error;
        QVERIFY(!EscribirInformePdf(Ruta(QStringLiteral("no/existe/informe.pdf")), QPageSize::A4, error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_MAIN(InformePrueba)
#include "tst_informe.moc"
