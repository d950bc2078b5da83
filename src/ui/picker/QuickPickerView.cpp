#include "ui/picker/QuickPickerView.h"
#include "ui/PanelFormat.h"

#include "history/ClipItem.h"
#include "ui/PaintedItemsAccessible.h"
#include "ui/Palette.h"
#include "ui/picker/QuickPickerModel.h"

#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <algorithm>

namespace {
// Layout sizes are device-independent pixels; Qt's point sizes assume 96 dpi.
QFont uiFont(qreal pixels, QFont::Weight weight) {
    QFont f;
    f.setPointSizeF(pixels * 72.0 / 96.0);
    f.setWeight(weight);
    return f;
}

constexpr int footerHeight(int viewHeight, int rows) {
    return viewHeight - 2 * QuickPickerView::padding - rows * QuickPickerView::rowPitch;
}
} // namespace

QuickPickerView::QuickPickerView(QuickPickerModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_allHistory(new QPushButton(tr("All history…"), this)) {
    m_allHistory->setFlat(true);
    m_allHistory->setFocusPolicy(Qt::NoFocus);
    m_allHistory->setCursor(Qt::PointingHandCursor);
    m_allHistory->setFont(uiFont(10, QFont::Bold));
    m_allHistory->setStyleSheet(
        QStringLiteral("QPushButton { border: none; background: transparent; color: %1; padding: "
                       "0; }")
            .arg(Palette::cyan().name()));
    m_allHistory->adjustSize();
    connect(m_allHistory, &QPushButton::clicked, this, &QuickPickerView::allHistoryClicked);
    connect(&m_model, &QuickPickerModel::itemsChanged, this, [this] {
        m_thumbnails.clear();
        m_appIcons.clear();
        update();
    });
    setAccessibleName(tr("Recent clips"));
    PaintedItemsAccessible::install();
    connect(&m_model, &QuickPickerModel::selectionChanged, this, [this] {
        update();
        // A screen reader follows the highlight as it does a focused row.
        if (QAccessible::isActive() && m_model.selection() < m_model.items().size()) {
            QAccessibleEvent moved(this, QAccessible::Focus);
            moved.setChild(int(m_model.selection()));
            QAccessible::updateAccessibility(&moved);
        }
    });
}

int QuickPickerView::paintedItemCount() const {
    return int(m_model.items().size());
}

QString QuickPickerView::paintedItemName(int index) const {
    return clipRowTitle(m_model.items().at(index)).replace(u'\n', u' ');
}

bool QuickPickerView::paintedItemSelected(int index) const {
    return m_model.selection() == index;
}

int QuickPickerView::heightFor(qsizetype itemCount) {
    return int(std::max<qsizetype>(itemCount, 1)) * rowPitch + chromeHeight;
}

QRect QuickPickerView::rowRect(int index) const {
    return {padding, padding + index * rowPitch, width - 2 * padding, rowHeight};
}

int QuickPickerView::rowAt(QPoint pos) const {
    for (int i = 0; i < m_model.items().size(); ++i) {
        if (rowRect(i).contains(pos))
            return i;
    }
    return -1;
}

void QuickPickerView::resizeEvent(QResizeEvent*) {
    const int rows = int(std::max<qsizetype>(m_model.items().size(), 1));
    const int top = padding + rows * rowPitch;
    const int h = footerHeight(height(), rows);
    const QSize b = m_allHistory->sizeHint();
    m_allHistory->setGeometry(QWidget::width() - padding - 10 - b.width(),
                              top + 6 + (h - 8 - b.height()) / 2, b.width(), b.height());
}

void QuickPickerView::mousePressEvent(QMouseEvent* event) {
    const int row = rowAt(event->position().toPoint());
    if (row >= 0 && event->button() == Qt::LeftButton) {
        Q_EMIT rowClicked(row);
        return;
    }
    QWidget::mousePressEvent(event);
}

void QuickPickerView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    // A near-opaque underlay keeps the text readable over any desktop, with or
    // without a compositor; the tinted layer above it gives the picker its colour.
    p.fillPath(shape, QColor(12, 16, 28, 235));
    p.fillPath(shape, QColor::fromRgbF(0.03f, 0.07f, 0.16f, 0.6f));

    const ClipItemList& items = m_model.items();
    if (items.isEmpty()) {
        p.setFont(uiFont(12, QFont::Medium));
        p.setPen(Palette::textDim());
        p.drawText(QRect(padding, padding, QWidget::width() - 2 * padding, 40), Qt::AlignCenter,
                   tr("Nothing copied yet"));
    }
    for (int i = 0; i < items.size(); ++i)
        paintRow(p, i, items.at(i));

    const int rows = int(std::max<qsizetype>(items.size(), 1));
    const int top = padding + rows * rowPitch;
    const QRect hint(padding + 10, top + 6, QWidget::width() - 2 * padding - 20,
                     footerHeight(height(), rows) - 8);
    p.setFont(uiFont(9.5, QFont::Medium));
    p.setPen(Palette::textDim());
    p.drawText(hint, Qt::AlignLeft | Qt::AlignVCenter, tr("↩ copy · esc close"));

    QPainterPath border;
    border.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                          cornerRadius - 0.5);
    p.strokePath(border, QPen(Palette::white(0.22f), 1));
}

void QuickPickerView::paintRow(QPainter& p, int index, const ClipItem& item) {
    const QRect r = rowRect(index);
    const bool selected = index == m_model.selection();
    if (selected) {
        QLinearGradient g(r.topLeft(), r.topRight());
        QColor from = Palette::blue();
        QColor to = Palette::violet();
        from.setAlphaF(0.85f);
        to.setAlphaF(0.85f);
        g.setColorAt(0, from);
        g.setColorAt(1, to);
        QPainterPath path;
        path.addRoundedRect(r, 9, 9);
        p.fillPath(path, g);
    }

    int x = r.x() + 8;
    p.setFont(uiFont(10.5, QFont::Bold));
    p.setPen(selected ? Palette::white(0.9f) : Palette::textDim());
    p.drawText(QRect(x, r.y(), 14, r.height()), Qt::AlignCenter, QString::number(index + 1));
    x += 14 + 9;

    paintKindMark(p, QRect(x, r.y() + (r.height() - 26) / 2, 26, 26), item);
    x += 26 + 9;

    const QIcon icon = item.sourceApp ? appIcon(*item.sourceApp) : QIcon();
    const int right = r.right() - 8 - (icon.isNull() ? 0 : 14 + 9);

    const QFont titleFont = uiFont(12, QFont::Medium);
    p.setFont(titleFont);
    p.setPen(selected ? QColor(Qt::white) : Palette::ink());
    // The panel's title on one line: a row here has room for one.
    const QString title = QFontMetrics(titleFont).elidedText(
        clipRowTitle(item).replace(u'\n', u' '), Qt::ElideRight, right - x);
    p.drawText(QRect(x, r.y(), right - x, r.height()), Qt::AlignLeft | Qt::AlignVCenter, title);

    if (!icon.isNull()) {
        p.setOpacity(selected ? 1.0 : 0.7);
        icon.paint(&p, QRect(right + 9, r.y() + (r.height() - 14) / 2, 14, 14));
        p.setOpacity(1.0);
    }
}

QIcon QuickPickerView::appIcon(const QString& appId) {
    if (!m_appIcon)
        return {};
    auto it = m_appIcons.find(appId);
    if (it == m_appIcons.end())
        it = m_appIcons.insert(appId, m_appIcon(appId));
    return *it;
}

const QImage& QuickPickerView::thumbnail(const ClipItem& item) {
    auto it = m_thumbnails.find(item.id);
    if (it != m_thumbnails.end())
        return *it;
    QImage image;
    if (item.thumbPath && QFile::exists(*item.thumbPath)) {
        // Thumbnails are small (640 px at most); decoding at full size and
        // scaling here also suits palette PNGs, which Qt's scaled decoding garbles.
        QImageReader reader(*item.thumbPath);
        reader.setAllocationLimit(64);
        const QImage full = reader.read();
        if (!full.isNull())
            image = full.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                        .scaled(QSize(26, 26) * devicePixelRatio(), Qt::KeepAspectRatioByExpanding,
                                Qt::SmoothTransformation);
    }
    return *m_thumbnails.insert(item.id, image);
}

void QuickPickerView::paintKindMark(QPainter& p, const QRect& box, const ClipItem& item) {
    QPainterPath shape;
    shape.addRoundedRect(QRectF(box), 6, 6);
    const QImage& image = thumbnail(item);
    if (!image.isNull()) {
        p.save();
        p.setClipPath(shape);
        const QRect target =
            QRect(QPoint(), image.size().scaled(box.size(), Qt::KeepAspectRatioByExpanding));
        p.drawImage(QRect(box.center() - target.center(), target.size()), image);
        p.restore();
        QPainterPath border;
        border.addRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 5.5, 5.5);
        p.strokePath(border, QPen(Palette::hairline(), 1));
        return;
    }
    p.fillPath(shape, Palette::fill());
    const QString symbolPath = QStringLiteral(":/icons/%1.svg").arg(clipKindSymbol(item.kind));
    if (QFile::exists(symbolPath)) {
        const QIcon symbol(symbolPath);
        const QPixmap pm = symbol.pixmap(QSize(12, 12), devicePixelRatio());
        QPixmap tinted(pm.size());
        tinted.setDevicePixelRatio(pm.devicePixelRatio());
        tinted.fill(Qt::transparent);
        QPainter tp(&tinted);
        tp.drawPixmap(0, 0, pm);
        tp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tp.fillRect(tinted.rect(), Palette::textSecondary());
        tp.end();
        p.drawPixmap(QRect(box.center() - QPoint(6, 6), QSize(12, 12)), tinted);
    }
}
