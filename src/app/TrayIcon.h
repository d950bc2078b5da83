#pragma once

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

#include <optional>

class QSystemTrayIcon;

// Quillet's item in the desktop's tray: the paperclip, with the unseen
// screenshot count painted onto it (a tray item has no title text of its
// own) and repeated in the tooltip. Reports left and right clicks with the
// pointer position taken at the click, for hosts that do not tell where the
// item is.
class TrayIcon : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)

public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    void show();
    bool isVisible() const;
    QSystemTrayIcon& systemTrayIcon() const { return *m_tray; }

    // Empty, or the badge text: a space and the count (" 3").
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    QString toolTip() const;
    // A message that stays in the tooltip, for when the desktop shows no notifications.
    void setNotice(const QString& notice);
    QIcon icon() const;

    // Where the panel hangs from: the item's own rectangle when the tray host
    // reports one, else, while a click on the item is being handled, a
    // point-sized rectangle at the click, kept on its screen. Nothing
    // otherwise: an older click says nothing about where the item is now.
    std::optional<QRect> anchorRect() const;
    static std::optional<QRect> anchorFor(const QRect& trayGeometry,
                                          const std::optional<QPoint>& click, const QRect& screen);

    // The paperclip with `badge` (may be empty) drawn into it at `side` pixels.
    static QPixmap render(int side, const QString& badge);

Q_SIGNALS:
    void titleChanged();
    void leftClicked();
    void rightClicked();

private:
    void activated(int reason);
    void refreshIcon();

    QSystemTrayIcon* m_tray;
    QString m_title;
    QString m_notice;
    std::optional<QPoint> m_clickPos;
};
