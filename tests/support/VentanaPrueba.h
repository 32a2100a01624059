#pragma once
// Builds the main window for a test: a scratch program folder, dialogs answered,
// settings in Qt's test locations, and optionally the real start-up sequence.
#include "ui/Dialogos.h"

#include <QString>

class frmMain;

struct OpcionesVentanaPrueba {
    bool ejecutarFormLoad = true;     // run the start-up sequence
    bool calibrar = false;            // keep the speed calibration (slow); otherwise Retardo stays instant
    QString qzlIni;                   // contents of qzl.ini written before start-up; empty: none
};

// Prepares the process once: test mode for QStandardPaths/QSettings, a scratch program folder.
void PrepararEntornoPrueba();
// Scratch program folder of this test process.
QString CarpetaPrueba();
frmMain* CrearVentanaPrueba(const OpcionesVentanaPrueba& opciones = {});
// Closes and deletes the window (and any other window it opened).
void CerrarVentanaPrueba();
// Answers every dialog: messages with OK, file dialogs with `archivo` (empty: cancel), colours with `color`.
void ContestarDialogos(const QString& archivo = QString(), const QColor& color = QColor());
