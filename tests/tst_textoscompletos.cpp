// Every text of the window whole in its control, in each language: captions, buttons,
// check boxes, group titles, tab captions, status panels, the current text of every list
// and every entry of every list in its drop-down, and the colour labels' longest code.
// Service mode with every tab, at start-up and after a read of a controller with every
// field present. Each text is measured in the control's own font against the area the
// style gives that control for its text. CTest runs it again at QT_SCALE_FACTOR 1.5 and 2.
#include "support/EnlacePrueba.h"
#include "support/ParametrosPrueba.h"
#include "support/VentanaPrueba.h"

#include "app/ModuloKX.h"
#include "flash/Colores.h"
#include "link/Puerto.h"
#include "ui/Estado.h"
#include "params/Lectura.h"
#include "ui/Fuentes.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

namespace {

const QString Servicio = QStringLiteral("1\r\n0\r\n0\r\n\"1\"\r\n573\r\n");
constexpr int32_t CodigoMasLargo = 16777215;

// The text as drawn: "&&" shows one ampersand, a single "&" marks a mnemonic and is not drawn.
QString SinMnemonico(const QString& t)
{
    QString r;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == QLatin1Char('&') && i + 1 < t.size()) {
            ++i;
            if (t[i] != QLatin1Char('&')) {
                r += t[i];
                continue;
            }
        }
        r += t[i];
    }
    return r;
}

QString Describir(const QWidget* w, const QString& texto, const QString& que)
{
    return QStringLiteral("%1 \"%2\" (%3, %4 pt)").arg(w->objectName(), texto, que).arg(w->font().pointSizeF());
}

// One or more lines without wrapping, inside the rectangle.
bool CabeEnLineas(const QFont& f, const QString& texto, const QRect& area)
{
    const QFontMetrics fm(f);
    const QStringList lineas = texto.split(QLatin1Char('\n'));
    int ancho = 0;
    for (const QString& l : lineas)
        ancho = std::max(ancho, fm.horizontalAdvance(l));
    return ancho <= area.width() && fm.height() * lineas.size() <= area.height() + 1;
}

void MedirEtiqueta(QLabel* l, QStringList& cortes)
{
    const QString texto = l->text();
    if (texto.isEmpty() || Qt::mightBeRichText(texto) || !l->pixmap().isNull())
        return;
    // As the label lays out its text: contents less margin, and the indent on the aligned sides.
    QRect area = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    int sangria = l->indent();
    if (sangria < 0 && l->frameWidth() > 0)
        sangria = QFontMetrics(l->font()).horizontalAdvance(QLatin1Char('x')) / 2;
    if (sangria > 0) {
        const Qt::Alignment a = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        if (a & Qt::AlignLeft)
            area.setLeft(area.left() + sangria);
        if (a & Qt::AlignRight)
            area.setRight(area.right() - sangria);
        if (a & Qt::AlignTop)
            area.setTop(area.top() + sangria);
        if (a & Qt::AlignBottom)
            area.setBottom(area.bottom() - sangria);
    }
    const QFontMetrics fm(l->font());
    bool cabe;
    if (l->wordWrap()) {
        // Wrapped: no single word wider than the area, and all the lines within its height.
        cabe = true;
        for (const QString& palabra : texto.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            cabe = cabe && fm.horizontalAdvance(palabra) <= area.width();
        const QRect usado = fm.boundingRect(QRect(0, 0, area.width(), 10000), Qt::TextWordWrap | l->alignment(), texto);
        cabe = cabe && usado.height() <= area.height() + 1;
    } else {
        cabe = CabeEnLineas(l->font(), texto, area);
    }
    if (!cabe)
        cortes << Describir(l, texto, QStringLiteral("label %1 x %2").arg(area.width()).arg(area.height()));

    // Words the caption's blanks push beside a field must not lie under a field shown there.
    if (l->wordWrap() || !l->parentWidget())
        return;
    static const QRegularExpression palabra(QStringLiteral("\\S+"));
    for (auto it = palabra.globalMatch(texto); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const int desde = l->x() + area.left() + fm.horizontalAdvance(texto.left(m.capturedStart()));
        const QRect trazo(desde, l->y(), fm.horizontalAdvance(m.captured()), l->height());
        for (QObject* o : l->parentWidget()->children()) {
            auto* campo = qobject_cast<QWidget*>(o);
            if (campo && (qobject_cast<QLineEdit*>(o) || qobject_cast<QComboBox*>(o)) && campo->isVisible()
                && campo->geometry().intersects(trazo))
                cortes << Describir(l, texto, QStringLiteral("\"%1\" under %2").arg(m.captured(), campo->objectName()));
        }
    }
}

void MedirBoton(QAbstractButton* b, QStringList& cortes)
{
    const QString texto = SinMnemonico(b->text());
    if (texto.isEmpty())
        return;
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    QRect area;
    if (qobject_cast<QCheckBox*>(b))
        area = b->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, b);
    else if (qobject_cast<QPushButton*>(b))
        area = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
    else
        area = b->rect();
    if (!CabeEnLineas(b->font(), texto, area))
        cortes << Describir(b, texto, QStringLiteral("button %1 x %2").arg(area.width()).arg(area.height()));
}

void MedirGrupo(QGroupBox* g, QStringList& cortes)
{
    const QString texto = SinMnemonico(g->title());
    if (texto.isEmpty())
        return;
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.lineWidth = 1;
    opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    opt.textAlignment = g->alignment();
    const QRect titulo = g->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    const int ancho = QFontMetrics(g->font()).horizontalAdvance(texto);
    if (titulo.left() < 0 || titulo.right() >= g->width() || titulo.width() < ancho)
        cortes << Describir(g, texto, QStringLiteral("group title in %1").arg(g->width()));
}

// The current text in the list's field; every entry in the drop-down as it opens.
void MedirLista(QComboBox* c, QStringList& cortes)
{
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    opt.currentText = c->currentText();
    opt.subControls = QStyle::SC_All;
    const QRect campo = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
    // The label is drawn one pixel in from each side of the field.
    const QRect area = campo.adjusted(1, 0, -1, 0);
    if (!c->currentText().isEmpty() && !CabeEnLineas(c->font(), c->currentText(), area))
        cortes << Describir(c, c->currentText(), QStringLiteral("list field %1").arg(area.width()));
    if (c->count() == 0)
        return;

    c->showPopup();
    QAbstractItemView* vista = c->view();
    QApplication::processEvents();
    for (int i = 0; i < c->count(); ++i) {
        const QModelIndex indice = c->model()->index(i, c->modelColumn(), c->rootModelIndex());
        QStyleOptionViewItem o;
        o.initFrom(vista);
        o.font = vista->font();
        o.fontMetrics = QFontMetrics(vista->font());
        const int necesario = vista->itemDelegate()->sizeHint(o, indice).width();
        const int disponible = vista->visualRect(indice).width();
        if (necesario > disponible || disponible <= 0)
            cortes << QStringLiteral("%1 drop-down entry \"%2\" (needs %3, popup gives %4)")
                          .arg(c->objectName(), c->itemText(i))
                          .arg(necesario)
                          .arg(disponible);
    }
    c->hidePopup();
    QApplication::processEvents();
}

void MedirPestanas(QTabWidget* tira, QStringList& cortes)
{
    QTabBar* barra = tira->tabBar();
    for (QToolButton* flecha : barra->findChildren<QToolButton*>())
        if (flecha->isVisible())
            cortes << QStringLiteral("%1 shows scroll arrows").arg(tira->objectName());
    const int espacio = barra->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, barra);
    const QFontMetrics fm(barra->font());
    for (int i = 0; i < barra->count(); ++i) {
        const QString texto = SinMnemonico(barra->tabText(i));
        const QRect r = barra->tabRect(i);
        if (fm.horizontalAdvance(texto) + espacio > r.width() || r.right() >= barra->width() ||
            barra->x() + barra->width() > tira->width())
            cortes << QStringLiteral("%1 tab %2 \"%3\" (needs %4, tab %5)")
                          .arg(tira->objectName())
                          .arg(i + 1)
                          .arg(texto)
                          .arg(fm.horizontalAdvance(texto) + espacio)
                          .arg(r.width());
    }
}

void MedirUno(QWidget* w, QStringList& cortes)
{
    // No stepped-down text below the readable floor (a pixel-sized font reports -1 points).
    const bool conTexto = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w);
    if (conTexto && w->font().pointSizeF() > 0 && w->font().pointSizeF() < PuntosFuenteMinimos)
        cortes << QStringLiteral("%1 font %2 pt, below the floor").arg(w->objectName()).arg(w->font().pointSizeF());
    if (auto* l = qobject_cast<QLabel*>(w))
        MedirEtiqueta(l, cortes);
    else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !qobject_cast<QToolButton*>(w))
        MedirBoton(b, cortes);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        MedirGrupo(g, cortes);
    else if (auto* c = qobject_cast<QComboBox*>(w))
        MedirLista(c, cortes);
    else if (auto* t = qobject_cast<QTabWidget*>(w))
        MedirPestanas(t, cortes);
}

bool EnPagina(const QWidget* w)
{
    for (int p = 1; p <= 6; ++p)
        if (FrameP(p) && (w == FrameP(p) || FrameP(p)->isAncestorOf(w)))
            return true;
    return false;
}

// The whole window, page by page with each page on top so that its lists can open,
// then everything outside the pages: identification group, buttons, tab strip, status bar.
QStringList MedirVentana()
{
    QStringList cortes;
    for (int p = 1; p <= NumeroPestanas(); ++p) {
        SeleccionarPestana(p);
        QApplication::processEvents();
        QList<QWidget*> controles = FrameP(p)->findChildren<QWidget*>();
        controles.prepend(FrameP(p));
        for (QWidget* w : controles)
            MedirUno(w, cortes);
    }
    for (QWidget* w : FormPrincipal()->findChildren<QWidget*>())
        if (w->window() == FormPrincipal() && !EnPagina(w))
            MedirUno(w, cortes);
    cortes.removeDuplicates();
    return cortes;
}

}  // namespace

class TextosCompletosPrueba : public QObject {
    Q_OBJECT

    SimuladorPtr sim;

private slots:
    void initTestCase()
    {
        // Opening each drop-down on the headless platform warns about keyboard grabs.
        qInstallMessageHandler([](QtMsgType t, const QMessageLogContext& c, const QString& m) {
            if (!m.startsWith(QStringLiteral("This plugin does not support")))
                qt_message_output(t, c, m);
        });
        PrepararEntornoPrueba();
        FactorEsperas = 0.05;
        sim = IniciarSimuladorPrueba(1, EstadoTodoPresente());
        QVERIFY(sim);
    }
    void cleanupTestCase()
    {
        CerrarVentanaPrueba();
        sim.reset();
        FijarTablaIdioma(-1);
        FactorEsperas = 1.0;
    }

    void todoCabe_data()
    {
        QTest::addColumn<int>("tabla");
        QTest::newRow("en") << TablaIngles;
        QTest::newRow("es") << TablaEspanol;
        QTest::newRow("fr") << TablaFrances;
    }
    void todoCabe()
    {
        QFETCH(int, tabla);
        FijarTablaIdioma(tabla);
        OpcionesVentanaPrueba o;
        o.qzlIni = Servicio;
        CrearVentanaPrueba(o);
        QVERIFY(QTest::qWaitForWindowExposed(FormPrincipal()));
        QCOMPARE(NumeroPestanas(), 6);
        // The narrow face itself, not a fallback: without it the layout is another one.
        QCOMPARE(QFontInfo(FormPrincipal()->font()).family(), QString::fromLatin1(FamiliaFuenteVentana));

        // At start-up, with the texts the program writes then.
        QStringList cortes = MedirVentana();
        const qsizetype alInicio = cortes.size();

        // After a read of a controller with every field present, and the longest colour code.
        FijarPuerto(1);
        CLeer_Click();
        QVERIFY(HistorialPanel1().contains(QStringLiteral("Ended")));
        QCOMPARE(NumeroPestanas(), 6);
        for (int i = 1; i <= 8; ++i)
            TablaColores[i] = CodigoMasLargo;
        RellenarColores();
        QCOMPARE(LColor(8)->text(), QString::number(CodigoMasLargo));
        cortes << MedirVentana();
        cortes.removeDuplicates();
        qInfo("%s: %d texts cut at start-up, %d in all", QTest::currentDataTag(), int(alInicio), int(cortes.size()));
        if (!cortes.isEmpty())
            QFAIL(qPrintable(QStringLiteral("texts that do not fit their control:\n  ") + cortes.join(u"\n  ")));
    }

    // The measurement itself: a text made too long for its control is caught by name.
    void unTextoLargoSeNota()
    {
        FijarTablaIdioma(TablaIngles);
        OpcionesVentanaPrueba o;
        o.qzlIni = Servicio;
        CrearVentanaPrueba(o);
        QVERIFY(QTest::qWaitForWindowExposed(FormPrincipal()));
        Ui::frmMain& v = Ventana();
        v.CLeer->setText(QStringLiteral("Read the whole controller now"));
        Label(18)->setText(QStringLiteral("Light level Beacon ON and a great deal more text"));
        v.ComboSensorLuz->addItem(QStringLiteral("A sensor kind with a name far too long for a list of this width"));
        v.ComboSensorLuz->setCurrentIndex(v.ComboSensorLuz->count() - 1);
        const QString cortes = MedirVentana().join(u'\n');
        QVERIFY2(cortes.contains(QStringLiteral("CLeer \"Read the whole controller now\"")), qPrintable(cortes));
        QVERIFY2(cortes.contains(QStringLiteral("Label_18 \"Light level Beacon ON and a great deal more")),
                 qPrintable(cortes));
        QVERIFY2(cortes.contains(QStringLiteral("ComboSensorLuz \"A sensor kind")), qPrintable(cortes));
    }
};

QTEST_MAIN(TextosCompletosPrueba)
#include "tst_textoscompletos.moc"
