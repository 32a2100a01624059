#pragma once
#include "ui_frmSplash.h"

#include <QWidget>

// Shown while the main window is built; reacts to no input.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    Ui::frmSplash ui;
};

// "Version " and the program's version numbers joined with ".".
QString TextoVersion();
