// Closing the main window: placement saved in twips unless minimized; the
// program's other windows closed, the most recently opened first.
#include "support/VentanaPrueba.h"

#include "app/Cierre.h"
#include "ui/Interfaz.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QPointer>
#include <QSettings>
#include <QTest>

using namespace Qt::StringLiterals;

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
};

QTEST_MAIN(TstCierre)
#include "tst_cierre.moc"
