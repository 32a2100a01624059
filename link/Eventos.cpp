#include "link/Eventos.h"

#include "link/Comandos.h"
#include "link/Interrogacion.h"
#include "link/Puerto.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void ConectarEnlace()
{
    Ui::frmMain& v = Ventana();
    QObject::connect(v.ComboCom, &QComboBox::currentIndexChanged, v.ComboCom, [](int) { ComboCom_Click(); });
    if (QLineEdit* texto = v.ComboCom->lineEdit())
        QObject::connect(texto, &QLineEdit::textEdited, texto, [](const QString&) { ComboCom_Change(); });

    QObject::connect(v.CDia, &QPushButton::clicked, v.CDia, &CDia_Click);
    QObject::connect(v.CNoche, &QPushButton::clicked, v.CNoche, &CNoche_Click);
    QObject::connect(v.CNormal, &QPushButton::clicked, v.CNormal, &CNormal_Click);
    QObject::connect(v.CCambioLamparaOn, &QPushButton::clicked, v.CCambioLamparaOn, &CCambioLamparaOn_Click);
    QObject::connect(v.CCambioLamparaOff, &QPushButton::clicked, v.CCambioLamparaOff, &CCambioLamparaOff_Click);
    QObject::connect(v.CFalloRedOn, &QPushButton::clicked, v.CFalloRedOn, &CFalloRedOn_Click);
    QObject::connect(v.CFalloRedOff, &QPushButton::clicked, v.CFalloRedOff, &CFalloRedOff_Click);
    QObject::connect(v.btnTelemandoMotor1, &QPushButton::clicked, v.btnTelemandoMotor1, &btnTelemandoMotor1_Click);
    QObject::connect(v.btnTelamandoMotor2, &QPushButton::clicked, v.btnTelamandoMotor2, &btnTelamandoMotor2_Click);

    QObject::connect(v.CInterrogar, &QPushButton::clicked, [] { CInterrogar_Click(); });
    QObject::connect(v.CModoVerboso, &QPushButton::clicked, [] { CModoVerboso_Click(); });
    QObject::connect(v.Command1, &QPushButton::clicked, [] { Command1_Click(); });
    QObject::connect(TimerEstado(), &QTimer::timeout, [] { TimerEstado_Timer(); });
}
