#pragma once

#include <QWidget>

class Toast;
class ToastOverlay;

// The translucent card a tab is drawn on, with the toast overlay above the
// tab's content.
class PanelCard : public QWidget {
    Q_OBJECT

public:
    PanelCard(QWidget* content, Toast& toast, QWidget* parent = nullptr);
    ToastOverlay& toastOverlay() const { return *m_overlay; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* m_content;
    ToastOverlay* m_overlay;
};
