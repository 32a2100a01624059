// The line monitor: the same rows as the service log, its filters, copy and CSV, the rows
// it keeps, following the newest row, the one window that stays usable during an
// operation; and a read with the monitor open puts the same bytes and pauses on the wire.
#include "app/ModuloKX.h"
#include "link/Operacion.h"
#include "link/Puerto.h"
#include "link/RegistroLinea.h"
#include "monitor/Monitor.h"
#include "registro/Registro.h"
#include "support/EnlacePrueba.h"
#include "support/VentanaPrueba.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QAbstractItemModel>
#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

QStringList Lineas(const QString& archivo)
{
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

QStringList FilaModelo(const QAbstractItemModel* m, int fila)
{
    QStringList textos;
    for (int c = 0; c < m->columnCount(); ++c)
        textos << m->index(fila, c).data().toString();
    return textos;
}

// One CSV line back into its fields (quotes doubled inside quoted fields).
QStringList CamposCsv(const QString& linea)
{
    QStringList campos;
    QString campo;
    bool comillas = false;
    for (int i = 0; i < linea.size(); ++i) {
        const QChar c = linea[i];
        if (comillas) {
            if (c == u'"' && i + 1 < linea.size() && linea[i + 1] == u'"') {
                campo += u'"';
                ++i;
            } else if (c == u'"') {
                comillas = false;
            } else {
                campo += c;
            }
        } else if (c == u'"') {
            comillas = true;
        } else if (c == u',') {
            campos << campo;
            campo.clear();
        } else {
            campo += c;
        }
    }
    campos << campo;
    return campos;
}

QTableView* Tabla()
{
    return VentanaMonitor() ? VentanaMonitor()->findChild<QTableView*>(QStringLiteral("tablaMonitor")) : nullptr;
}

// A controller with a few addresses, so that a whole read is short.
EstadoSimulador ControladorPequeno()
{
    EstadoSimulador e = EstadoDemo();
    e.Presencia.fill(0);
    for (int a = 17; a <= 26; ++a)
        FijarPresente(e, a);
    FijarPresente(e, 252);
    return e;
}

std::vector<RegistroLinea> Registros(int n, int64_t desde)
{
    std::vector<RegistroLinea> v;
    for (int i = 0; i < n; ++i) {
        RegistroLinea r;
        r.ms = desde + i;
        r.comando.Comando = 1;
        r.comando.Indice = uint8_t(i);
        v.push_back(r);
    }
    return v;
}

}  // namespace

class TstMonitor : public QObject {
    Q_OBJECT

    SimuladorPtr sim;
    std::unique_ptr<QTemporaryDir> carpeta;

    void Leer()
    {
        Ventana().CLeer->click();
        VaciarRegistro();
        PasarPendientesMonitor();
    }

private slots:
    void initTestCase()
    {
        PrepararEntornoPrueba();
        FijarTablaIdioma(TablaIngles);
    }

    void init()
    {
        ReiniciarEstadoPrueba();
        carpeta = std::make_unique<QTemporaryDir>();
        FijarCarpetaRegistro(carpeta->filePath(QStringLiteral("logs")));
        CrearVentanaPrueba();
        BorrarMonitor();
        sim = IniciarSimuladorPrueba(1, ControladorPequeno());
        QVERIFY(sim);
        FactorEsperas = 0.1;
    }

    void cleanup()
    {
        CerrarCom();
        sim.reset();
        CerrarVentanaPrueba();
        VaciarRegistro();
        FijarOyenteLinea(nullptr);
    }

    void cleanupTestCase()
    {
        FijarTablaIdioma(-1);
    }

    // A read with a timed-out try: the monitor holds the log's lines, row for row, and the
    // gap column is the time since the row before it.
    void mismasFilasQueElRegistro()
    {
        SimFijarSorteo(sim.get(), [](const Trama&, int n) {
            FalloTrama f;
            if (n == 35)
                f.tipo = FalloTrama::Silencio;
            return f;
        });
        CMonitor_Click();
        const int64_t inicio = AhoraLinea();
        Leer();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QStringList log = Lineas(ArchivoRegistro(inicio));
        QVERIFY(log.size() > 40);
        log.removeFirst();
        const QAbstractItemModel* m = ModeloMonitor();
        QCOMPARE(m->rowCount(), log.size());
        QCOMPARE(Tabla()->model()->rowCount(), log.size());
        int64_t anterior = -1;
        int fallos = 0;
        for (int i = 0; i < log.size(); ++i) {
            const QStringList l = log[i].split(u'\t');
            const QStringList f = FilaModelo(m, i);
            QCOMPARE(f.size(), 8);
            // Time, then the log's columns after it; the gap between the two.
            QCOMPARE(f[0], l[0].left(23));
            QCOMPARE(f.mid(2), l.mid(1));
            const int64_t ms = QDateTime::fromString(l[0].left(23), QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toMSecsSinceEpoch();
            QCOMPARE(f[1], anterior < 0 ? QString() : QString::number(ms - anterior));
            anterior = ms;
            if (l[5] == u"timeout")
                ++fallos;
        }
        QCOMPARE(fallos, 1);
    }

    // Filters by operation and by faults, alone and together.
    void filtros()
    {
        SimFijarSorteo(sim.get(), [](const Trama&, int n) {
            FalloTrama f;
            if (n == 3)
                f.tipo = FalloTrama::Silencio;
            return f;
        });
        Leer();
        Ventana().CDia->click();
        VaciarRegistro();
        PasarPendientesMonitor();
        CMonitor_Click();
        auto* lista = VentanaMonitor()->findChild<QComboBox*>(QStringLiteral("comboOperacion"));
        auto* fallos = VentanaMonitor()->findChild<QCheckBox*>(QStringLiteral("checkFallos"));
        QVERIFY(lista && fallos);
        const QString orden = QStringLiteral("Direct command: Day Night control: Day");
        QCOMPARE(lista->itemText(0), QStringLiteral("All operations"));
        QVERIFY(lista->findText(QStringLiteral("Read")) > 0);
        QVERIFY(lista->findText(orden) > 0);
        const QAbstractItemModel* vista = Tabla()->model();
        const int todas = ModeloMonitor()->rowCount();
        QCOMPARE(vista->rowCount(), todas);

        lista->setCurrentIndex(lista->findText(orden));
        QCOMPARE(vista->rowCount(), 2);
        QCOMPARE(FilaModelo(vista, 0)[6], QStringLiteral("sent"));
        QCOMPARE(FilaModelo(vista, 1)[6], QStringLiteral("reply taken"));
        fallos->setChecked(true);
        QCOMPARE(vista->rowCount(), 0);
        lista->setCurrentIndex(0);
        QCOMPARE(vista->rowCount(), 1);
        QCOMPARE(FilaModelo(vista, 0)[6], QStringLiteral("timeout"));
        QCOMPARE(FilaModelo(vista, 0)[2], QStringLiteral("Read"));
        lista->setCurrentIndex(lista->findText(QStringLiteral("Read")));
        QCOMPARE(vista->rowCount(), 1);
        fallos->setChecked(false);
        QCOMPARE(vista->rowCount(), todas - 2);
    }

    // The selected rows copied, and the rows shown saved as CSV, with the time's date and offset.
    void copiaYCsv()
    {
        Leer();
        CMonitor_Click();
        QTableView* tabla = Tabla();
        const QAbstractItemModel* vista = tabla->model();
        QVERIFY(vista->rowCount() > 4);
        tabla->selectionModel()->select(vista->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        tabla->selectionModel()->select(vista->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        VentanaMonitor()->findChild<QPushButton*>(QStringLiteral("botonCopiar"))->click();
        const QStringList copiadas = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(copiadas.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const QStringList campos = copiadas[k].split(u'\t');
            const QStringList fila = FilaModelo(vista, k == 0 ? 1 : 3);
            QCOMPARE(campos.mid(1), fila.mid(1));
            QVERIFY2(campos[0].endsWith(fila[0] + u' ' + campos[0].right(6)), qPrintable(campos[0]));
        }

        const QString archivo = carpeta->filePath(QStringLiteral("monitor.csv"));
        ContestarDialogos(archivo);
        VentanaMonitor()->findChild<QPushButton*>(QStringLiteral("botonGuardar"))->click();
        ContestarDialogos();
        const QStringList csv = Lineas(archivo);
        QCOMPARE(csv.size(), 1 + vista->rowCount());
        QCOMPARE(CamposCsv(csv[0].trimmed()).size(), 8);
        bool conComa = false;
        for (int i = 0; i < vista->rowCount(); ++i) {
            const QStringList campos = CamposCsv(csv[i + 1].trimmed());
            const QStringList fila = FilaModelo(vista, i);
            QCOMPARE(campos.mid(1), fila.mid(1));
            QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} [+-]\\d\\d:\\d\\d$"))
                        .match(campos[0]).hasMatch());
            conComa = conComa || fila[7].contains(u',');
        }
        QVERIFY(conComa);  // the quoting was needed and held
    }

    // A file that cannot be written is said so, and nothing else happens.
    void csvNoEscribible()
    {
        CMonitor_Click();
        ContestarDialogos(carpeta->filePath(QStringLiteral("no-such-folder/monitor.csv")));
        DialogosMostrados().clear();
        VentanaMonitor()->findChild<QPushButton*>(QStringLiteral("botonGuardar"))->click();
        ContestarDialogos();
        QCOMPARE(DialogosMostrados().size(), 2);
        QCOMPARE(DialogosMostrados().last().icono, QMessageBox::Critical);
        QVERIFY(DialogosMostrados().last().texto.contains(u"monitor.csv"));
    }

    // At most FilasMonitor rows: the oldest leave, in a full batch and across batches.
    void filasLimitadas()
    {
        const int64_t t0 = 1'000'000;
        for (const RegistroLinea& r : Registros(FilasMonitor - 2, t0))
            AnadirAlMonitor(r);
        PasarPendientesMonitor();
        for (const RegistroLinea& r : Registros(7, t0 + FilasMonitor - 2))
            AnadirAlMonitor(r);
        PasarPendientesMonitor();
        const QAbstractItemModel* m = ModeloMonitor();
        QCOMPARE(m->rowCount(), FilasMonitor);
        const QString primera = QDateTime::fromMSecsSinceEpoch(t0 + 5).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        QCOMPARE(m->index(0, 0).data().toString(), primera);
        QCOMPARE(m->index(FilasMonitor - 1, 1).data().toString(), QStringLiteral("1"));

        BorrarMonitor();
        for (const RegistroLinea& r : Registros(FilasMonitor + 3, t0))
            AnadirAlMonitor(r);
        PasarPendientesMonitor();
        QCOMPARE(m->rowCount(), FilasMonitor);
        QCOMPARE(m->index(0, 0).data().toString(), QDateTime::fromMSecsSinceEpoch(t0 + 3).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")));
    }

    // The newest row stays in sight unless the technician has scrolled up.
    void sigueElFinal()
    {
        CMonitor_Click();
        QVERIFY(QTest::qWaitForWindowExposed(VentanaMonitor()));
        QScrollBar* barra = Tabla()->verticalScrollBar();
        int64_t t = 5'000'000;
        auto anadir = [&](int n) {
            for (const RegistroLinea& r : Registros(n, t))
                AnadirAlMonitor(r);
            t += n;
            PasarPendientesMonitor();
            QCoreApplication::processEvents();
        };
        anadir(300);
        QVERIFY(barra->maximum() > 0);
        QCOMPARE(barra->value(), barra->maximum());
        barra->setValue(10);
        anadir(100);
        QCOMPARE(barra->value(), 10);
        barra->setValue(barra->maximum());
        anadir(100);
        QCOMPARE(barra->value(), barra->maximum());
    }

    // Clicked during an operation, the button opens the one window, which closes with the
    // main window; the read goes on unharmed.
    void unaVentanaDuranteLaOperacion()
    {
        SimFijarSorteo(sim.get(), [](const Trama&, int n) {
            FalloTrama f;
            if (n == 5)
                f.tipo = FalloTrama::Silencio;
            return f;
        });
        bool activo = false;
        QWidget* primera = nullptr;
        QWidget* segunda = nullptr;
        QTimer::singleShot(100, [&] {
            QVERIFY(OperacionEnCurso());
            activo = Ventana().CMonitor->isEnabled();
            Ventana().CMonitor->click();
            primera = VentanaMonitor();
            Ventana().CMonitor->click();
            segunda = VentanaMonitor();
        });
        Leer();
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QVERIFY(activo);
        QVERIFY(primera);
        QCOMPARE(segunda, primera);
        QVERIFY(primera->isVisible());
        QVERIFY(!primera->isModal());
        QCOMPARE(FormPrincipal()->findChildren<QTableView*>(QStringLiteral("tablaMonitor")).size(), 1);
        CerrarVentanaPrueba();
        QVERIFY(!VentanaMonitor());
    }

    // A screen reader reads the rows: each cell's text through the table's accessible interface.
    void filasLegibles()
    {
        Leer();
        CMonitor_Click();
        QAccessibleInterface* tabla = QAccessible::queryAccessibleInterface(Tabla());
        QVERIFY(tabla);
        QCOMPARE(tabla->text(QAccessible::Name), QStringLiteral("Line monitor"));
        QAccessibleTableInterface* t = tabla->tableInterface();
        QVERIFY(t);
        QCOMPARE(t->rowCount(), Tabla()->model()->rowCount());
        QAccessibleInterface* celda = t->cellAt(0, 7);
        QVERIFY(celda);
        QCOMPARE(celda->text(QAccessible::Name), Tabla()->model()->index(0, 7).data().toString());
        QVERIFY(celda->text(QAccessible::Name).startsWith(u"Presence map byte 0"));
        QCOMPARE(t->columnDescription(6), QStringLiteral("Outcome"));
    }

    // With real pauses: the same read with no record taken and with the log and the open
    // monitor taking every frame, filtered and scrolled meanwhile, puts the same bytes on
    // the wire, never closer than 1 ms apart within a frame nor 20 ms after a reply, and
    // not noticeably slower.
    void lineaIgualConMonitorAbierto()
    {
        FactorEsperas = 1.0;
        CuentaMilisegundo = 1;
        struct Medida {
            QStringList tramas;
            std::vector<double> bytes;   // ms between the bytes of a frame, as the tool hands them over
            std::vector<double> tras;    // ms from a reply written to the next frame's first byte read
        };
        // The bytes as the tool hands them to the system: a peer on a loaded machine may
        // read two of them only together.
        static std::vector<int64_t> entregas;
        FijarTestigoLinea([](bool respuesta) {
            if (!respuesta)
                entregas.push_back(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch()).count());
        });
        auto medir = [&](bool conMonitor) {
            Medida m;
            if (conMonitor) {
                IniciarRegistro();
                CMonitor_Click();
            } else {
                FijarOyenteLinea(nullptr);
            }
            SimBorrarRegistro(sim.get());
            SimMedirTiempos(sim.get(), true);
            entregas.clear();
            // The technician at the monitor while the read runs.
            QTimer manos;
            int toques = 0;
            if (conMonitor) {
                auto* fallos = VentanaMonitor()->findChild<QCheckBox*>(QStringLiteral("checkFallos"));
                QObject::connect(&manos, &QTimer::timeout, [&toques, fallos] {
                    fallos->toggle();
                    Tabla()->verticalScrollBar()->setValue(toques % 3 == 0 ? 0 : Tabla()->verticalScrollBar()->maximum());
                    ++toques;
                });
                manos.start(40);
            }
            Ventana().CLeer->click();
            manos.stop();
            if (conMonitor && toques < 5)
                qWarning("the monitor was touched only %d times", toques);
            const std::vector<MomentoLinea> tiempos = SimTiempos(sim.get());
            SimMedirTiempos(sim.get(), false);
            m.tramas = SimRegistro(sim.get());
            int64_t respuesta = 0;
            int enTrama = 0;
            for (const MomentoLinea& t : tiempos) {
                if (t.Respuesta) {
                    respuesta = t.Ns;
                    continue;
                }
                if (enTrama == 0 && respuesta)
                    m.tras.push_back(double(t.Ns - respuesta) / 1e6);
                enTrama = (enTrama + 1) % LongitudTrama;
            }
            for (size_t b = 0; b < entregas.size(); ++b) {
                if (b % LongitudTrama != 0)
                    m.bytes.push_back(double(entregas[b] - entregas[b - 1]) / 1e6);
            }
            return m;
        };
        auto mediana = [](std::vector<double> v) {
            std::sort(v.begin(), v.end());
            return v.empty() ? 0.0 : v[v.size() / 2];
        };
        const Medida sin = medir(false);
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        const Medida con = medir(true);
        FijarTestigoLinea(nullptr);
        QCOMPARE(TextoPanel1(), QStringLiteral("Ended"));
        QVERIFY(VentanaMonitor() && VentanaMonitor()->isVisible());
        QVERIFY(sin.tramas.size() > 40);
        QCOMPARE(con.tramas, sin.tramas);
        for (const Medida* m : {&sin, &con}) {
            QVERIFY(!m->bytes.empty() && !m->tras.empty());
            QVERIFY2(*std::min_element(m->bytes.begin(), m->bytes.end()) >= 0.89, "bytes closer than 1 ms");
            QVERIFY2(*std::min_element(m->tras.begin(), m->tras.end()) >= 20.0, "a frame within 20 ms of a reply");
        }
        QVERIFY2(mediana(con.bytes) - mediana(sin.bytes) < 0.3,
                 qPrintable(QStringLiteral("byte gap %1 ms against %2").arg(mediana(con.bytes)).arg(mediana(sin.bytes))));
        QVERIFY2(mediana(con.tras) - mediana(sin.tras) < 1.5,
                 qPrintable(QStringLiteral("after a reply %1 ms against %2").arg(mediana(con.tras)).arg(mediana(sin.tras))));
        // The monitor got every frame it put on the wire.
        VaciarRegistro();
        PasarPendientesMonitor();
        int salidas = 0;
        for (int i = 0; i < ModeloMonitor()->rowCount(); ++i)
            salidas += ModeloMonitor()->index(i, 6).data().toString() == u"sent";
        QCOMPARE(salidas, int(con.tramas.size()));
    }
};

QTEST_MAIN(TstMonitor)
#include "tst_monitor.moc"
