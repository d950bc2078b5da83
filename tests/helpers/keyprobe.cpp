// keyprobe NAME: a window of another process that prints "ready
// WINDOW-ID", then each key ("press V ctrl+shift", "release V ctrl"), and on
// the paste chord the clipboard's text ("pasted TEXT").
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

#include <cstdio>

namespace {
class Probe : public QWidget {
protected:
    void keyPressEvent(QKeyEvent* event) override {
        report("press", event);
        if (event->key() == Qt::Key_V && (event->modifiers() & Qt::ControlModifier)) {
            const QString text = QGuiApplication::clipboard()->text();
            std::printf("pasted %s\n", qPrintable(QString(text).replace(u'\n', u'|')));
            std::fflush(stdout);
        }
    }
    void keyReleaseEvent(QKeyEvent* event) override { report("release", event); }

private:
    static void report(const char* what, QKeyEvent* event) {
        QStringList mods;
        if (event->modifiers() & Qt::ControlModifier)
            mods << QStringLiteral("ctrl");
        if (event->modifiers() & Qt::ShiftModifier)
            mods << QStringLiteral("shift");
        const QString key = QKeySequence(event->key()).toString(QKeySequence::PortableText);
        std::printf("%s %s %s\n", what, qPrintable(key), qPrintable(mods.join(u'+')));
        std::fflush(stdout);
    }
};
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // NAME is the X11 window class and the Wayland app_id.
    if (argc > 1) {
        QApplication::setApplicationName(QString::fromLocal8Bit(argv[1]));
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            QApplication::setDesktopFileName(QString::fromLocal8Bit(argv[1]));
    }
    Probe probe;
    probe.setWindowTitle(QStringLiteral("keyprobe"));
    probe.resize(200, 100);
    probe.show();
    std::printf("ready %llu\n", static_cast<unsigned long long>(probe.winId()));
    std::fflush(stdout);
    return app.exec();
}
