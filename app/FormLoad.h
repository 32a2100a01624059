#pragma once
// The main window's start-up sequence: builds, fills and shows the window.
#include <QString>

void Form_Load();
// Title of the main window: "QZL " and the version numbers, then two blanks.
QString TituloVentana();
