#include "ui/panel/ToastOverlay.h"

#include "ui/Palette.h"
#include "ui/Toast.h"
#include "ui/panel/PanelStyle.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
QFont toastFont() {
    static const QFont f = PanelStyle::font(12, QFont::Bold);
    return f;
}
} // namespace

ToastOverlay::ToastOverlay(Toast& toast, QWidget* parent)
    : QWidget(parent)
    , m_toast(toast) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    m_fade.setDuration(150);
    m_fade.setEasingCurve(QEasingCurve::OutCubic);
    connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
        m_opacity = v.toReal();
        update();
    });
    connect(&m_fade, &QVariantAnimation::finished, this, [this] {
        if (m_toast.message().isEmpty())
            m_text.clear();
    });
    connect(&m_toast, &Toast::messageChanged, this, &ToastOverlay::onMessageChanged);
    onMessageChanged();
}

void ToastOverlay::onMessageChanged() {
    const QString message = m_toast.message();
    m_fade.stop();
    if (!message.isEmpty()) {
        m_text = message;
        m_fade.setStartValue(m_opacity);
        m_fade.setEndValue(1.0);
    } else {
        m_fade.setStartValue(m_opacity);
        m_fade.setEndValue(0.0);
    }
    m_fade.start();
    update();
}

void ToastOverlay::paintEvent(QPaintEvent*) {
    if (m_text.isEmpty() || m_opacity <= 0)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(m_opacity);
    const QFontMetricsF fm(toastFont());
    const QSizeF pill(fm.horizontalAdvance(m_text) + 28, fm.height() + 14);
    const QRectF r((width() - pill.width()) / 2, height() - 12 - pill.height(), pill.width(),
                   pill.height());
    PanelStyle::drawShadow(p, r, pill.height() / 2, 0.3, 5, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(Palette::green());
    p.drawRoundedRect(r, r.height() / 2, r.height() / 2);
    p.setFont(toastFont());
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, m_text);
}
