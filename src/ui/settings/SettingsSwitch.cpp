#include "ui/settings/SettingsSwitch.h"

#include "ui/Palette.h"
#include "ui/settings/SettingsStyle.h"

#include <QPainter>

SettingsSwitch::SettingsSwitch(QWidget* parent)
    : QAbstractButton(parent) {
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize SettingsSwitch::sizeHint() const {
    return {32, 19};
}

void SettingsSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = track.height() / 2;
    QColor trackColor = isChecked() ? Palette::blue() : QColor::fromRgbF(1, 1, 1, 0.2f);
    if (!isEnabled())
        trackColor.setAlphaF(trackColor.alphaF() * 0.5f);
    p.setPen(Qt::NoPen);
    p.setBrush(trackColor);
    p.drawRoundedRect(track, radius, radius);

    const qreal knob = track.height() - 3;
    const qreal x = isChecked() ? track.right() - 1.5 - knob : track.left() + 1.5;
    p.setBrush(QColor(255, 255, 255, isEnabled() ? 255 : 160));
    p.drawEllipse(QRectF(x, track.top() + 1.5, knob, knob));
    if (hasFocus()) {
        p.setPen(QPen(Palette::cyan(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(track, radius, radius);
    }
}
