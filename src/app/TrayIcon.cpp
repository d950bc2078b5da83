#include "app/TrayIcon.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QSvgRenderer>
#include <QSystemTrayIcon>

namespace {
const QString paperclipPath = QStringLiteral(":/icons/paperclip.svg");
// Installed into the icon theme: named rather than painted, the tray host
// draws it in its own panel's text colour, on light and dark panels alike.
const QString symbolicName = QStringLiteral("com.ovo.quillet-symbolic");

// The glyph in one colour: the SVG is drawn as a mask and filled.
QImage tintedGlyph(QSvgRenderer& svg, int side, const QColor& colour) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, side, side));
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(image.rect(), colour);
    return image;
}
} // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this)) {
    refreshIcon();
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { activated(reason); });
}

TrayIcon::~TrayIcon() = default;

void TrayIcon::show() {
    m_tray->show();
}

bool TrayIcon::isVisible() const {
    return m_tray->isVisible();
}

void TrayIcon::setTitle(const QString& title) {
    const bool changed = title != m_title;
    m_title = title;
    if (changed)
        refreshIcon();
    Q_EMIT titleChanged();
}

QString TrayIcon::toolTip() const {
    return m_tray->toolTip();
}

void TrayIcon::setNotice(const QString& notice) {
    m_notice = notice;
    refreshIcon();
}

QIcon TrayIcon::icon() const {
    return m_tray->icon();
}

QPixmap TrayIcon::render(int side, const QString& badge) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer svg(paperclipPath);
    if (svg.isValid()) {
        // A light glyph with a dark halo reads on light and dark panels alike.
        const QImage halo = tintedGlyph(svg, side, QColor(0, 0, 0, 150));
        for (const QPoint d : {QPoint(-1, 0), QPoint(1, 0), QPoint(0, -1), QPoint(0, 1)})
            p.drawImage(d, halo);
        p.drawImage(0, 0, tintedGlyph(svg, side, QColor::fromRgbF(0.93f, 0.96f, 1.0f)));
    }
    const QString count = badge.trimmed();
    if (!count.isEmpty()) {
        QFont font;
        font.setBold(true);
        font.setPixelSize(std::max(7, side * 9 / 16));
        const QFontMetrics fm(font);
        const int h = fm.height();
        const int w = std::min(side, std::max(h, fm.horizontalAdvance(count) + h / 2));
        const QRectF pill(side - w, side - h, w, h);
        QPainterPath path;
        path.addRoundedRect(pill, h / 2.0, h / 2.0);
        p.fillPath(path, QColor::fromRgbF(0.42f, 0.54f, 0.96f));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(pill, Qt::AlignCenter, count);
    }
    p.end();
    return QPixmap::fromImage(image);
}

void TrayIcon::refreshIcon() {
    QIcon icon;
    // A count can only be painted, over Quillet's own glyph.
    if (m_title.trimmed().isEmpty() && QIcon::hasThemeIcon(symbolicName)) {
        icon = QIcon::fromTheme(symbolicName);
    } else {
        for (int side : {16, 22, 24, 32, 48, 64})
            icon.addPixmap(render(side, m_title));
    }
    m_tray->setIcon(icon);
    m_tray->setToolTip(QStringLiteral("Quillet") + m_title +
                       (m_notice.isEmpty() ? QString() : u'\n' + m_notice));
}

void TrayIcon::activated(int reason) {
    // The pointer now is where the click was; later it may have moved on.
    m_clickPos = QCursor::pos();
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        Q_EMIT leftClicked();
        break;
    case QSystemTrayIcon::Context:
        Q_EMIT rightClicked();
        break;
    default:
        break;
    }
    m_clickPos.reset();
}

std::optional<QRect> TrayIcon::anchorRect() const {
    QScreen* screen = m_clickPos ? QGuiApplication::screenAt(*m_clickPos) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return anchorFor(m_tray->geometry(), m_clickPos, screen ? screen->geometry() : QRect());
}

std::optional<QRect> TrayIcon::anchorFor(const QRect& trayGeometry,
                                         const std::optional<QPoint>& click, const QRect& screen) {
    if (trayGeometry.isValid() && !trayGeometry.isEmpty())
        return trayGeometry;
    if (!click)
        return std::nullopt;
    if (!screen.isValid())
        return QRect(*click, QSize(1, 1));
    const QPoint p(std::clamp(click->x(), screen.left(), screen.right()),
                   std::clamp(click->y(), screen.top(), screen.bottom()));
    return QRect(p, QSize(1, 1));
}
