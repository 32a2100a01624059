#include "ui/Dibujos.h"

#include "ui/Ventana.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <utility>

QPixmap DibujoLampara(const QColor& color)
{
    QPixmap p(32, 32);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QRadialGradient brillo(QPointF(12, 11), 16);
    brillo.setColorAt(0, color.lighter(170));
    brillo.setColorAt(1, color);
    g.setBrush(brillo);
    g.setPen(QPen(color.darker(160), 1.5));
    g.drawEllipse(QRectF(2, 2, 28, 28));
    return p;
}

// A lighthouse on a rock with its beam, on a night sky.
QPixmap DibujoFaro(const QSize& tamano, bool conTexto)
{
    QPixmap p(tamano);
    const qreal w = tamano.width(), h = tamano.height();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    QLinearGradient cielo(0, 0, 0, h);
    cielo.setColorAt(0, QColor(10, 24, 60));
    cielo.setColorAt(1, QColor(40, 80, 140));
    g.fillRect(p.rect(), cielo);
    // Beam
    QPainterPath haz;
    const QPointF foco(w * 0.5, h * 0.28);
    haz.moveTo(foco);
    haz.lineTo(w, h * 0.12);
    haz.lineTo(w, h * 0.40);
    haz.closeSubpath();
    g.fillPath(haz, QColor(255, 240, 150, 120));
    // Sea
    g.fillRect(QRectF(0, h * 0.82, w, h * 0.18), QColor(20, 50, 90));
    // Tower, red and white bands
    QPainterPath torre;
    torre.moveTo(w * 0.42, h * 0.85);
    torre.lineTo(w * 0.46, h * 0.32);
    torre.lineTo(w * 0.54, h * 0.32);
    torre.lineTo(w * 0.58, h * 0.85);
    torre.closeSubpath();
    g.fillPath(torre, Qt::white);
    g.setClipPath(torre);
    for (int i = 0; i < 3; ++i)
        g.fillRect(QRectF(0, h * (0.40 + i * 0.16), w, h * 0.07), QColor(200, 30, 30));
    g.setClipping(false);
    // Lantern
    g.setBrush(QColor(255, 230, 90));
    g.setPen(Qt::NoPen);
    g.drawEllipse(foco, w * 0.05, h * 0.05);
    g.setBrush(QColor(60, 60, 60));
    g.drawRect(QRectF(w * 0.44, h * 0.20, w * 0.12, h * 0.03));
    if (conTexto) {
        g.setPen(Qt::white);
        QFont f = g.font();
        f.setBold(true);
        f.setPixelSize(qMax(10, int(h * 0.16)));
        g.setFont(f);
        g.drawText(QRectF(w * 0.04, h * 0.02, w * 0.5, h * 0.2), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("QZL"));
    }
    return p;
}

void PintarDibujos()
{
    Ui::frmMain& v = Ventana();
    v.Image1->setPixmap(DibujoFaro(v.Image1->size(), true));
    v.PictureInicio->setPixmap(DibujoFaro(v.PictureInicio->size(), false));

    const QColor azul(0, 80, 255), azulOscuro(0, 0, 110), rojo(230, 0, 0), rojoOscuro(110, 0, 0),
        verde(0, 180, 0), marron(120, 70, 20);
    const std::pair<QLabel*, QColor> lamparas[] = {
        {v.LedOn, azul}, {v.LedOff, azulOscuro},
        {v.LedMotorOn, azul}, {v.LedMotorOff, azulOscuro},
        {v.LedRojoAlarmaMotor, rojo}, {v.LedAlarmaMotorVerde, verde},
        {v.LedAzulLampara1, azul}, {v.LedLampara1Apagado, azulOscuro},
        {v.LedazulLampara2, azul}, {v.LedLampara2Apagado, azulOscuro},
        {v.LedRojoPrealarmaLampara, rojo}, {v.LedPrealarmaLamparaApagado, rojoOscuro},
        {v.LedAzulCambiador, azul}, {v.LedCambiadorApagado, azulOscuro},
        {v.LedRojoFalloRed, rojo}, {v.LedFalloRedVerde, verde},
        {v.LedVerdeLampara1On, azul}, {v.LedLampara1OnApagado, azulOscuro},
        {v.LedRojoAlarmaLampara1, rojo}, {v.LedAlarmaLamparaVerde, verde},
        {v.LedRojoFalloFoco, rojo}, {v.LedFalloFocoVerde, verde},
        {v.LedTimerON, rojo}, {v.LedTimerOff, marron},
    };
    for (const auto& [lampara, color] : lamparas)
        lampara->setPixmap(DibujoLampara(color));
}
