#pragma once

#include <QVariantAnimation>
#include <QWidget>

class Toast;

// Shows the toast's message as a green pill near the bottom of the card,
// fading in and out. It never takes the pointer.
class ToastOverlay : public QWidget {
    Q_OBJECT

public:
    explicit ToastOverlay(Toast& toast, QWidget* parent = nullptr);
    QString shownText() const { return m_text; }
    bool isShowingPill() const { return !m_text.isEmpty() && m_opacity > 0; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void onMessageChanged();

    Toast& m_toast;
    QString m_text;
    qreal m_opacity = 0;
    QVariantAnimation m_fade;
};
