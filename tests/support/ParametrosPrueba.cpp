#include "support/ParametrosPrueba.h"

#include "params/Catalogo.h"
#include "ui/Dialogos.h"
#include "ui/Ventana.h"

#include <QLineEdit>

void LlenarCamposValidos()
{
    for (const FilaMapa& f : MapaMemoria()) {
        if (f.tipo != TipoCampo::Texto || f.fuente != Fuente::Estricta)
            continue;
        if (auto* t = qobject_cast<QLineEdit*>(Control(QLatin1String(f.campo))))
            t->setText(QStringLiteral("1"));
    }
}

EstadoSimulador EstadoConPresentes(std::initializer_list<std::pair<int, int>> rangos)
{
    EstadoSimulador e;
    for (const auto& [desde, hasta] : rangos) {
        for (int a = desde; a <= hasta; ++a)
            FijarPresente(e, a);
    }
    return e;
}

EstadoSimulador EstadoTodoPresente()
{
    EstadoSimulador e = EstadoDemo();
    e.Presencia.fill(0xFF);
    return e;
}

static QStringList Tramas(SimuladorQZL* sim, int comando)
{
    QStringList l;
    const QString cmd = QStringLiteral("%1").arg(comando, 2, 16, QChar(u'0')).toUpper();
    for (const QString& linea : SimRegistro(sim)) {
        const QStringList b = linea.split(u' ');
        if (b.size() == 8 && b[4] == cmd)
            l << linea;
    }
    return l;
}

QStringList TramasDeComando(SimuladorQZL* sim, int comando)
{
    return Tramas(sim, comando);
}

QList<int> IndicesDeComando(SimuladorQZL* sim, int comando)
{
    QList<int> l;
    for (const QString& t : Tramas(sim, comando))
        l << t.split(u' ')[5].toInt(nullptr, 16);
    return l;
}

QStringList MensajesMostrados()
{
    QStringList l;
    for (const PeticionDialogo& p : DialogosMostrados()) {
        if (p.tipo == PeticionDialogo::Mensaje)
            l << p.texto;
    }
    return l;
}
