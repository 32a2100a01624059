#include "ui/frmAyuda.h"

frmAyuda::frmAyuda(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    ui.setupUi(this);
    // The page names the window, for the task bar and for a screen reader.
    connect(ui.txtAyuda, &QTextBrowser::sourceChanged, this, [this] {
        const QString titulo = ui.txtAyuda->documentTitle();
        setWindowTitle(titulo.isEmpty() ? QStringLiteral("QZL") : titulo);
        ui.txtAyuda->setAccessibleName(windowTitle());
    });
}

void frmAyuda::AbrirGuia(const QUrl& pagina)
{
    inicio = pagina;
    ui.txtAyuda->clearHistory();
    ui.txtAyuda->setSource(pagina);
}
