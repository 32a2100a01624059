#include "comparacion/Diferencias.h"

#include "flash/Filtro.h"

#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

constexpr int TxtDiferencias = 2051;
constexpr int TxtSinDiferencias = 2052;
constexpr int TxtPagina = 2054;
constexpr int TxtParametro = 2027;
constexpr int TxtUnidad = 2029;
constexpr int TxtCopiar = 2069;
constexpr int TxtCerrar = 2070;

static QPointer<QDialog> formulario;
static QLabel* resumen = nullptr;
static QLabel* sinDiferencias = nullptr;
static QTableWidget* tabla = nullptr;

QDialog* FormularioDiferencias()
{
    return formulario.data();
}

QTableWidget* TablaDiferencias()
{
    return formulario ? tabla : nullptr;
}

QString TextoFilasDiferencias()
{
    if (!formulario)
        return QString();
    QList<int> filas;
    for (const QModelIndex& i : tabla->selectionModel()->selectedRows())
        filas << i.row();
    if (filas.isEmpty()) {
        for (int f = 0; f < tabla->rowCount(); ++f)
            filas << f;
    }
    std::sort(filas.begin(), filas.end());
    QStringList lineas;
    QStringList cabecera;
    for (int c = 0; c < tabla->columnCount(); ++c)
        cabecera << tabla->horizontalHeaderItem(c)->text();
    lineas << cabecera.join(QLatin1Char('\t'));
    for (int f : filas) {
        QStringList celdas;
        for (int c = 0; c < tabla->columnCount(); ++c)
            celdas << (tabla->item(f, c) ? tabla->item(f, c)->text() : QString());
        lineas << celdas.join(QLatin1Char('\t'));
    }
    return lineas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

static void Copiar()
{
    QApplication::clipboard()->setText(TextoFilasDiferencias());
}

static void Crear()
{
    formulario = new QDialog(FormPrincipal());
    formulario->setAttribute(Qt::WA_DeleteOnClose);
    formulario->setObjectName(QStringLiteral("frmDiferencias"));
    auto* capas = new QVBoxLayout(formulario);
    resumen = new QLabel(formulario);
    resumen->setObjectName(QStringLiteral("lblResumen"));
    capas->addWidget(resumen);
    sinDiferencias = new QLabel(TextoRecurso(TxtSinDiferencias), formulario);
    sinDiferencias->setObjectName(QStringLiteral("lblSinDiferencias"));
    capas->addWidget(sinDiferencias);
    tabla = new QTableWidget(formulario);
    tabla->setObjectName(QStringLiteral("TablaDiferencias"));
    tabla->setAccessibleName(TextoRecurso(TxtDiferencias));
    tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabla->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tabla->setTabKeyNavigation(false);
    tabla->verticalHeader()->hide();
    tabla->horizontalHeader()->setStretchLastSection(true);
    // The summary names the table for a screen reader that enters it.
    resumen->setBuddy(tabla);
    capas->addWidget(tabla);
    auto* botones = new QDialogButtonBox(formulario);
    QPushButton* copiar = botones->addButton(TextoRecurso(TxtCopiar), QDialogButtonBox::ActionRole);
    copiar->setObjectName(QStringLiteral("CCopiar"));
    QPushButton* cerrar = botones->addButton(TextoRecurso(TxtCerrar), QDialogButtonBox::RejectRole);
    cerrar->setObjectName(QStringLiteral("CCerrar"));
    QObject::connect(copiar, &QPushButton::clicked, [] { Copiar(); });
    QObject::connect(botones, &QDialogButtonBox::rejected, formulario, &QDialog::reject);
    capas->addWidget(botones);
    // Ctrl+C copies the selected rows whole, not only the current cell.
    tabla->installEventFilter(new FiltroEventos(tabla, [](QObject*, QEvent* e) {
        if (e->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(e)->matches(QKeySequence::Copy))
            return false;
        Copiar();
        return true;
    }));
    formulario->resize(720, 380);
}

void MostrarDiferencias(const ResultadoComparacion& r, const QString& ventanaLado, const QString& otroLado)
{
    if (!formulario)
        Crear();
    formulario->setWindowTitle(TextoRecurso(TxtDiferencias));
    resumen->setText(TextoResumen(r));
    sinDiferencias->setVisible(r.filas.empty());
    tabla->clear();
    tabla->setColumnCount(5);
    tabla->setHorizontalHeaderLabels({TextoRecurso(TxtPagina), TextoRecurso(TxtParametro), ventanaLado, otroLado,
                                      TextoRecurso(TxtUnidad)});
    tabla->setRowCount(static_cast<int>(r.filas.size()));
    int f = 0;
    for (const FilaDiferencia& d : r.filas) {
        const QString celdas[] = {d.pagina, d.elemento, d.ventana, d.otro, d.unidad};
        for (int c = 0; c < 5; ++c)
            tabla->setItem(f, c, new QTableWidgetItem(celdas[c]));
        ++f;
    }
    tabla->setVisible(!r.filas.empty());
    tabla->resizeColumnsToContents();
    formulario->show();
    formulario->activateWindow();
}
