#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

// Quillet's preview window, showing one file at a time.
// Images are fitted to the screen, text files shown in a scroll view, and
// anything else as its icon, name and an "Open" button. Showing another file
// while it is open replaces the content.
class QuickLook : public QWidget {
    Q_OBJECT

public:
    explicit QuickLook(QWidget* parent = nullptr);

    // Previews `url` and brings the window to the front.
    void preview(const QUrl& url);

    QUrl url() const { return m_url; }
    // Which page the window shows for the current file: "image", "text" or "file".
    QString mode() const;

Q_SIGNALS:
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void load(const QUrl& url);

    QUrl m_url;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_image = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_fileIcon = nullptr;
    QLabel* m_fileName = nullptr;
    QPushButton* m_open = nullptr;
};
