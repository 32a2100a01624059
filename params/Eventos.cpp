#include "params/Eventos.h"

#include "params/Campos.h"
#include "params/Escritura.h"
#include "params/Lectura.h"

#include "ui/Estado.h"
#include "ui/Idioma.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

constexpr int TextoCambiosPendientes = 2002;

void cmbModofuncionamiento_Click()
{
    Ventana().txtAtenuacionNocturna->setEnabled(Ventana().cmbModofuncionamiento->currentIndex() == 1);
}

void ComboTipoCambiador_Click()
{
    Panel1(TextoRecurso(TextoCambiosPendientes));
}

void ComboTipoCambiador_Change()
{
    Panel1(TextoRecurso(TextoCambiosPendientes));
}

void ConectarParametros()
{
    Ui::frmMain& v = Ventana();
    QObject::connect(v.cmbModofuncionamiento, &QComboBox::currentIndexChanged,
                     [](int) { cmbModofuncionamiento_Click(); });
    QObject::connect(v.ComboTipoCambiador, &QComboBox::currentIndexChanged,
                     [](int) { ComboTipoCambiador_Click(); });
    if (QLineEdit* texto = v.ComboTipoCambiador->lineEdit())
        QObject::connect(texto, &QLineEdit::textEdited, [](const QString&) { ComboTipoCambiador_Change(); });
    ConectarCamposTocados();
    QObject::connect(v.CLeer, &QPushButton::clicked, [] { CLeer_Click(); });
    QObject::connect(v.CEscribir, &QPushButton::clicked, [] { CEscribir_Click(); });
}
