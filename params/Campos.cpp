#include "params/Campos.h"

#include "params/TablaLux.h"
#include "ui/Ventana.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <vector>

QWidget* WidgetCampo(const FilaMapa& f)
{
    return Control(QLatin1String(f.campo));
}

int IndiceLista(const QComboBox* lista)
{
    const int i = lista->currentIndex();
    if (!lista->isEditable())
        return i;
    const QString texto = lista->currentText();
    if (i >= 0 && lista->itemText(i) == texto)
        return i;
    return lista->findText(texto, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void SeleccionarEntrada(QComboBox* lista, int indice)
{
    lista->setCurrentIndex(indice);
    // A list whose typed text hid the entry shows the entry again.
    if (lista->isEditable() && indice >= 0 && lista->currentText() != lista->itemText(indice))
        lista->setEditText(lista->itemText(indice));
}

static int EstadoACodigo(Qt::CheckState e)
{
    switch (e) {
    case Qt::Unchecked: return 0;
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    }
    return 0;
}

static Qt::CheckState CodigoAEstado(int c)
{
    return c == 1 ? Qt::Checked : c == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

ValorCampo LeerCampo(const FilaMapa& f)
{
    ValorCampo v;
    QWidget* w = WidgetCampo(f);
    if (auto* t = qobject_cast<QLineEdit*>(w)) {
        v.texto = t->text();
    } else if (auto* l = qobject_cast<QComboBox*>(w)) {
        v.texto = l->currentText();
        v.indice = IndiceLista(l);
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        v.marca = EstadoACodigo(c->checkState());
    }
    if (f.campoCuentas) {
        if (auto* ad = qobject_cast<QLineEdit*>(Control(QLatin1String(f.campoCuentas))))
            v.textoCuentas = ad->text();
    }
    return v;
}

int SensorSeleccionado()
{
    return IndiceLista(Ventana().ComboSensorLuz);
}

static void MostrarTexto(const char* campo, const QString& texto)
{
    if (auto* t = qobject_cast<QLineEdit*>(Control(QLatin1String(campo)))) {
        if (t->text() != texto)
            t->setText(texto);
    }
}

namespace {
struct CampoMostrado {
    bool recordado = false;
    bool tocado = false;  // typed into, chosen or clicked since it was shown
    ValorCampo valor;
    int sensor = -1;
};
ImagenParametros imagenBase;
std::vector<CampoMostrado> mostrados;
ProcedenciaValores procedencia;
qint64 secuencia = 0;

CampoMostrado* Mostrado(const FilaMapa& f)
{
    const std::span<const FilaMapa> mapa = MapaMemoria();
    if (&f < mapa.data() || &f >= mapa.data() + mapa.size())
        return nullptr;
    mostrados.resize(mapa.size());
    return &mostrados[static_cast<size_t>(&f - mapa.data())];
}
}  // namespace

void RecordarImagenBase(const ImagenParametros& imagen)
{
    imagenBase = imagen;
    mostrados.assign(MapaMemoria().size(), CampoMostrado{});
}

void RecordarCampoMostrado(const FilaMapa& f)
{
    if (CampoMostrado* m = Mostrado(f))
        *m = {true, false, LeerCampo(f), SensorSeleccionado()};
}

void MarcarCampoTocado(const FilaMapa& f)
{
    if (CampoMostrado* m = Mostrado(f))
        m->tocado = true;
    procedencia.ultimoCambio = ++secuencia;
}

void RecordarProcedencia(OrigenValores origen, const QString& archivo)
{
    procedencia = ProcedenciaValores{};
    procedencia.origen = origen;
    procedencia.cuando = QDateTime::currentDateTime();
    procedencia.archivo = archivo;
}

qint64 MarcaEscritura()
{
    return ++secuencia;
}

void RecordarEscrituraCompleta(qint64 marca)
{
    procedencia.ultimaEscritura = marca;
    procedencia.cuandoEscritura = QDateTime::currentDateTime();
}

const ProcedenciaValores& Procedencia()
{
    return procedencia;
}

void ConectarCamposTocados()
{
    for (const FilaMapa& f : MapaMemoria()) {
        const FilaMapa* fila = &f;
        auto marcar = [fila] { MarcarCampoTocado(*fila); };
        for (const char* nombre : {f.campo, f.campoCuentas}) {
            QWidget* w = nombre ? Control(QLatin1String(nombre)) : nullptr;
            if (auto* t = qobject_cast<QLineEdit*>(w)) {
                QObject::connect(t, &QLineEdit::textEdited, t, marcar);
            } else if (auto* l = qobject_cast<QComboBox*>(w)) {
                QObject::connect(l, &QComboBox::activated, l, marcar);
                if (QLineEdit* texto = l->lineEdit())
                    QObject::connect(texto, &QLineEdit::textEdited, l, marcar);
            } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
                QObject::connect(c, &QCheckBox::clicked, c, marcar);
            }
        }
    }
}

const ImagenParametros& ImagenBase()
{
    return imagenBase;
}

bool CampoSinCambios(const FilaMapa& f)
{
    const CampoMostrado* m = Mostrado(f);
    if (!m || !m->recordado || m->tocado)
        return false;
    if (f.luz && SensorSeleccionado() != m->sensor)
        return false;
    const ValorCampo ahora = LeerCampo(f);
    switch (f.tipo) {
    case TipoCampo::Texto:
        return ahora.texto == m->valor.texto;
    case TipoCampo::Lista:
        return ahora.indice == m->valor.indice;  // the entry, whatever language it is shown in
    case TipoCampo::Casilla:
        return ahora.marca == m->valor.marca;
    }
    return false;
}

void BorrarCeldas(const FilaMapa& f, ImagenParametros& imagen)
{
    for (int a = f.primera; a < f.primera + f.celdas; ++a)
        imagen.celda[a] = 0;
}

const FilaMapa* CodificarVentana(ImagenParametros& imagen, bool mostrarCambios)
{
    imagen = ImagenBase();
    const int sensor = SensorSeleccionado();
    for (const FilaMapa& f : MapaMemoria()) {
        if (!f.seEnvia || CampoSinCambios(f))
            continue;
        BorrarCeldas(f, imagen);
        ValorCampo v = LeerCampo(f);
        const QString antes = v.texto;
        const bool ok = CodificarCampo(f, v, imagen, sensor);
        if (mostrarCambios && f.tipo == TipoCampo::Texto && v.texto != antes)
            MostrarTexto(f.campo, v.texto);
        if (!ok)
            return &f;
    }
    return nullptr;
}

bool DecodificarEnVentana(const FilaMapa& f, const ImagenParametros& imagen)
{
    const ValorCampo antes = LeerCampo(f);
    ValorCampo v = antes;
    if (!DecodificarCampo(f, imagen, v, SensorSeleccionado()))
        return false;
    QWidget* w = WidgetCampo(f);
    switch (f.tipo) {
    case TipoCampo::Texto:
        MostrarTexto(f.campo, v.texto);
        if (f.campoCuentas)
            MostrarTexto(f.campoCuentas, v.textoCuentas);
        break;
    case TipoCampo::Lista:
        if (auto* l = qobject_cast<QComboBox*>(w); l && v.indice != antes.indice)
            SeleccionarEntrada(l, v.indice);
        break;
    case TipoCampo::Casilla:
        if (auto* c = qobject_cast<QCheckBox*>(w))
            c->setCheckState(CodigoAEstado(v.marca));
        break;
    }
    return true;
}

// The order of the start-up sequence; cmbModofuncionamiento is filled with the texts.
static const char* const ListasArranque[] = {
    "ComboTipoLampara1", "ComboTipoLampara2", "ComboLamparaPrincipal", "ComboTipoCambiador",
    "ComboSensorLuz", "ComboFuncion2Puerto", "ComboTipoMotor",
};

void LlenarListasParametros()
{
    for (const char* nombre : ListasArranque) {
        const Enumeracion* e = EnumeracionDe(QLatin1String(nombre));
        auto* lista = qobject_cast<QComboBox*>(Control(QLatin1String(nombre)));
        if (!e || !lista)
            continue;
        LlenarLista(lista, EntradasLista(*e));
        lista->setCurrentIndex(0);
    }
}

int32_t LuxACuentas(int32_t& lux)
{
    return LuxACuentas(lux, SensorSeleccionado());
}

int32_t CuentasALux(int32_t& cuentas)
{
    return CuentasALux(cuentas, SensorSeleccionado());
}
