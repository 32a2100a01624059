#pragma once
#include "ui_frmMain.h"

#include <QLabel>
#include <QMainWindow>
#include <QTimer>

// The main window. Its controls are laid out in frmMain.ui; the procedures that
// act on them are free functions reaching them through Ventana() (ui/Ventana.h).
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    Ui::frmMain ui;
    QTimer timerEstado;                     // TimerEstado: status polling
    QTimer timerSpoolValoresInstantaneos;   // tmrSpoolValoresInstantaneos: live values
    QLabel* paneles[3] = {};                // sbStatusBar panels 1 to 3

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    QTimer relojPaneles;  // keeps the date and time panels current
    void ActualizarFechaHora();
};
