#include "ui/panel/ClipPreviewPopover.h"

#include "ui/Palette.h"
#include "ui/panel/PanelStyle.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int maxImageWidth = 440;
constexpr int maxImageHeight = 400;

QImage loadFitted(const QString& path, qreal dpr) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > 20000LL * 20000LL)
        return {};
    size.scale(size.boundedTo(QSize(maxImageWidth, maxImageHeight)), Qt::KeepAspectRatio);
    reader.setScaledSize(size * dpr);
    QImage image = reader.read();
    image.setDevicePixelRatio(dpr);
    return image;
}
} // namespace

ClipPreviewPopover::ClipPreviewPopover(const ClipItem& item, QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("clipPreview"));
    setStyleSheet(QStringLiteral("#clipPreview { background: #1d2333; border: 1px solid %1; "
                                 "border-radius: 8px; }")
                      .arg(Palette::hairline().name(QColor::HexArgb)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    QImage image;
    if (item.kind == ClipKind::image && item.blobPath)
        image = loadFitted(*item.blobPath, devicePixelRatioF());
    if (!image.isNull()) {
        auto* label = new QLabel;
        label->setPixmap(QPixmap::fromImage(image));
        layout->addWidget(label);
        m_showsImage = true;
        return;
    }
    auto* text = new QPlainTextEdit;
    text->setObjectName(QStringLiteral("previewText"));
    text->setReadOnly(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setFont(PanelStyle::monoFont(12));
    text->setFixedSize(380, 280);
    text->document()->setDocumentMargin(10);
    text->setFrameShape(QFrame::NoFrame);
    QPalette pal = text->palette();
    pal.setColor(QPalette::Base, Qt::transparent);
    pal.setColor(QPalette::Text, Palette::ink());
    text->setPalette(pal);
    text->setPlainText(item.text.value_or(QString()));
    layout->addWidget(text);
}

void ClipPreviewPopover::popup(const QRect& rowInGlobal) {
    adjustSize();
    QPoint pos(rowInGlobal.right() + 4, rowInGlobal.center().y() - height() / 2);
    if (const QScreen* screen = QGuiApplication::screenAt(rowInGlobal.center())) {
        const QRect v = screen->availableGeometry();
        pos.setY(qBound(v.top(), pos.y(), v.bottom() - height()));
        if (pos.x() + width() > v.right())
            pos.setX(qMax(v.left(), rowInGlobal.left() - width() - 4));
    }
    move(pos);
    show();
}
