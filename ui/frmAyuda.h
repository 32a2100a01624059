#pragma once
#include "ui_frmAyuda.h"

#include <QUrl>
#include <QWidget>

// The program's own help window: the user's guide of one language, its pages linked
// to each other. Alt+Left and Alt+Right go back and forth, as in any browser.
class frmAyuda : public QWidget {
    Q_OBJECT
public:
    explicit frmAyuda(QWidget* parent = nullptr);
    // Shows the guide from its first page (the address of that page).
    void AbrirGuia(const QUrl& inicio);
    QUrl Inicio() const { return inicio; }
    Ui::frmAyuda ui;

private:
    QUrl inicio;
};
