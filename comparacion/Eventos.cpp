#include "comparacion/Eventos.h"

#include "comparacion/Comparar.h"
#include "flash/Colores.h"
#include "params/Escritura.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSettings>

// The per-user settings of the window's placement: organisation and application "QZL".
static QSettings Ajustes()
{
    return QSettings(QStringLiteral("QZL"), QStringLiteral("QZL"));
}
static const QString ClaveVerificar = QStringLiteral("Settings/VerifyAfterWrite");

void chkVerificar_Click()
{
    Ajustes().setValue(ClaveVerificar, Ventana().chkVerificar->isChecked());
}

void ConectarComparacion()
{
    Ui::frmMain& v = Ventana();
    QObject::connect(v.CComparar, &QPushButton::clicked, [] { CComparar_Click(); });
    // Clear on a new installation: the write stays frame for frame as it always was.
    v.chkVerificar->setChecked(Ajustes().value(ClaveVerificar, false).toBool());
    QObject::connect(v.chkVerificar, &QCheckBox::clicked, [](bool) { chkVerificar_Click(); });
    AlDiferirVerificacion = MostrarVerificacionParametros;
    AlDiferirVerificacionColores = MostrarVerificacionColores;
}
