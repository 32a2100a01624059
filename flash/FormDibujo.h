#pragma once
// FormDibujo: a small plain window ("Form1") to draw circles on. What is drawn stays
// (the window keeps its own picture and repaints from it).
#include "ui_FormDibujo.h"

#include <QImage>
#include <QWidget>
#include <cstdint>

class FormDibujo : public QWidget {
    Q_OBJECT
public:
    explicit FormDibujo(QWidget* parent = nullptr);

    // Circle of the given radius around (x, y); all in twips from the top left of the
    // client area. colorCodigo: a colour code (red in bits 0-7); below 0 the window's
    // drawing colour (black).
    void Circle(double x, double y, double radio, int32_t colorCodigo = -1);
    // The client area's size in twips.
    double ScaleWidth() const;
    double ScaleHeight() const;
    // What the window shows.
    QImage Dibujo() const { return lienzo; }

    Ui::FormDibujo ui;

protected:
    void paintEvent(QPaintEvent* evento) override;
    void resizeEvent(QResizeEvent* evento) override;

private:
    QImage lienzo;
};

// The one drawing window, created when first asked for (after it was closed, a fresh one).
FormDibujo* FormularioDibujo();
// Shows it, not modal, and registers it so that closing the main window closes it.
void MostrarFormDibujo();
