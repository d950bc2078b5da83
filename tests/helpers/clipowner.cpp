// Another application for the clipboard tests: owns the X11 CLIPBOARD with
// several representations at once, which xclip cannot offer.
//
//   clipowner [--hang] TYPE=VALUE...
//   clipowner --sequence COUNT INTERVAL_MS PREFIX
//
// VALUE is the text itself, or @PATH for a file's bytes. Prints "owned" once
// it owns the clipboard and exits when another client takes it over. With
// --hang it then stops serving, like an application that froze. With
// --sequence it copies PREFIX0, PREFIX1, … every INTERVAL_MS, prints "done"
// and keeps serving the last one.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    bool hang = false;
    auto* mime = new QMimeData;
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 4 && args[0] == QLatin1String("--sequence")) {
        const int count = args[1].toInt();
        const QString prefix = args[3];
        QTimer timer;
        int next = 0;
        QObject::connect(&timer, &QTimer::timeout, &app, [&] {
            auto* text = new QMimeData;
            text->setText(prefix + QString::number(next));
            QGuiApplication::clipboard()->setMimeData(text, QClipboard::Clipboard);
            if (++next == count) {
                timer.stop();
                std::puts("done");
                std::fflush(stdout);
            }
        });
        timer.setTimerType(Qt::PreciseTimer);
        timer.start(args[2].toInt());
        return app.exec();
    }
    for (const QString& arg : args) {
        if (arg == QLatin1String("--hang")) {
            hang = true;
            continue;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return 2;
        const QString type = arg.left(eq);
        const QString value = arg.mid(eq + 1);
        QByteArray bytes = value.toUtf8();
        if (value.startsWith(QLatin1Char('@'))) {
            QFile f(value.mid(1));
            if (!f.open(QIODevice::ReadOnly))
                return 2;
            bytes = f.readAll();
        }
        if (type == QLatin1String("text/plain"))
            mime->setText(QString::fromUtf8(bytes));
        else
            mime->setData(type, bytes);
    }
    QClipboard* cb = QGuiApplication::clipboard();
    cb->setMimeData(mime, QClipboard::Clipboard);
    QObject::connect(cb, &QClipboard::dataChanged, &app, [cb] {
        if (!cb->ownsClipboard())
            QCoreApplication::quit();
    });
    // Announce ownership once the X server has it.
    QTimer::singleShot(0, &app, [cb, hang] {
        if (!cb->ownsClipboard())
            QCoreApplication::exit(3);
        std::puts("owned");
        std::fflush(stdout);
        if (hang)
            QThread::sleep(120);
    });
    return app.exec();
}
