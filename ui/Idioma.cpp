#include "ui/Idioma.h"

QString TextoRecurso(int) { return QString(); }
void IniciarComboIdioma() {}
void AplicarTextos() {}
