#pragma once
// The line monitor: a window of its own that lists the records of the line as they
// come (registro/Registro.h), newest at the bottom, with a filter by operation, a
// filter of faults, copy of the selected rows and saving as CSV. It only reads the
// records: opening it, scrolling or filtering changes nothing on the line.
#include "registro/Registro.h"

#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QWidget;

// Rows kept for the window; older ones leave it (the log keeps them).
constexpr int FilasMonitor = 100000;

// Start-up: wires the Monitor button and takes the records from the start on, so that
// the window, opened after a failure, shows what led to it.
void ConectarMonitor();
// Opens the window, or brings the open one forward: one only, not modal, closed with the main window.
void CMonitor_Click();
// The open window, or null.
QWidget* VentanaMonitor();

// Takes one record (the log's listener calls it for every record of the line).
void AnadirAlMonitor(const RegistroLinea& registro);
// Every row held, oldest first, before any filter; columns as the window shows them.
QAbstractItemModel* ModeloMonitor();
// Records arrive in batches a few times a second; tests take the waiting ones at once.
void PasarPendientesMonitor();
// Forgets every row (tests).
void BorrarMonitor();

// The rows the window shows now, as CSV with a header line (commas, fields quoted as needed).
QString CsvMonitor();
// The selected rows the window shows, tab-separated, one line each, as they are copied.
QString SeleccionMonitor();
