#include "app/Configuracion.h"
#include "app/FormLoad.h"
#include "app/Manejadores.h"
#include "app/ModuloKX.h"
#include "ui/Estado.h"
#include "ui/frmMain.h"
#include "ui/frmSplash.h"

void Main()
{
    auto* splash = new frmSplash;
    splash->show();
    splash->repaint();
    DoEvents();

    LeerConfiguracion();

    new frmMain;  // deletes itself when closed
    ConectarManejadores();
    Form_Load();

    splash->close();
    splash->deleteLater();
}
