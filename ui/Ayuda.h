#pragma once
// The help button: the user's guide of the current language. On Windows the compiled
// help file beside the program in the viewer "hh"; elsewhere, where no such viewer
// comes with the system, the program's own help window with the very pages that file
// is compiled from.
#include <QString>
#include <QUrl>

class frmAyuda;

extern QString ArchivoAyuda;
// Start-up: the program's folder, a separator and string 2000.
void FijarArchivoAyuda();
void CAyuda_Click();
// An external viewer started with the help file instead of the own help window ("hh" on
// Windows, none elsewhere; empty: none). Tests put a recording program in its place.
void FijarVisorAyuda(const QString& programa);
// The first page of the guide that the help file `archivo` holds, as the own help window
// opens it (the guide of "helpQZL.chm" for a name that has none).
QUrl PaginaAyuda(const QString& archivo);
// The own help window; null before the first press.
frmAyuda* VentanaAyuda();
