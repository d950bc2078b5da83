#include "ui/QuickLook.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {
// A text preview shows at most this much; the rest stays in the file.
constexpr qint64 maxTextBytes = 2 * 1024 * 1024;
// Larger pictures are not decoded for a preview.
constexpr int maxImagePixels = 20000 * 20000;

bool looksLikeText(const QString& path) {
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    return type.inherits(QStringLiteral("text/plain"));
}
} // namespace

QuickLook::QuickLook(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setWindowTitle(tr("Quick Look"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);

    m_image = new QLabel;
    m_image->setAlignment(Qt::AlignCenter);
    m_pages->addWidget(m_image);

    m_text = new QPlainTextEdit;
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_pages->addWidget(m_text);

    auto* filePage = new QWidget;
    auto* fileLayout = new QVBoxLayout(filePage);
    fileLayout->setContentsMargins(24, 24, 24, 24);
    fileLayout->setSpacing(10);
    m_fileIcon = new QLabel;
    m_fileIcon->setAlignment(Qt::AlignCenter);
    m_fileName = new QLabel;
    m_fileName->setAlignment(Qt::AlignCenter);
    m_fileName->setWordWrap(true);
    m_open = new QPushButton(tr("Open"));
    fileLayout->addStretch();
    fileLayout->addWidget(m_fileIcon);
    fileLayout->addWidget(m_fileName);
    fileLayout->addWidget(m_open, 0, Qt::AlignHCenter);
    fileLayout->addStretch();
    m_pages->addWidget(filePage);
    connect(m_open, &QPushButton::clicked, this, [this] { QDesktopServices::openUrl(m_url); });
}

void QuickLook::preview(const QUrl& url) {
    load(url);
    show();
    raise();
    activateWindow();
}

QString QuickLook::mode() const {
    switch (m_pages->currentIndex()) {
    case 0:
        return QStringLiteral("image");
    case 1:
        return QStringLiteral("text");
    default:
        return QStringLiteral("file");
    }
}

void QuickLook::load(const QUrl& url) {
    m_url = url;
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    setWindowTitle(info.fileName().isEmpty() ? tr("Quick Look") : info.fileName());
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 0.85 : QSize(1024, 768);

    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize imageSize = reader.size();
    if (reader.canRead() && imageSize.isValid() &&
        qint64(imageSize.width()) * imageSize.height() <= maxImagePixels) {
        QSize fitted = imageSize;
        if (fitted.width() > room.width() || fitted.height() > room.height())
            fitted.scale(room, Qt::KeepAspectRatio);
        reader.setScaledSize(fitted);
        const QImage image = reader.read();
        if (!image.isNull()) {
            m_image->setPixmap(QPixmap::fromImage(image));
            m_pages->setCurrentIndex(0);
            resize(image.size());
            return;
        }
    }
    if (info.isFile() && looksLikeText(path)) {
        QFile f(path);
        QByteArray bytes;
        if (f.open(QIODevice::ReadOnly))
            bytes = f.read(maxTextBytes);
        m_text->setPlainText(QString::fromUtf8(bytes));
        m_pages->setCurrentIndex(1);
        resize(QSize(640, 480).boundedTo(room));
        return;
    }
    m_fileIcon->setPixmap(QFileIconProvider().icon(info).pixmap(96, 96));
    m_fileName->setText(info.fileName().isEmpty() ? path : info.fileName());
    m_open->setEnabled(info.exists());
    m_pages->setCurrentIndex(2);
    resize(320, 260);
}

void QuickLook::keyPressEvent(QKeyEvent* event) {
    // Space and Escape close the preview, as they opened or cancel it.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

void QuickLook::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    Q_EMIT closed();
}
