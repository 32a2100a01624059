// The history of reads: every good parameter or colour read kept as a parameter file.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/ArchivoQZL.h"
#include "flash/Colores.h"
#include "historial/Historial.h"
#include "link/Puerto.h"
#include "params/Campos.h"
#include "params/Lectura.h"
#include "ui/Dialogos.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QStringList Archivos()
{
    return QDir(CarpetaHistorial()).entryList({u"*.qzl"_s}, QDir::Files, QDir::Name);
}

ContenidoArchivoQZL Leer(const QString& ruta)
{
    QFile f(ruta);
    ContenidoArchivoQZL c;
    QString error;
    if (!f.open(QIODevice::ReadOnly) || !InterpretarArchivoQZL(f.readAll(), c, error))
        qWarning() << "not a parameter file:" << ruta << error;
    return c;
}

}  // namespace

class HistorialPrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    QString carpeta;

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        sim = IniciarSimuladorPrueba(1, EstadoDemo());
        QVERIFY(sim);
        CrearVentanaPrueba();
        carpeta = CarpetaHistorial();
        QVERIFY(carpeta.startsWith(CarpetaPrueba()));
    }
    void init()
    {
        ReiniciarEstadoPrueba();
        ContestarDialogos();
        SimFijarEstado(sim.get(), EstadoDemo());
        SimFijarFallos(sim.get(), FallosSimulador{});
        FijarPuerto(1);
        FijarCarpetaHistorial(carpeta);
        QDir(carpeta).removeRecursively();
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
    }

    void nombre_data()
    {
        QTest::addColumn<int>("alto");
        QTest::addColumn<int>("bajo");
        QTest::addColumn<QString>("nombre");
        QTest::newRow("ID 0") << 0 << 0 << u"2026-03-07_090502_ID0.qzl"_s;
        QTest::newRow("ID 258") << 1 << 2 << u"2026-03-07_090502_ID258.qzl"_s;
        QTest::newRow("ID 65535") << 255 << 255 << u"2026-03-07_090502_ID65535.qzl"_s;
    }
    void nombre()
    {
        QFETCH(int, alto);
        QFETCH(int, bajo);
        QFETCH(QString, nombre);
        ImagenParametros img;
        img.celda[254] = alto;
        img.celda[255] = bajo;
        QCOMPARE(NombreArchivoHistorial(QDateTime(QDate(2026, 3, 7), QTime(9, 5, 2)), img), nombre);
    }

    // A parameter read keeps what it read, with the window's table until a colour read;
    // a colour read keeps the last read cells with the table just read; the next
    // parameter read keeps that table. Open loads each of them.
    void lecturasGuardadas()
    {
        EstadoSimulador e = EstadoDemo();
        e.Celdas[254] = 1;
        e.Celdas[255] = 44;
        SimFijarEstado(sim.get(), e);
        int32_t coloresVentana[9];
        std::copy(TablaColores, TablaColores + 9, coloresVentana);

        CLeer_Click();
        QVERIFY(HistorialPanel1().contains(u"Ended"_s));
        QStringList archivos = Archivos();
        QCOMPARE(archivos.size(), 1);
        QVERIFY2(QRegularExpression(u"^\\d{4}-\\d{2}-\\d{2}_\\d{6}_ID300\\.qzl$"_s).match(archivos[0]).hasMatch(),
                 qPrintable(archivos[0]));
        QCOMPARE(UltimoArchivoHistorial(), QDir(carpeta).filePath(archivos[0]));
        ContenidoArchivoQZL c = Leer(UltimoArchivoHistorial());
        for (int a = 0; a < 256; ++a)
            QCOMPARE(c.imagen.celda[a], EsPresente(e, a) ? int(e.Celdas[size_t(a)]) : 0);
        for (int r = 1; r <= 8; ++r)
            QCOMPARE(c.colores[r], coloresVentana[r]);

        // The colour read: the cells of the last read, the table just read.
        EstadoSimulador otro = e;
        otro.Celdas[28] = uint8_t(e.Celdas[28] + 1);
        FijarColorFila(otro, 4, 0x0A0B0C);
        SimFijarEstado(sim.get(), otro);
        const QString primero = UltimoArchivoHistorial();
        CLeerColores_Click();
        QCOMPARE(TextoPanel1(), u"Ended"_s);
        QVERIFY(UltimoArchivoHistorial() != primero);
        c = Leer(UltimoArchivoHistorial());
        QCOMPARE(c.imagen.celda[28], int(e.Celdas[28]));
        QCOMPARE(c.colores[4], int(ColorFila(otro, 4)));

        // The next parameter read carries the table last read from the controller.
        FijarColorFila(otro, 4, 0);
        SimFijarEstado(sim.get(), otro);
        CLeer_Click();
        c = Leer(UltimoArchivoHistorial());
        QCOMPARE(c.imagen.celda[28], int(e.Celdas[28]) + 1);
        QCOMPARE(c.colores[4], 0x0A0B0C);
        QCOMPARE(Archivos().size(), 3);

        // Open loads a history file as any other.
        ContestarDialogos(QDir(carpeta).filePath(archivos[0]));
        AbrirArchivoQZL();
        QVERIFY(MensajesMostrados().isEmpty());
        QCOMPARE(ImagenBase().celda[28], int(e.Celdas[28]));
    }

    // Only reads that ended well are kept.
    void lecturaFallidaNoSeGuarda_data()
    {
        QTest::addColumn<int>("comando");
        QTest::addColumn<int>("indice");
        QTest::newRow("identification") << 128 << 3;
        QTest::newRow("parameter read") << 1 << 40;
        QTest::newRow("colour read") << 137 << 2;
    }
    void lecturaFallidaNoSeGuarda()
    {
        QFETCH(int, comando);
        QFETCH(int, indice);
        FallosRapidos();
        FallosSimulador f;
        f.CallarEnOrden = true;
        f.CallarComando = uint8_t(comando);
        f.CallarIndice = uint8_t(indice);
        SimFijarFallos(sim.get(), f);
        if (comando >= 135)
            CLeerColores_Click();
        else
            CLeer_Click();
        QVERIFY(TextoPanel1().contains(u"Error in data"_s));
        QCOMPARE(Archivos(), QStringList());
    }

    // A folder that cannot be written costs one text; the read is still a good one.
    void carpetaNoEscribible()
    {
        QFile estorbo(CarpetaPrueba() + u"/not a folder"_s);
        QVERIFY(estorbo.open(QIODevice::WriteOnly));
        estorbo.close();
        FijarCarpetaHistorial(estorbo.fileName() + u"/history"_s);
        CLeer_Click();
        const QString texto = u"Ended. The read was not kept in the history: %1 cannot be written"_s
                                  .arg(QDir::toNativeSeparators(CarpetaHistorial()));
        QCOMPARE(HistorialPanel1().count(texto), 1);
        QCOMPARE(ValoresVentana, PertenenciaValores::DelControlador);
        QVERIFY(MensajesMostrados().isEmpty());
    }

    // Two reads within one second keep two files.
    void dosLecturasEnUnSegundo()
    {
        CLeer_Click();
        CLeer_Click();
        CLeerColores_Click();
        QCOMPARE(Archivos().size(), 3);
    }

    void dialogosMuestranLaCarpeta()
    {
        ContestarDialogos();
        DialogosMostrados().clear();
        DialogoAbrirArchivo(FiltroArchivoQZL());
        DialogoGuardarArchivo(FiltroArchivoQZL(), u"x.qzl"_s);
        QCOMPARE(DialogosMostrados().size(), 2);
        for (const PeticionDialogo& p : DialogosMostrados())
            QVERIFY(p.lateral.contains(carpeta));
    }
};

QTEST_MAIN(HistorialPrueba)
#include "tst_historial.moc"
