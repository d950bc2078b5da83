#include "ui/settings/SettingsTabBar.h"

#include "ui/Palette.h"
#include "ui/settings/SettingsStyle.h"
#include "ui/settings/SettingsSymbols.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>

QList<SettingsSection> SettingsSections::all() {
    return {SettingsSection::General, SettingsSection::Screenshots, SettingsSection::Clipboard,
            SettingsSection::Shortcuts, SettingsSection::About};
}

QString SettingsSections::title(SettingsSection section) {
    switch (section) {
    case SettingsSection::General:
        return QCoreApplication::translate("SettingsSections", "General");
    case SettingsSection::Screenshots:
        return QCoreApplication::translate("SettingsSections", "Screenshots");
    case SettingsSection::Clipboard:
        return QCoreApplication::translate("SettingsSections", "Clipboard");
    case SettingsSection::Shortcuts:
        return QCoreApplication::translate("SettingsSections", "Shortcuts");
    case SettingsSection::About:
        break;
    }
    return QCoreApplication::translate("SettingsSections", "About");
}

QString SettingsSections::symbol(SettingsSection section) {
    switch (section) {
    case SettingsSection::General:
        return QStringLiteral("gearshape.fill");
    case SettingsSection::Screenshots:
        return QStringLiteral("photo");
    case SettingsSection::Clipboard:
        return QStringLiteral("paperclip");
    case SettingsSection::Shortcuts:
        return QStringLiteral("keyboard");
    case SettingsSection::About:
        break;
    }
    return QStringLiteral("info.circle");
}

namespace {
class TabButton : public QAbstractButton {
public:
    TabButton(SettingsSection section, QWidget* parent)
        : QAbstractButton(parent)
        , m_symbol(SettingsSections::symbol(section)) {
        setCheckable(true);
        setFixedSize(40, 26);
        setFocusPolicy(Qt::TabFocus);
        // One choice of several: the arrow keys move between the sections and
        // a screen reader calls them radio buttons.
        setAutoExclusive(true);
        setCursor(Qt::PointingHandCursor);
        setToolTip(SettingsSections::title(section));
        setAccessibleName(SettingsSections::title(section));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (isChecked()) {
            QLinearGradient gradient(0, 0, width(), 0);
            gradient.setColorAt(0, Palette::blue());
            gradient.setColorAt(1, Palette::violet());
            p.setPen(Qt::NoPen);
            p.setBrush(gradient);
            p.drawRoundedRect(QRectF(rect()), 8, 8);
        }
        // System 13 semibold symbols are about 15 points tall.
        const int size = 15;
        const QColor color = isChecked() ? QColor(Qt::white) : Palette::textDim();
        const QPixmap pm = SettingsSymbols::pixmap(m_symbol, size, color, devicePixelRatioF());
        p.drawPixmap(QPointF((width() - size) / 2.0, (height() - size) / 2.0), pm);
        if (hasFocus()) {
            p.setPen(QPen(Palette::cyan(), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        }
    }

private:
    QString m_symbol;
};
} // namespace

SettingsTabBar::SettingsTabBar(QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(0);
    m_group->setExclusive(true);
    for (SettingsSection section : SettingsSections::all()) {
        auto* button = new TabButton(section, this);
        m_group->addButton(button, static_cast<int>(section));
        layout->addWidget(button);
    }
    m_group->button(static_cast<int>(m_section))->setChecked(true);
    connect(m_group, &QButtonGroup::idClicked, this,
            [this](int id) { Q_EMIT sectionClicked(static_cast<SettingsSection>(id)); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SettingsTabBar::setSection(SettingsSection section) {
    m_section = section;
    m_group->button(static_cast<int>(section))->setChecked(true);
}

void SettingsTabBar::focusSection() {
    m_group->button(static_cast<int>(m_section))->setFocus(Qt::OtherFocusReason);
}

void SettingsTabBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF capsule = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = capsule.height() / 2;
    p.setBrush(QColor::fromRgbF(0, 0, 0, 0.25f));
    p.setPen(QPen(Palette::hairline(), 1));
    p.drawRoundedRect(capsule, radius, radius);
}
