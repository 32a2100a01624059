#include "monitor/Monitor.h"

#include "registro/Registro.h"
#include "ui/Dialogos.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

constexpr int IdBoton = 2100;
constexpr int IdTitulo = 2101;
constexpr int IdTodas = 2145;
constexpr int IdSoloFallos = 2146;
constexpr int IdCopiar = 2069;
constexpr int IdGuardar = 1004;
constexpr int IdNoEscrito = 2149;
// Records reach the table in batches: a repaint per frame would cost the line's thread
// more than the frames themselves.
constexpr int IntervaloLoteMs = 150;
// During an operation the window processes its events inside the reply waits: a repaint of
// the table there holds up the taking of a reply, and so the next frame. The table is then
// repainted only on every fifth tick, twice a second; between operations at once.
constexpr int PulsoPinturaMs = 100;
constexpr int PulsosPorPintura = 5;

enum Columna { ColHora, ColHueco, ColOperacion, ColSentido, ColIntento, ColBytes, ColResultado, ColSignificado, Columnas };
constexpr int IdsColumnas[Columnas] = {2017, 2102, 2103, 2104, 2105, 2106, 2107, 2108};

// Roles the filter reads.
constexpr int RolOperacion = Qt::UserRole;
constexpr int RolFallo = Qt::UserRole + 1;

struct FilaMonitor {
    RegistroLinea r;
    int64_t hueco = -1;  // ms since the record before it; -1 for the first
    // Named once: a filter over 100 000 rows, changed during an operation, runs inside a
    // reply wait and must not hold it up.
    QString operacion;
};

QString TextoCelda(const FilaMonitor& f, int columna)
{
    switch (columna) {
    case ColHora: return QDateTime::fromMSecsSinceEpoch(f.r.ms).toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    case ColHueco: return f.hueco < 0 ? QString() : QString::number(f.hueco);
    case ColOperacion: return f.operacion;
    case ColSentido: return TextoSentido(f.r.sentido);
    case ColIntento: return QString::number(f.r.intento);
    case ColBytes: return BytesHex(f.r.bytes);
    case ColResultado: return TextoDestino(f.r);
    case ColSignificado: return SignificadoRegistro(f.r);
    default: return QString();
    }
}

class ModeloFilas : public QAbstractTableModel {
public:
    std::deque<FilaMonitor> filas;
    std::vector<RegistroLinea> pendientes;
    QStringList operaciones;  // every operation name seen, in order
    int64_t ultimoMs = -1;

    int rowCount(const QModelIndex& padre = {}) const override
    {
        return padre.isValid() ? 0 : static_cast<int>(filas.size());
    }
    int columnCount(const QModelIndex& padre = {}) const override { return padre.isValid() ? 0 : Columnas; }

    QVariant data(const QModelIndex& i, int rol) const override
    {
        if (!i.isValid() || i.row() >= static_cast<int>(filas.size()))
            return {};
        const FilaMonitor& f = filas[static_cast<size_t>(i.row())];
        switch (rol) {
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            return TextoCelda(f, i.column());
        case Qt::ToolTipRole:
            return i.column() == ColHora ? HoraRegistro(f.r.ms) : TextoCelda(f, i.column());
        case Qt::AccessibleDescriptionRole:
            return headerData(i.column(), Qt::Horizontal, Qt::DisplayRole);
        case Qt::ForegroundRole:
            return EsFalloLinea(f.r.destino) ? QVariant(QColor(0xA0, 0x00, 0x00)) : QVariant();
        case Qt::TextAlignmentRole:
            return i.column() == ColHueco || i.column() == ColIntento
                ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                : QVariant();
        case RolOperacion:
            return f.operacion;
        case RolFallo:
            return EsFalloLinea(f.r.destino);
        default:
            return {};
        }
    }

    QVariant headerData(int seccion, Qt::Orientation o, int rol) const override
    {
        if (o != Qt::Horizontal || seccion < 0 || seccion >= Columnas)
            return {};
        if (rol == Qt::DisplayRole || rol == Qt::AccessibleTextRole)
            return TextoRecurso(IdsColumnas[seccion]);
        return {};
    }

    void Pasar()
    {
        if (pendientes.empty())
            return;
        std::vector<RegistroLinea> lote;
        lote.swap(pendientes);
        // Only the newest FilasMonitor of the batch can stay.
        const size_t desde = lote.size() > size_t(FilasMonitor) ? lote.size() - size_t(FilasMonitor) : 0;
        for (size_t k = 0; k < desde; ++k)
            ultimoMs = lote[k].ms;
        const size_t nuevas = lote.size() - desde;
        const size_t sobran = filas.size() + nuevas > size_t(FilasMonitor) ? filas.size() + nuevas - size_t(FilasMonitor) : 0;
        if (sobran > 0) {
            beginRemoveRows({}, 0, static_cast<int>(sobran) - 1);
            filas.erase(filas.begin(), filas.begin() + static_cast<std::ptrdiff_t>(sobran));
            endRemoveRows();
        }
        const int primera = static_cast<int>(filas.size());
        beginInsertRows({}, primera, primera + static_cast<int>(nuevas) - 1);
        for (size_t k = desde; k < lote.size(); ++k) {
            FilaMonitor f;
            f.r = std::move(lote[k]);
            f.hueco = ultimoMs < 0 ? -1 : f.r.ms - ultimoMs;
            ultimoMs = f.r.ms;
            f.operacion = OperacionDeRegistro(f.r);
            if (!operaciones.contains(f.operacion))
                operaciones.append(f.operacion);
            filas.push_back(std::move(f));
        }
        endInsertRows();
    }

    void Borrar()
    {
        beginResetModel();
        filas.clear();
        pendientes.clear();
        operaciones.clear();
        ultimoMs = -1;
        endResetModel();
    }
};

class FiltroMonitor : public QSortFilterProxyModel {
public:
    QString operacion;  // empty: every operation
    bool soloFallos = false;

    void Fijar(const QString& op, bool fallos)
    {
        operacion = op;
        soloFallos = fallos;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int fila, const QModelIndex& padre) const override
    {
        const QModelIndex i = sourceModel()->index(fila, 0, padre);
        if (soloFallos && !i.data(RolFallo).toBool())
            return false;
        return operacion.isEmpty() || i.data(RolOperacion).toString() == operacion;
    }
};

ModeloFilas* modelo = nullptr;
QTimer* temporizador = nullptr;
QPointer<QWidget> ventana;


QString CampoCsv(QString texto)
{
    if (texto.contains(u',') || texto.contains(u'"') || texto.contains(u'\n') || texto.contains(u'\r')) {
        texto.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + texto + u'"';
    }
    return texto;
}

// The texts of one row of the source, the time with its date and UTC offset.
QStringList TextosFila(int fila, bool horaCompleta)
{
    const FilaMonitor& f = modelo->filas[static_cast<size_t>(fila)];
    QStringList textos;
    for (int c = 0; c < Columnas; ++c)
        textos << (c == ColHora && horaCompleta ? HoraRegistro(f.r.ms) : TextoCelda(f, c));
    return textos;
}

QTableView* Tabla()
{
    return ventana ? ventana->findChild<QTableView*>(QStringLiteral("tablaMonitor")) : nullptr;
}

void GuardarCsv()
{
    const QString archivo = DialogoGuardarArchivo(QStringLiteral("CSV (*.csv)"), QStringLiteral("qzl-monitor.csv"));
    if (archivo.isEmpty())
        return;
    QSaveFile f(archivo);
    if (!f.open(QIODevice::WriteOnly) || f.write(CsvMonitor().toUtf8()) < 0 || !f.commit())
        MsgBox(TextoRecurso(IdNoEscrito).arg(QDir::toNativeSeparators(archivo)), QMessageBox::Critical);
}

void CopiarSeleccion()
{
    const QString texto = SeleccionMonitor();
    if (!texto.isEmpty())
        QGuiApplication::clipboard()->setText(texto);
}

QWidget* CrearVentana()
{
    auto* w = new QWidget(FormPrincipal(), Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setObjectName(QStringLiteral("frmMonitor"));
    w->setWindowTitle(TextoRecurso(IdTitulo));
    w->setAccessibleName(TextoRecurso(IdTitulo));

    auto* etiqueta = new QLabel(TextoRecurso(2103) + u':', w);
    auto* lista = new QComboBox(w);
    lista->setObjectName(QStringLiteral("comboOperacion"));
    lista->setAccessibleName(TextoRecurso(2103));
    etiqueta->setBuddy(lista);
    lista->addItem(TextoRecurso(IdTodas), QString());
    auto* fallos = new QCheckBox(TextoRecurso(IdSoloFallos), w);
    fallos->setObjectName(QStringLiteral("checkFallos"));
    auto* copiar = new QPushButton(TextoRecurso(IdCopiar), w);
    copiar->setObjectName(QStringLiteral("botonCopiar"));
    auto* guardar = new QPushButton(TextoRecurso(IdGuardar), w);
    guardar->setObjectName(QStringLiteral("botonGuardar"));

    auto* filtro = new FiltroMonitor;
    filtro->setParent(w);
    filtro->setSourceModel(modelo);
    auto* tabla = new QTableView(w);
    tabla->setObjectName(QStringLiteral("tablaMonitor"));
    tabla->setAccessibleName(TextoRecurso(IdTitulo));
    tabla->setModel(filtro);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setWordWrap(false);
    tabla->verticalHeader()->hide();
    tabla->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tabla->verticalHeader()->setDefaultSectionSize(tabla->fontMetrics().height() + 4);
    tabla->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for their values, and never narrower than their caption in any language.
    const int anchos[Columnas] = {165, 70, 165, 130, 40, 170, 200, 300};
    for (int c = 0; c < Columnas; ++c)
        tabla->setColumnWidth(c, std::max(anchos[c], tabla->horizontalHeader()->sectionSizeHint(c)));

    auto* accionCopiar = new QAction(tabla);
    accionCopiar->setShortcut(QKeySequence::Copy);
    accionCopiar->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    tabla->addAction(accionCopiar);

    auto* fila = new QHBoxLayout;
    fila->addWidget(etiqueta);
    fila->addWidget(lista, 1);
    fila->addWidget(fallos);
    fila->addStretch(1);
    fila->addWidget(copiar);
    fila->addWidget(guardar);
    auto* todo = new QVBoxLayout(w);
    todo->addLayout(fila);
    todo->addWidget(tabla, 1);

    // The list offers every operation seen so far.
    auto ponerOperaciones = [lista] {
        for (const QString& op : modelo->operaciones) {
            if (lista->findData(op) < 0)
                lista->addItem(op, op);
        }
    };
    ponerOperaciones();
    auto aplicar = [filtro, lista, fallos] { filtro->Fijar(lista->currentData().toString(), fallos->isChecked()); };
    QObject::connect(lista, &QComboBox::currentIndexChanged, w, aplicar);
    QObject::connect(fallos, &QCheckBox::toggled, w, aplicar);
    QObject::connect(copiar, &QPushButton::clicked, w, &CopiarSeleccion);
    QObject::connect(accionCopiar, &QAction::triggered, w, &CopiarSeleccion);
    QObject::connect(guardar, &QPushButton::clicked, w, &GuardarCsv);

    // Follows the newest row unless the technician has scrolled away from the end.
    static const char* const seguir = "qzlSigueFinal";
    w->setProperty(seguir, true);
    QScrollBar* barra = tabla->verticalScrollBar();
    QObject::connect(barra, &QScrollBar::valueChanged, w, [w, barra](int v) { w->setProperty(seguir, v >= barra->maximum()); });
    QObject::connect(filtro, &QAbstractItemModel::rowsInserted, w, [w, tabla, ponerOperaciones] {
        ponerOperaciones();
        if (w->property(seguir).toBool())
            tabla->scrollToBottom();
    });

    auto* pulso = new QTimer(w);
    pulso->setInterval(PulsoPinturaMs);
    QObject::connect(pulso, &QTimer::timeout, w, [tabla, n = 0]() mutable {
        if (!LineaOcupada()) {
            n = 0;
            if (!tabla->updatesEnabled())
                tabla->setUpdatesEnabled(true);
            return;
        }
        n = (n + 1) % PulsosPorPintura;
        tabla->setUpdatesEnabled(n == 0);
    });
    pulso->start();

    w->resize(1340, 480);
    tabla->scrollToBottom();
    return w;
}

}  // namespace

void ConectarMonitor()
{
    if (!modelo) {
        modelo = new ModeloFilas;
        modelo->setParent(QCoreApplication::instance());
        temporizador = new QTimer(modelo);
        temporizador->setSingleShot(true);
        temporizador->setInterval(IntervaloLoteMs);
        QObject::connect(temporizador, &QTimer::timeout, modelo, [] { modelo->Pasar(); });
    }
    FijarOyenteRegistro(&AnadirAlMonitor);
    QObject::connect(Ventana().CMonitor, &QPushButton::clicked, [] { CMonitor_Click(); });
}

void AnadirAlMonitor(const RegistroLinea& r)
{
    if (!modelo)
        return;
    modelo->pendientes.push_back(r);
    if (!temporizador->isActive())
        temporizador->start();
}

void CMonitor_Click()
{
    if (!modelo || !FormPrincipal())
        return;
    if (!ventana)
        ventana = CrearVentana();
    ventana->show();
    ventana->raise();
    ventana->activateWindow();
}

QWidget* VentanaMonitor()
{
    return ventana;
}

QAbstractItemModel* ModeloMonitor()
{
    return modelo;
}

void PasarPendientesMonitor()
{
    if (modelo)
        modelo->Pasar();
}

void BorrarMonitor()
{
    if (modelo)
        modelo->Borrar();
}

QString CsvMonitor()
{
    QStringList lineas;
    QStringList cabecera;
    for (int c = 0; c < Columnas; ++c)
        cabecera << CampoCsv(TextoRecurso(IdsColumnas[c]));
    lineas << cabecera.join(u',');
    const QTableView* tabla = Tabla();
    const auto* filtro = tabla ? static_cast<const QSortFilterProxyModel*>(tabla->model()) : nullptr;
    const int filas = filtro ? filtro->rowCount() : (modelo ? modelo->rowCount() : 0);
    for (int i = 0; i < filas; ++i) {
        const int fuente = filtro ? filtro->mapToSource(filtro->index(i, 0)).row() : i;
        QStringList campos;
        for (const QString& t : TextosFila(fuente, true))
            campos << CampoCsv(t);
        lineas << campos.join(u',');
    }
    return lineas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString SeleccionMonitor()
{
    const QTableView* tabla = Tabla();
    if (!tabla || !tabla->selectionModel())
        return QString();
    const auto* filtro = static_cast<const QSortFilterProxyModel*>(tabla->model());
    std::vector<int> filas;
    for (const QModelIndex& i : tabla->selectionModel()->selectedRows())
        filas.push_back(filtro->mapToSource(i).row());
    std::sort(filas.begin(), filas.end());
    QStringList lineas;
    for (int f : filas)
        lineas << TextosFila(f, true).join(u'\t');
    return lineas.isEmpty() ? QString() : lineas.join(u'\n') + u'\n';
}
