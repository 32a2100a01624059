#pragma once
// Builds the main window for a test: a scratch program folder, dialogs answered,
// settings in Qt's test locations, and optionally the real start-up sequence.
#include "ui/Dialogos.h"

#include <QString>
#include <functional>

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
// The global state each test starts from: the product's waits (FactorEsperas 1) with
// Retardo instant (CuentaMilisegundo 0), and no panel-1 history, dialogs or beeps
// left from an earlier test.
void ReiniciarEstadoPrueba();
// Runs operacion while a watcher, every millisecond, closes the main window as soon as
// cuando() holds. With desdeBucle the operation starts from the event loop, as a
// timer's tick does in the program. Returns when the operation has returned.
void CerrarVentanaDurante(const std::function<bool()>& cuando, const std::function<void()>& operacion,
                          bool desdeBucle = false);
// Answers every dialog: messages with OK, file dialogs with `archivo` (empty: cancel), colours with `color`.
void ContestarDialogos(const QString& archivo = QString(), const QColor& color = QColor());
