#include "ui/Interfaz.h"

#include "ui/Ayuda.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"
#include "ui/frmMain.h"

#include <QPushButton>
#include <QTabWidget>

void Csalir_Click()
{
    if (FormPrincipal())
        FormPrincipal()->close();
}

void ConectarInterfaz()
{
    Ui::frmMain& v = Ventana();
    QObject::connect(v.TabStrip1, &QTabWidget::currentChanged, [](int) { TabStrip1_Click(); });
    QObject::connect(v.CAyuda, &QPushButton::clicked, [] { CAyuda_Click(); });
    QObject::connect(v.Csalir, &QPushButton::clicked, [] { Csalir_Click(); });
    ConectarIdioma();
}
