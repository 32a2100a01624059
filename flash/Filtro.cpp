#include "flash/Filtro.h"

FiltroEventos::FiltroEventos(QObject* padre, Funcion funcion)
    : QObject(padre)
    , funcion_(std::move(funcion))
{
}

bool FiltroEventos::eventFilter(QObject* objeto, QEvent* evento)
{
    if (funcion_ && funcion_(objeto, evento))
        return true;
    return QObject::eventFilter(objeto, evento);
}
