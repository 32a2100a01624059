#pragma once
// Event filter driven by a function: Qt delivers key presses and clicks on plain
// widgets (the grid's keys, the colour labels' clicks) only through such an object.
#include <QObject>
#include <functional>

class FiltroEventos : public QObject {
    Q_OBJECT
public:
    using Funcion = std::function<bool(QObject*, QEvent*)>;
    // Owned by padre; true from funcion means the event was taken.
    FiltroEventos(QObject* padre, Funcion funcion);

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    Funcion funcion_;
};
