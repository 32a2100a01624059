#pragma once
// Panel 1 of the status bar, the system's message line, and event processing.
#include <QString>
#include <QStringList>

class QLabel;

// Replaces the whole text of panel 1.
void Panel1(const QString& texto);
QString TextoPanel1();
// Every text panel 1 has shown, oldest first (bounded); lets tests see passing messages.
QStringList& HistorialPanel1();
// The window hands over its panel label; before that the text is only remembered.
void FijarEtiquetaPanel1(QLabel* etiqueta);

// Processes pending window events (the window repaints and other handlers may run).
void DoEvents();
