#include "ui/Fuentes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVariant>

// The longest code a colour label may show (white).
static const QString CodigoColorMasLargo = QStringLiteral("16777215");
static const char* const PropiedadFuenteDiseno = "qzlFuenteDiseno";

void AplicarFuenteVentana(QWidget* ventana)
{
    QFont f = ventana->font();
    f.setFamilies({QString::fromLatin1(FamiliaFuenteVentana)});
    f.setStyleHint(QFont::SansSerif);
    ventana->setFont(f);
}

static QString SinMnemonico(QString t)
{
    t.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
    return t;
}

// Single or several lines, unwrapped, inside the area.
static bool CabeSinAjuste(const QFont& f, const QStringList& textos, const QRect& area)
{
    const QFontMetrics fm(f);
    for (const QString& t : textos) {
        const QStringList lineas = t.split(QLatin1Char('\n'));
        for (const QString& l : lineas)
            if (fm.horizontalAdvance(l) > area.width())
                return false;
        if (fm.height() * lineas.size() > area.height() + 1)
            return false;
    }
    return true;
}

static QRect AreaEtiqueta(const QLabel* l, const QFont& f)
{
    const int m = l->margin();
    QRect r = l->contentsRect().adjusted(m, m, -m, -m);
    int sangria = l->indent();
    if (sangria < 0 && l->frameWidth() > 0)
        sangria = QFontMetrics(f).horizontalAdvance(QLatin1Char('x')) / 2;
    if (sangria > 0) {
        const Qt::Alignment a = QStyle::visualAlignment(l->layoutDirection(), l->alignment());
        if (a & Qt::AlignLeft)
            r.setLeft(r.left() + sangria);
        if (a & Qt::AlignRight)
            r.setRight(r.right() - sangria);
        if (a & Qt::AlignTop)
            r.setTop(r.top() + sangria);
        if (a & Qt::AlignBottom)
            r.setBottom(r.bottom() - sangria);
    }
    return r;
}

static bool CabeEtiqueta(const QLabel* l, const QFont& f)
{
    const QString texto = l->text();
    const QRect area = AreaEtiqueta(l, f);
    // A colour label must also hold the longest code it may get.
    if (l->objectName().startsWith(QLatin1String("LColor_")))
        return CabeSinAjuste(f, {texto, CodigoColorMasLargo}, area);
    if (!l->wordWrap())
        return CabeSinAjuste(f, {texto}, area);
    const QFontMetrics fm(f);
    for (const QString& palabra : texto.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        if (fm.horizontalAdvance(palabra) > area.width())
            return false;
    return fm.boundingRect(QRect(0, 0, area.width(), 10000), Qt::TextWordWrap | l->alignment(), texto).height() <=
           area.height() + 1;
}

static bool CabeBoton(const QAbstractButton* b, const QFont& f)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.icon = b->icon();
    opt.iconSize = b->iconSize();
    const QStyle::SubElement e =
        qobject_cast<const QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents;
    return CabeSinAjuste(f, {SinMnemonico(b->text())}, b->style()->subElementRect(e, &opt, b));
}

static QStringList EntradasLista(const QComboBox* c)
{
    QStringList t;
    for (int i = 0; i < c->count(); ++i)
        t << c->itemText(i);
    if (!c->currentText().isEmpty())
        t << c->currentText();
    return t;
}

static QRect CampoLista(const QComboBox* c)
{
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = c->isEditable();
    opt.frame = c->hasFrame();
    opt.subControls = QStyle::SC_All;
    // The label is drawn one pixel in from each side of the field.
    return c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c).adjusted(1, 0, -1, 0);
}

// Every caption fits when the strip needs no scroll arrows.
static bool CabenPestanas(QTabBar* barra, const QFont& f)
{
    const QTabWidget* tira = qobject_cast<const QTabWidget*>(barra->parentWidget());
    const int disponible = tira ? tira->width() : barra->width();
    const int espacio = barra->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, barra);
    const QFontMetrics fm(f);
    int total = 0;
    for (int i = 0; i < barra->count(); ++i)
        total += fm.horizontalAdvance(SinMnemonico(barra->tabText(i))) + espacio;
    return total <= disponible;
}

static bool Cabe(QWidget* w, const QFont& f)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return CabeEtiqueta(l, f);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return CabeBoton(b, f);
    if (auto* c = qobject_cast<QComboBox*>(w))
        return CabeSinAjuste(f, EntradasLista(c), CampoLista(c));
    if (auto* t = qobject_cast<QTabBar*>(w))
        return CabenPestanas(t, f);
    return true;
}

static bool MuestraTexto(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return !l->text().isEmpty() && l->pixmap().isNull() && !Qt::mightBeRichText(l->text());
    if (qobject_cast<QToolButton*>(w))
        return false;  // the tab strip's own arrows
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return !b->text().isEmpty();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->count() > 0;
    return qobject_cast<QTabBar*>(w) != nullptr;
}

// A caption padded with blanks puts its last words beside the field it runs past (a range
// after the field, say). A narrow face has narrow blanks: the words after a run of blanks
// would lie under the field, so the blanks are widened until those words clear every field
// beside the caption, as long as the caption's text still fits.
static bool ColaBajoCampo(const QLabel* l, const QFont& f)
{
    static const QRegularExpression palabraTrasBlancos(QStringLiteral("\\s{2,}(\\S+)"));
    const QString texto = l->text();
    const QFontMetrics fm(f);
    const int x0 = l->x() + AreaEtiqueta(l, f).left();
    auto it = palabraTrasBlancos.globalMatch(texto);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const int desde = x0 + fm.horizontalAdvance(texto.left(m.capturedStart(1)));
        const int hasta = desde + fm.horizontalAdvance(m.captured(1));
        for (const QObject* o : l->parentWidget()->children()) {
            const auto* campo = qobject_cast<const QWidget*>(o);
            if (!campo || (!qobject_cast<const QLineEdit*>(o) && !qobject_cast<const QComboBox*>(o)))
                continue;
            const QRect g = campo->geometry();
            if (g.top() < l->geometry().bottom() && g.bottom() > l->geometry().top() && desde < g.right() + 4
                && hasta > g.left())
                return true;
        }
    }
    return false;
}

static void ApartarColaDeCampos(QLabel* l)
{
    if (!l->parentWidget() || l->wordWrap() || !(l->alignment() & Qt::AlignLeft)
        || !l->text().contains(QLatin1String("  ")))
        return;
    QFont f = l->font();
    int espacio = 0;
    while (ColaBajoCampo(l, f) && espacio < 40) {
        f.setWordSpacing(++espacio);
        if (!CabeEtiqueta(l, f))
            return;
    }
    if (f != l->font())
        l->setFont(f);
}

void AjustarFuentes(QWidget* raiz)
{
    QList<QWidget*> controles = raiz->findChildren<QWidget*>();
    controles.prepend(raiz);
    for (QWidget* w : controles) {
        // Controls sized by a layout (the status bar's panels) have no fixed width to fit.
        if (!MuestraTexto(w) || (w->parentWidget() && w->parentWidget()->layout()))
            continue;
        // Always from the designed font, so a shorter text gets its full size back.
        QVariant guardada = w->property(PropiedadFuenteDiseno);
        if (!guardada.isValid()) {
            guardada = QVariant::fromValue(w->font());
            w->setProperty(PropiedadFuenteDiseno, guardada);
        }
        QFont f = guardada.value<QFont>();
        while (!Cabe(w, f) && f.pointSizeF() - 0.5 >= PuntosFuenteMinimos)
            f.setPointSizeF(f.pointSizeF() - 0.5);
        if (f != w->font())
            w->setFont(f);
        if (auto* l = qobject_cast<QLabel*>(w))
            ApartarColaDeCampos(l);
    }
}
