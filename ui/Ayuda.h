#pragma once
// The help button: the help file of the current language beside the program.
#include <QString>

extern QString ArchivoAyuda;
// Start-up: the program's folder, a separator and string 2000.
void FijarArchivoAyuda();
void CAyuda_Click();
// The viewer started with the help file ("hh" on Windows, the desktop's opener elsewhere);
// tests put a recording program in its place.
void FijarVisorAyuda(const QString& programa);
