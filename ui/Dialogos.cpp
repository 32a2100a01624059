#include "ui/Dialogos.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

static ContestadorDialogos contestador;
static QList<PeticionDialogo> mostrados;
static int pitidos = 0;

void FijarContestadorDialogos(ContestadorDialogos c)
{
    contestador = std::move(c);
}

QList<PeticionDialogo>& DialogosMostrados()
{
    return mostrados;
}

static QWidget* Padre()
{
    return QApplication::activeWindow();
}

static RespuestaDialogo Preguntar(const PeticionDialogo& p, const std::function<RespuestaDialogo()>& real)
{
    mostrados.append(p);
    if (contestador)
        return contestador(p);
    return real();
}

void MsgBox(const QString& texto, QMessageBox::Icon icono, const QString& titulo)
{
    PeticionDialogo p;
    p.tipo = PeticionDialogo::Mensaje;
    p.icono = icono;
    p.texto = texto;
    p.titulo = titulo.isEmpty() ? QApplication::applicationName() : titulo;
    Preguntar(p, [&] {
        QMessageBox caja(icono, p.titulo, texto, QMessageBox::Ok, Padre());
        caja.exec();
        return RespuestaDialogo{};
    });
}

QStringList CarpetasLateralesArchivo;

static QString Archivo(PeticionDialogo::Tipo tipo, const QString& filtro, const QString& propuesto)
{
    PeticionDialogo p;
    p.tipo = tipo;
    p.filtro = filtro;
    p.propuesto = propuesto;
    p.lateral = CarpetasLateralesArchivo;
    const RespuestaDialogo r = Preguntar(p, [&] {
        RespuestaDialogo res;
        QFileDialog dlg(Padre(), QString(), QString(), filtro);
        dlg.setOption(QFileDialog::DontUseNativeDialog, true);
        QList<QUrl> lateral = dlg.sidebarUrls();
        for (const QString& carpeta : p.lateral) {
            // A folder not made yet has nothing to offer and shows as a broken entry.
            if (QFileInfo(carpeta).isDir() && !lateral.contains(QUrl::fromLocalFile(carpeta)))
                lateral << QUrl::fromLocalFile(carpeta);
        }
        dlg.setSidebarUrls(lateral);
        if (tipo == PeticionDialogo::GuardarArchivo) {
            dlg.setAcceptMode(QFileDialog::AcceptSave);
            dlg.setFileMode(QFileDialog::AnyFile);
            if (!propuesto.isEmpty())
                dlg.selectFile(propuesto);
        } else {
            dlg.setAcceptMode(QFileDialog::AcceptOpen);
            dlg.setFileMode(QFileDialog::ExistingFile);
        }
        res.aceptado = dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty();
        if (res.aceptado)
            res.archivo = dlg.selectedFiles().constFirst();
        return res;
    });
    return r.aceptado ? r.archivo : QString();
}

QString DialogoGuardarArchivo(const QString& filtro, const QString& propuesto)
{
    return Archivo(PeticionDialogo::GuardarArchivo, filtro, propuesto);
}

QString DialogoAbrirArchivo(const QString& filtro)
{
    return Archivo(PeticionDialogo::AbrirArchivo, filtro, QString());
}

static int Eleccion(PeticionDialogo& p, bool* marcada)
{
    const RespuestaDialogo r = Preguntar(p, [&] {
        QMessageBox caja(QMessageBox::Question, p.titulo, p.texto, QMessageBox::NoButton, Padre());
        QList<QAbstractButton*> pulsables;
        for (int i = 0; i < p.botones.size(); ++i)
            pulsables << caja.addButton(p.botones[i], i + 1 == p.botones.size() ? QMessageBox::RejectRole
                                                                                 : QMessageBox::AcceptRole);
        if (!pulsables.isEmpty())
            caja.setDefaultButton(qobject_cast<QPushButton*>(pulsables.constFirst()));
        QCheckBox* casilla = nullptr;
        if (!p.casilla.isEmpty()) {
            casilla = new QCheckBox(p.casilla);
            casilla->setChecked(p.marcada);
            caja.setCheckBox(casilla);
        }
        caja.exec();
        RespuestaDialogo res;
        res.eleccion = static_cast<int>(pulsables.indexOf(caja.clickedButton()));
        res.marcada = casilla && casilla->isChecked();
        return res;
    });
    if (!r.aceptado || r.eleccion < 0 || r.eleccion + 1 >= p.botones.size())
        return -1;
    if (marcada)
        *marcada = r.marcada;
    return r.eleccion;
}

int DialogoEleccion(const QString& texto, const QStringList& botones, const QString& titulo)
{
    PeticionDialogo p;
    p.tipo = PeticionDialogo::Eleccion;
    p.texto = texto;
    p.titulo = titulo.isEmpty() ? QApplication::applicationName() : titulo;
    p.botones = botones;
    return Eleccion(p, nullptr);
}

int DialogoEleccion(const QString& texto, const QStringList& botones, const QString& casilla, bool& marcada)
{
    PeticionDialogo p;
    p.tipo = PeticionDialogo::Eleccion;
    p.texto = texto;
    p.titulo = QApplication::applicationName();
    p.botones = botones;
    p.casilla = casilla;
    p.marcada = marcada;
    return Eleccion(p, &marcada);
}

bool DialogoImprimir(QPrinter& impresora)
{
    PeticionDialogo p;
    p.tipo = PeticionDialogo::Imprimir;
    const RespuestaDialogo r = Preguntar(p, [&] {
        QPrintDialog dlg(&impresora, Padre());
        RespuestaDialogo res;
        res.aceptado = dlg.exec() == QDialog::Accepted;
        return res;
    });
    if (r.aceptado && !r.archivo.isEmpty()) {
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(r.archivo);
    }
    return r.aceptado;
}

bool DialogoColor(const QColor& inicial, QColor& elegido)
{
    PeticionDialogo p;
    p.tipo = PeticionDialogo::Color;
    p.inicial = inicial;
    const RespuestaDialogo r = Preguntar(p, [&] {
        RespuestaDialogo res;
        QColorDialog dlg(inicial, Padre());
        dlg.setOption(QColorDialog::DontUseNativeDialog, true);
        res.aceptado = dlg.exec() == QDialog::Accepted;
        res.color = dlg.selectedColor();
        return res;
    });
    if (!r.aceptado || !r.color.isValid())
        return false;
    elegido = r.color;
    return true;
}

void MensajeCritico(const QString& texto)
{
    MsgBox(texto, QMessageBox::Critical);
}

void Pitido()
{
    ++pitidos;
    QApplication::beep();
}

int PitidosDados()
{
    return pitidos;
}

void ReiniciarPitidos()
{
    pitidos = 0;
}
