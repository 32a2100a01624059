#include "flash/FormDibujo.h"

#include "app/Cierre.h"
#include "flash/CodigoColor.h"

#include <QPainter>
#include <QPointer>
#include <QResizeEvent>

static constexpr double TwipsPorPixel = 15.0;

FormDibujo::FormDibujo(QWidget* parent)
    : QWidget(parent)
{
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    lienzo = QImage(size(), QImage::Format_RGB32);
    lienzo.fill(palette().color(QPalette::Window));
}

double FormDibujo::ScaleWidth() const
{
    return width() * TwipsPorPixel;
}

double FormDibujo::ScaleHeight() const
{
    return height() * TwipsPorPixel;
}

void FormDibujo::Circle(double x, double y, double radio, int32_t colorCodigo)
{
    const QColor color = colorCodigo < 0 ? QColor(Qt::black) : ColorDeCodigo(colorCodigo);
    QPainter p(&lienzo);
    p.setPen(QPen(color, 1));
    p.setBrush(Qt::NoBrush);
    const double r = radio / TwipsPorPixel;
    p.drawEllipse(QPointF(x / TwipsPorPixel, y / TwipsPorPixel), r, r);
    update();
}

void FormDibujo::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, lienzo);
}

void FormDibujo::resizeEvent(QResizeEvent* evento)
{
    // A larger window keeps what was drawn and extends the picture.
    const QSize nuevo = evento->size().expandedTo(lienzo.size());
    if (nuevo != lienzo.size()) {
        QImage mayor(nuevo, QImage::Format_RGB32);
        mayor.fill(palette().color(QPalette::Window));
        QPainter(&mayor).drawImage(0, 0, lienzo);
        lienzo = mayor;
    }
    QWidget::resizeEvent(evento);
}

static QPointer<FormDibujo> formulario;

FormDibujo* FormularioDibujo()
{
    if (!formulario)
        formulario = new FormDibujo;
    return formulario;
}

void MostrarFormDibujo()
{
    FormDibujo* f = FormularioDibujo();
    RegistrarFormulario(f);
    f->show();
    f->raise();
}
