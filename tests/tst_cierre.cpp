// Closing the main window: placement saved in twips unless minimized; the
// program's other windows closed, the most recently opened first; a write in
// progress holds the window until its last frame.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/Cierre.h"
#include "flash/Colores.h"
#include "flash/Filtro.h"
#include "link/Puerto.h"
#include "params/Escritura.h"
#include "params/Lectura.h"
#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Interfaz.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QPointer>
#include <QSerialPort>
#include <QSettings>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
enum TipoOperacion { EscrituraParametros, EscrituraColores, LecturaParametros, LecturaColores };
}

class TstCierre : public QObject {
    Q_OBJECT

    static QSettings Ajustes() { return QSettings(u"QZL"_s, u"QZL"_s); }

private slots:
    void initTestCase() { PrepararEntornoPrueba(); }
    void init()
    {
        QSettings s(u"QZL"_s, u"QZL"_s);
        s.clear();
        s.sync();
    }

    void guardaLaUbicacionEnTwips()
    {
        frmMain* f = CrearVentanaPrueba();
        f->move(100, 60);
        QApplication::processEvents();
        const QRect marco = f->frameGeometry();
        Csalir_Click();
        QApplication::processEvents();
        QVERIFY(!FormPrincipal());
        QSettings s(u"QZL"_s, u"QZL"_s);
        s.beginGroup(u"Settings"_s);
        QCOMPARE(s.value(u"MainLeft"_s).toString(), QString::number(marco.x() * 15));
        QCOMPARE(s.value(u"MainTop"_s).toString(), QString::number(marco.y() * 15));
        QCOMPARE(s.value(u"MainWidth"_s).toString(), QString::number(marco.width() * 15));
        QCOMPARE(s.value(u"MainHeight"_s).toString(), QString::number(marco.height() * 15));
    }

    void minimizadaNoGuardaNada()
    {
        {
            QSettings s(u"QZL"_s, u"QZL"_s);
            s.setValue(u"Settings/MainLeft"_s, u"1234"_s);
        }
        frmMain* f = CrearVentanaPrueba();
        f->setWindowState(Qt::WindowMinimized);
        QVERIFY(f->isMinimized());
        f->close();
        QApplication::processEvents();
        QSettings s(u"QZL"_s, u"QZL"_s);
        QCOMPARE(s.value(u"Settings/MainLeft"_s).toString(), u"1234"_s);
        QVERIFY(!s.contains(u"Settings/MainWidth"_s));
    }

    void cierraLasOtrasVentanasLaUltimaPrimero()
    {
        CrearVentanaPrueba();
        QStringList orden;
        QPointer<QWidget> a = new QWidget, b = new QWidget;
        for (QWidget* w : {a.data(), b.data()}) {
            w->setAttribute(Qt::WA_DeleteOnClose);
            w->show();
            RegistrarFormulario(w);
        }
        a->setObjectName(u"primera"_s);
        b->setObjectName(u"segunda"_s);
        for (QWidget* w : {a.data(), b.data()})
            connect(w, &QObject::destroyed, this, [&orden, n = w->objectName()] { orden << n; });
        Csalir_Click();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!a && !b);
        QCOMPARE(orden, (QStringList{u"segunda"_s, u"primera"_s}));
    }

    void avisoDeCierreEnCadaIdioma_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::addColumn<QString>("texto");
        QTest::newRow("neutral") << TablaNeutra << u"The program ends when the write is done"_s;
        QTest::newRow("English") << TablaIngles << u"The program ends when the write is done"_s;
        QTest::newRow("Spanish") << TablaEspanol << u"El programa se cerrará al terminar la escritura"_s;
        QTest::newRow("Spanish, traditional") << TablaEspanolTradicional
                                              << u"El programa se cerrará al terminar la escritura"_s;
        QTest::newRow("French") << TablaFrances << u"Le programme se fermera à la fin de l'écriture"_s;
    }
    void avisoDeCierreEnCadaIdioma()
    {
        QFETCH(int, tabla);
        QFETCH(QString, texto);
        QCOMPARE(TextoRecursoDeTabla(tabla, 2007), texto);
    }

    // Exit, or the window's own close, in the middle of an operation with the controller,
    // pressed again and again while it runs. A write is neither cut short nor left running
    // unseen: the window stays with panel 1 saying why, every frame goes out, then the
    // window closes as Exit closes it. A read stops at the next reply.
    void cerrarDuranteUnaOperacion_data()
    {
        QTest::addColumn<int>("tipo");
        QTest::addColumn<bool>("conSalir");  // the Exit button; otherwise the window's close
        QTest::newRow("parameter write, Exit") << int(EscrituraParametros) << true;
        QTest::newRow("parameter write, close") << int(EscrituraParametros) << false;
        QTest::newRow("colour write, Exit") << int(EscrituraColores) << true;
        QTest::newRow("colour write, close") << int(EscrituraColores) << false;
        QTest::newRow("parameter read, Exit") << int(LecturaParametros) << true;
        QTest::newRow("colour read, close") << int(LecturaColores) << false;
    }
    void cerrarDuranteUnaOperacion()
    {
        QFETCH(int, tipo);
        QFETCH(bool, conSalir);
        const bool escritura = tipo == EscrituraParametros || tipo == EscrituraColores;
        SimuladorPtr sim = IniciarSimuladorPrueba(1, EstadoTodoPresente());
        QVERIFY(sim);
        QPointer<frmMain> ventana = CrearVentanaPrueba();
        ReiniciarEstadoPrueba();
        if (tipo == EscrituraParametros) {
            // What a read brought in is written back; the read also finds every address present.
            CLeer_Click();
            QCOMPARE(IndicesDeComando(sim.get(), 1).size(), 256);
        }
        const int base = SimTramasRecibidas(sim.get());
        const int desde = base + (tipo == LecturaParametros ? 32 + 40 : 40);
        const int total = tipo == EscrituraParametros ? 249 : tipo == EscrituraColores ? 4 * 134 : -1;
        // A few replies come late after the first close, so that the wait is surely seen.
        SimFijarSorteo(sim.get(), [desde](const Trama&, int numero) {
            FalloTrama f;
            if (numero >= desde && numero < desde + 5) {
                f.tipo = FalloTrama::Tarde;
                f.Ms = 20;
            }
            return f;
        });
        int tramasAlOcultar = -1;
        // Owned here, so that it goes with this test whatever becomes of the window.
        FiltroEventos alOcultar(nullptr, [&](QObject*, QEvent* e) {
            if (e->type() == QEvent::Hide && tramasAlOcultar < 0)
                tramasAlOcultar = SimTramasRecibidas(sim.get());
            return false;
        });
        ventana->installEventFilter(&alOcultar);
        const QString aviso = TextoRecurso(2007);
        int cierres = 0;
        int vistasEsperando = 0;
        QStringList textosVistos;
        QTimer vigia;
        connect(&vigia, &QTimer::timeout, this, [&] {
            const int n = SimTramasRecibidas(sim.get()) - base;
            if (SimTramasRecibidas(sim.get()) < desde || !ventana || !ventana->isVisible())
                return;
            if (cierres > 0 && n < total) {
                ++vistasEsperando;
                textosVistos << ventana->paneles[0]->text();
            }
            ++cierres;
            if (conSalir)
                Csalir_Click();
            else
                ventana->close();
        });
        vigia.start(1);
        switch (tipo) {
        case EscrituraParametros: CEscribir_Click(); break;
        case EscrituraColores: CEscribirColores_Click(); break;
        case LecturaParametros: CLeer_Click(); break;
        case LecturaColores: CLeerColores_Click(); break;
        }
        vigia.stop();
        QVERIFY(cierres > 0);
        QTRY_VERIFY(!ventana);
        QVERIFY(!FormPrincipal());
        QVERIFY(!MSCommDestellador().isOpen());
        const int tramas = SimTramasRecibidas(sim.get()) - base;
        if (escritura) {
            QCOMPARE(tramas, total);
            // Shown, with the notice, until the last frame; hidden only after it.
            QCOMPARE(tramasAlOcultar - base, total);
            QVERIFY(cierres > 1);
            QVERIFY(vistasEsperando > 0);
            QCOMPARE(textosVistos, QStringList(vistasEsperando, aviso));
            QCOMPARE(HistorialPanel1().count(aviso), 1);
            QCOMPARE(TextoPanel1(), u"Ended"_s);
            // Closed as Exit closes it: the placement is saved.
            QSettings s(u"QZL"_s, u"QZL"_s);
            QVERIFY(s.contains(u"Settings/MainWidth"_s));
        } else {
            // Stopped at the reply awaited when the window went.
            QVERIFY(tramasAlOcultar >= desde);
            QVERIFY2(SimTramasRecibidas(sim.get()) <= tramasAlOcultar + 1,
                     qPrintable(u"%1 frames, %2 when hidden"_s.arg(SimTramasRecibidas(sim.get())).arg(tramasAlOcultar)));
            QCOMPARE(cierres, 1);
            QVERIFY(!HistorialPanel1().contains(aviso));
        }
    }
};

QTEST_MAIN(TstCierre)
#include "tst_cierre.moc"
