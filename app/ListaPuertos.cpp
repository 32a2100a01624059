#include "app/ListaPuertos.h"

#include "app/Configuracion.h"
#include "app/ModuloKX.h"
#include "link/Puerto.h"
#include "link/Transaccion.h"
#include "ui/Estado.h"
#include "ui/Ventana.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

// Pause that lets a technician read the not-available message of the port test.
static constexpr int PausaPuertoNoDisponibleMs = 2000;

// Each entry of the list, and the list itself for its current entry, say what they open.
static void DescribirEntradas(QComboBox* lista)
{
    const QStringList textos = DescripcionesPuertos();
    for (int i = 0; i < lista->count() && i < textos.size(); ++i) {
        const QString& texto = textos[i];
        lista->setItemData(i, texto, Qt::ToolTipRole);
        lista->setItemData(i, texto, Qt::AccessibleDescriptionRole);
    }
    const QString actual = lista->currentIndex() >= 0
        ? lista->itemData(lista->currentIndex(), Qt::ToolTipRole).toString()
        : QString();
    lista->setToolTip(actual);
    lista->setAccessibleDescription(actual);
}

// Failure steps of the port test: report, pause, fall back to "Com1:". Falling back
// when "Com1:" is already what the list shows changes nothing and tests nothing again.
static void PasosFallo()
{
    Panel1(TextoPuertoNoDisponible(NumeroPuerto));
    DoEvents();
    Retardo(EsperaMs(PausaPuertoNoDisponibleMs));
    QComboBox* lista = Ventana().ComboCom;
    if (lista->count() == 0)
        return;
    if (lista->currentIndex() != 0) {
        lista->setCurrentIndex(0);  // a change of selection: runs ComboCom_Click
    } else if (lista->currentText() != lista->itemText(0)) {
        // Text typed over the first entry: putting the entry back is a new selection.
        lista->setEditText(lista->itemText(0));
        ComboCom_Click();
    }
}

// Tests port NumeroPuerto: set it, open it (DTR raised), close it; with recordar,
// rewrite qzl.ini and report the port. Any failing step runs the failure steps
// once; the remaining steps still run, but a failed test never reports success.
static void PruebaPuerto(bool recordar)
{
    bool fallo = false;
    auto falla = [&] {
        if (!fallo) {
            fallo = true;
            PasosFallo();
        }
    };
    if (!FijarPuerto(NumeroPuerto))
        falla();
    else if (!AbrirCom())
        falla();
    CerrarCom();
    if (!recordar)
        return;
    if (!EscribirConfiguracion())
        falla();
    if (!fallo)
        Panel1(QStringLiteral("Serial Port ") + ConBlanco(NumeroPuerto));
}

// While an operation holds the port, the list goes back to the port in use.
static bool RechazarCambio(QComboBox* lista)
{
    if (!OperacionEnCurso())
        return false;
    const QSignalBlocker bloqueo(lista);
    lista->setCurrentIndex(NumeroPuerto - 1);
    if (lista->currentIndex() >= 0)
        lista->setEditText(lista->itemText(lista->currentIndex()));
    return true;
}

void ComboCom_Click()
{
    QComboBox* lista = Ventana().ComboCom;
    if (RechazarCambio(lista))
        return;
    NumeroPuerto = static_cast<int16_t>(lista->currentIndex() + 1);
    DescribirEntradas(lista);
    PruebaPuerto(true);
}

void ComboCom_Change()
{
    QComboBox* lista = Ventana().ComboCom;
    if (RechazarCambio(lista))
        return;
    // The typed text selects the entry it names, if any; none gives port 0, which fails.
    NumeroPuerto = static_cast<int16_t>(lista->findText(lista->currentText(), Qt::MatchFixedString) + 1);
    DescribirEntradas(lista);
    PruebaPuerto(false);
}

void IniciarComboCom()
{
    QComboBox* lista = Ventana().ComboCom;
    QStringList entradas;
    for (int n = PrimerPuerto; n <= UltimoPuerto; ++n)
        entradas.append(QStringLiteral("Com") + QString::number(n) + u':');
    LlenarLista(lista, entradas);
    // Hovering over the open list describes the devices as they are now: an adapter
    // plugged in after start-up shows up before it is chosen.
    static const char* const descrita = "qzlDescripcionConectada";
    if (!lista->property(descrita).toBool()) {
        lista->setProperty(descrita, true);
        QObject::connect(lista, &QComboBox::highlighted, lista, [lista](int) { DescribirEntradas(lista); });
    }
    FijarPuerto(NumeroPuerto);
    const int posicion = (NumeroPuerto >= PrimerPuerto && NumeroPuerto <= UltimoPuerto) ? NumeroPuerto - 1 : 0;
    if (lista->currentIndex() != posicion)
        lista->setCurrentIndex(posicion);  // runs ComboCom_Click
    else
        ComboCom_Click();
}

void ConectarListaPuertos()
{
    QComboBox* lista = Ventana().ComboCom;
    QObject::connect(lista, &QComboBox::currentIndexChanged, lista, [](int) { ComboCom_Click(); });
    if (QLineEdit* texto = lista->lineEdit())
        QObject::connect(texto, &QLineEdit::textEdited, texto, [](const QString&) { ComboCom_Change(); });
}
