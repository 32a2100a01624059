#pragma once
// The main window's named controls, its control arrays, its tab strip and timers.
#include "ui/Estado.h"
#include "ui_frmMain.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class frmMain;
class QComboBox;
class QGroupBox;
class QLabel;
class QTimer;

// The main window; null before it is built and after it is closed.
frmMain* FormPrincipal();
// Its named controls, as laid out in ui/frmMain.ui (Ventana().TLuxON, Ventana().CLeer, ...).
Ui::frmMain& Ventana();

// Control arrays, addressed by index as in Label(18) or FrameP(3).
// The .ui names their elements Array_Index (Label_18); an index with no element gives null.
QLabel* Label(int i);
QLabel* LabelUnidades(int i);
QLabel* label1(int i);
QGroupBox* FrameP(int i);
QGroupBox* Frame1(int i);
QLabel* LColor(int i);
QLabel* lblExterna(int i);
QLabel* lblSalida(int i);
QLabel* lblExternalbl(int i);
QLabel* lblSalidalbl(int i);
// Any control by its name ("TLuxON", "Label_18"); null when there is none.
QWidget* Control(const QString& nombre);

// The window's non-visual timers.
QTimer* TimerEstado();
QTimer* tmrSpoolValoresInstantaneos();

// Fills a list without selecting anything and without running its handlers;
// the caller's following selection is then a real change that runs them.
void LlenarLista(QComboBox* lista, const QStringList& entradas);

// Tab strip TabStrip1: positions are 1-based as the pages FrameP 1 to 6.
int NumeroPestanas();
void QuitarPestana(int posicion);
void InsertarPestana(int posicion, const QString& texto);
void TextoPestana(int posicion, const QString& texto);
int PestanaSeleccionada();
void SeleccionarPestana(int posicion);

// Position of the page currently shown (1 to 6).
extern int16_t FrameActual;
void TabStrip1_Click();

// The window registers itself while it is being built.
void RegistrarFormPrincipal(frmMain* formulario);
