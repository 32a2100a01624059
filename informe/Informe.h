#pragma once
// The service report: what the window shows of the controller (identification, every
// parameter field page by page, the flash table with its colours and the sector
// picture) and where the values came from, laid out as pages for a PDF file or a
// printer, in the window's language.
#include <QDate>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;

// QZL_ID<number>_YYYY-MM-DD.pdf in the user's documents folder, the number being the
// ID Number field's.
QString NombrePropuestoInforme(const QDate& dia);
// A4, or Letter where the user's locale measures in the US system.
QPageSize::PageSizeId PapelLocal();
// Lays the report out on the device's pages (already sized) and paints it; the number
// of pages, or 0 when the device could not be painted on.
int PintarInforme(QPagedPaintDevice& dispositivo);
// The report as a PDF file of the given paper; false with the reason when the file
// could not be written (an older file of that name is then left as it was).
bool EscribirInformePdf(const QString& ruta, QPageSize::PageSizeId papel, QString& error);

// The Report button: asks whether to save a PDF or print, then does it. Does nothing
// while an operation with the controller runs: a dialog opened inside its reply wait
// would hold the line.
void CInforme_Click();
