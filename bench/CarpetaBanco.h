#pragma once
// A benchmark drives the real window: everything it would write (qzl.ini, the settings,
// the history of reads, the service log) goes to its scratch folder, never to the user's.
#include "app/ModuloKX.h"
#include "historial/Historial.h"
#include "registro/Registro.h"

#include <QSettings>
#include <QTemporaryDir>

inline void UsarCarpetaBanco(const QTemporaryDir& carpeta)
{
    FijarCarpetaPrograma(carpeta.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, carpeta.filePath(QStringLiteral(".config")));
    FijarCarpetaHistorial(carpeta.filePath(QStringLiteral("history")));
    FijarCarpetaRegistro(carpeta.filePath(QStringLiteral("logs")));
}
