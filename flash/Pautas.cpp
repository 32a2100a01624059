#include "flash/Pautas.h"

#include "app/ModuloKX.h"
#include "flash/Filtro.h"
#include "flash/Sectores.h"
#include "ui/Ventana.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

static constexpr double TwipsPorPixel = 15.0;

static bool tablaBloqueada = false;

static QTableWidget* Grid()
{
    return FormPrincipal() ? Ventana().MSFlexGridPautas : nullptr;
}

static bool EsCeldaDatos(int fila, int columna)
{
    return fila >= 1 && fila <= FilasPautas && columna >= 1 && columna <= ColumnasPautas;
}

static bool EsAngulo(int32_t entrada)
{
    return entrada >= 0 && entrada <= 359;
}

QString TextoEntradaPautas(int32_t entrada)
{
    return EsAngulo(entrada) ? QString::number(entrada).rightJustified(3, QLatin1Char('0')) : QString();
}

// Header texts: " k" followed by I (start) or F (end) on row 0, " r" on column 0.
static QString TextoCabeceraColumna(int columna)
{
    const int segmento = (columna + 1) / 2;
    return QStringLiteral(" %1%2").arg(segmento).arg(columna % 2 ? QLatin1Char('I') : QLatin1Char('F'));
}

static QString TextoCabeceraFila(int fila)
{
    return QStringLiteral(" %1").arg(fila);
}

// The data item behind a cell, created when missing (the grid may not be formatted yet).
static QTableWidgetItem* ItemDatos(int fila, int columna, bool crear)
{
    QTableWidget* g = Grid();
    if (!g || !EsCeldaDatos(fila, columna))
        return nullptr;
    if (g->rowCount() < FilasPautas)
        g->setRowCount(FilasPautas);
    if (g->columnCount() < ColumnasPautas)
        g->setColumnCount(ColumnasPautas);
    QTableWidgetItem* item = g->item(fila - 1, columna - 1);
    if (!item && crear) {
        item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        g->setItem(fila - 1, columna - 1, item);
    }
    return item;
}

static QTableWidgetItem* ItemCabeceraFila(int fila)
{
    QTableWidget* g = Grid();
    if (!g || fila < 1 || fila > FilasPautas)
        return nullptr;
    if (g->rowCount() < FilasPautas)
        g->setRowCount(FilasPautas);
    QTableWidgetItem* item = g->verticalHeaderItem(fila - 1);
    if (!item) {
        item = new QTableWidgetItem(TextoCabeceraFila(fila));
        g->setVerticalHeaderItem(fila - 1, item);
    }
    return item;
}

QString TextoCeldaPautas(int fila, int columna)
{
    QTableWidget* g = Grid();
    if (!g || fila < 0 || fila > FilasPautas || columna < 0 || columna > ColumnasPautas)
        return QString();
    if (fila == 0) {
        const QTableWidgetItem* item = columna > 0 ? g->horizontalHeaderItem(columna - 1) : nullptr;
        return item ? item->text() : QString();
    }
    if (columna == 0) {
        const QTableWidgetItem* item = g->verticalHeaderItem(fila - 1);
        return item ? item->text() : QString();
    }
    const QTableWidgetItem* item = ItemDatos(fila, columna, false);
    return item ? item->text() : QString();
}

void FijarTextoCeldaPautas(int fila, int columna, const QString& texto)
{
    if (QTableWidgetItem* item = ItemDatos(fila, columna, true))
        item->setText(texto);
}

QColor FondoCeldaPautas(int fila, int columna)
{
    QTableWidget* g = Grid();
    if (!g)
        return QColor();
    const QTableWidgetItem* item = nullptr;
    if (fila == 0)
        item = columna > 0 ? g->horizontalHeaderItem(columna - 1) : nullptr;
    else if (columna == 0)
        item = fila <= FilasPautas ? g->verticalHeaderItem(fila - 1) : nullptr;
    else
        item = ItemDatos(fila, columna, false);
    if (item && item->background().style() != Qt::NoBrush)
        return item->background().color();
    return g->palette().color(fila == 0 || columna == 0 ? QPalette::Button : QPalette::Base);
}

void FijarColorCabeceraPautas(int fila, const QColor& color)
{
    QTableWidgetItem* item = ItemCabeceraFila(fila);
    if (!item)
        return;
    item->setBackground(color);
    // The row number stays readable on a dark colour.
    item->setForeground(color.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black));
}

int FilaActualPautas()
{
    QTableWidget* g = Grid();
    return g ? g->currentRow() + 1 : 0;
}

int ColumnaActualPautas()
{
    QTableWidget* g = Grid();
    return g ? g->currentColumn() + 1 : 0;
}

void FijarCeldaActualPautas(int fila, int columna)
{
    QTableWidget* g = Grid();
    if (g && ItemDatos(fila, columna, true))
        g->setCurrentCell(fila - 1, columna - 1);
}

void FormatearGrid()
{
    QTableWidget* g = Grid();
    if (!g)
        return;
    g->setRowCount(FilasPautas);
    g->setColumnCount(ColumnasPautas);

    const int ancho = qRound(TwipsAnchoCeldaPautas / TwipsPorPixel);
    const int alto = qRound(TwipsAltoCeldaPautas / TwipsPorPixel);
    QHeaderView* cabeceraColumnas = g->horizontalHeader();
    QHeaderView* cabeceraFilas = g->verticalHeader();
    for (QHeaderView* h : {cabeceraColumnas, cabeceraFilas}) {
        h->setMinimumSectionSize(1);
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setSectionsClickable(false);
        h->setHighlightSections(false);
        h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    cabeceraColumnas->setDefaultSectionSize(ancho);
    cabeceraFilas->setDefaultSectionSize(alto);
    // Row 0 is as high as the others and column 0 as wide.
    cabeceraColumnas->setFixedHeight(alto);
    cabeceraFilas->setFixedWidth(ancho);
    cabeceraColumnas->setTextElideMode(Qt::ElideNone);

    for (int c = 1; c <= ColumnasPautas; ++c) {
        g->setColumnWidth(c - 1, ancho);
        g->setHorizontalHeaderItem(c - 1, new QTableWidgetItem(TextoCabeceraColumna(c)));
    }
    for (int r = 1; r <= FilasPautas; ++r) {
        g->setRowHeight(r - 1, alto);
        g->setVerticalHeaderItem(r - 1, new QTableWidgetItem(TextoCabeceraFila(r)));
    }

    const QColor sombra = g->palette().color(QPalette::Midlight);
    for (int r = 1; r <= FilasPautas; ++r)
        for (int c = 2; c <= ColumnasPautas; c += 2)
            ItemDatos(r, c, true)->setBackground(sombra);

    // Three digits fit a 350-twip cell in a small font; never "..." in their place.
    QFont letra = g->font();
    letra.setPixelSize(10);
    g->setFont(letra);
    g->setTextElideMode(Qt::ElideNone);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectItems);
    g->setTabKeyNavigation(false);
    g->setCornerButtonEnabled(false);
    FijarCeldaActualPautas(1, 1);
}

void BorrarDatosGrid()
{
    for (int r = 1; r <= FilasPautas; ++r)
        for (int c = 1; c <= ColumnasPautas; ++c) {
            FijarTextoCeldaPautas(r, c, QString());
            TablaPautas[r][c] = EntradaVacia;
        }
    DibujarSectores();
}

void CBorrarTabla_Click()
{
    BorrarDatosGrid();
}

void RedibujaGrid()
{
    for (int r = 1; r <= FilasPautas; ++r)
        for (int c = 1; c <= ColumnasPautas; ++c)
            FijarTextoCeldaPautas(r, c, TextoEntradaPautas(TablaPautas[r][c]));
    MSFlexGridPautas_LeaveCell();
    if (QTableWidget* g = Grid())
        g->viewport()->update();
}

// A whole number written with digits only (leading zeros allowed, any length).
static bool EnteroDeCelda(const QString& texto, int& valor)
{
    if (texto.isEmpty())
        return false;
    for (const QChar ch : texto)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return false;
    qsizetype i = 0;
    while (i < texto.size() - 1 && texto[i] == QLatin1Char('0'))
        ++i;
    const QString cifras = texto.mid(i);
    if (cifras.size() > 6)  // far beyond any angle; keeps the conversion in range
        valor = 1000000;
    else
        valor = cifras.toInt();
    return true;
}

void ComprobarCeldaPautas(int fila, int columna)
{
    if (!EsCeldaDatos(fila, columna))
        return;
    const QString texto = TextoCeldaPautas(fila, columna);
    const QString izquierda = TextoCeldaPautas(fila, columna - 1);
    const bool vacia = texto.isEmpty();
    int valor = 0;
    if (EnteroDeCelda(vacia ? QStringLiteral("511") : texto, valor) && EsAngulo(valor) && !izquierda.isEmpty()) {
        TablaPautas[fila][columna] = valor;
        FijarTextoCeldaPautas(fila, columna, TextoEntradaPautas(valor));
        return;
    }
    FijarTextoCeldaPautas(fila, columna, QString());
    if (!vacia || EsAngulo(TablaPautas[fila][columna]))
        TablaPautas[fila][columna] = EntradaVacia;
}

void MSFlexGridPautas_LeaveCell()
{
    ComprobarCeldaPautas(FilaActualPautas(), ColumnaActualPautas());
    DibujarSectores();
}

void MSFlexGridPautas_KeyPress(int codigo)
{
    // A disabled grid still passes its keys to the filter.
    if (tablaBloqueada)
        return;
    const int fila = FilaActualPautas();
    const int columna = ColumnaActualPautas();
    if (!EsCeldaDatos(fila, columna))
        return;
    const QString texto = TextoCeldaPautas(fila, columna);
    if (codigo >= '0' && codigo <= '9') {
        FijarTextoCeldaPautas(fila, columna, texto + QChar(codigo));
    } else if (codigo == 8) {
        if (!texto.isEmpty())
            FijarTextoCeldaPautas(fila, columna, texto.left(texto.size() - 1));
    } else if (codigo == 9) {
        if (columna < ColumnasPautas)
            FijarCeldaActualPautas(fila, columna + 1);
        else if (fila < FilasPautas)
            FijarCeldaActualPautas(fila + 1, 1);
    }
}

void BloquearTablaPautas(bool bloquear)
{
    tablaBloqueada = bloquear;
    if (!FormPrincipal())
        return;
    Ventana().MSFlexGridPautas->setEnabled(!bloquear);
    Ventana().CBorrarTabla->setEnabled(!bloquear);
    for (int i = 1; i <= FilasPautas; ++i)
        if (QLabel* l = LColor(i))
            l->setEnabled(!bloquear);
}

bool TablaPautasBloqueada()
{
    return tablaBloqueada;
}

void ConectarGridPautas()
{
    QTableWidget* g = Grid();
    if (!g)
        return;
    QObject::connect(g, &QTableWidget::currentCellChanged, g,
                     [](int, int, int filaAnterior, int columnaAnterior) {
                         ComprobarCeldaPautas(filaAnterior + 1, columnaAnterior + 1);
                         DibujarSectores();
                     });
    static bool saliendo = false;
    g->installEventFilter(new FiltroEventos(g, [g](QObject*, QEvent* e) {
        if (e->type() != QEvent::KeyPress || saliendo)
            return false;
        const auto* k = static_cast<QKeyEvent*>(e);
        // Tab stays inside the grid, so Ctrl+Tab (Ctrl+Shift+Tab) leaves it to the next
        // (previous) control as a plain Tab (Shift+Tab) leaves any other.
        const bool tabulador = k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab;
        if (tabulador && (k->modifiers() & Qt::ControlModifier)) {
            const bool atras = k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier);
            QKeyEvent salida(QEvent::KeyPress, atras ? Qt::Key_Backtab : Qt::Key_Tab,
                             atras ? Qt::ShiftModifier : Qt::NoModifier);
            saliendo = true;
            QCoreApplication::sendEvent(g, &salida);
            saliendo = false;
            return true;
        }
        // Shortcuts, shift-tab (leaving the grid) and the arrow keys keep their usual
        // meaning; every character typed goes to the key filter.
        if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        if (k->key() == Qt::Key_Backtab || (k->key() == Qt::Key_Tab && (k->modifiers() & Qt::ShiftModifier)))
            return false;
        int codigo = -1;
        if (k->key() == Qt::Key_Backspace)
            codigo = 8;
        else if (k->key() == Qt::Key_Tab)
            codigo = 9;
        else if (!k->text().isEmpty())
            codigo = k->text().at(0).unicode();
        if (codigo < 0)
            return false;
        MSFlexGridPautas_KeyPress(codigo);
        return true;
    }));
}
