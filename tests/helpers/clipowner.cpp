// Another application for the clipboard tests: owns the X11 CLIPBOARD with
// several representations at once, which xclip cannot offer.
//
//   clipowner [OPTION...] TYPE=VALUE...
//
// VALUE is the text itself, or @PATH for a file's bytes. Prints "owned" once
// it owns the clipboard and exits when another client takes it over, or when
// it reads "quit" on its standard input (a normal exit: a clipboard manager
// is asked to keep the content). Options:
//   --hang          after taking the clipboard, stop serving, like a frozen application
//   --wait          print "asked TYPE" when a type other than text is requested and
//                   answer only after a line arrives on standard input (an editor
//                   that encodes on request)
//   --pace MS       serve slowly: every type in small pieces spread over about MS ms
//   --then TEXT     once the image/png data has been asked for, copy TEXT instead
//   --understate    with --pace, announce every size as one byte
#include "helpers/SlowOwner.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <iostream>
#include <string>

namespace {
class HelperMime : public QMimeData {
public:
    bool wait = false;
    QString then;

protected:
    QVariant retrieveData(const QString& mime, QMetaType type) const override {
        if (wait && !mime.startsWith(QLatin1String("text/"))) {
            std::printf("asked %s\n", qPrintable(mime));
            std::fflush(stdout);
            std::string line;
            std::getline(std::cin, line);
        }
        if (!then.isEmpty() && mime == QLatin1String("image/png")) {
            const QString text = then;
            QTimer::singleShot(0, qApp, [text] {
                auto* next = new QMimeData;
                next->setText(text);
                QGuiApplication::clipboard()->setMimeData(next, QClipboard::Clipboard);
            });
        }
        return QMimeData::retrieveData(mime, type);
    }
};
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    bool hang = false;
    auto* mime = new HelperMime;
    QStringList args = app.arguments().mid(1);
    int paceMs = -1;
    bool understate = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--hang")) {
            hang = true;
        } else if (option == QLatin1String("--wait")) {
            mime->wait = true;
        } else if (option == QLatin1String("--pace") && !args.isEmpty()) {
            paceMs = args.takeFirst().toInt();
        } else if (option == QLatin1String("--understate")) {
            understate = true;
        } else if (option == QLatin1String("--then") && !args.isEmpty()) {
            mime->then = args.takeFirst();
        } else {
            return 2;
        }
    }
    for (const QString& arg : std::as_const(args)) {
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
    if (paceMs >= 0) {
        QList<QPair<QString, QByteArray>> offer;
        for (const QString& format : mime->formats())
            offer.append({format, mime->data(format)});
        delete mime;
        return runSlowOwner(offer, paceMs, understate);
    }
    QClipboard* cb = QGuiApplication::clipboard();
    cb->setMimeData(mime, QClipboard::Clipboard);
    QObject::connect(cb, &QClipboard::dataChanged, &app, [cb] {
        if (!cb->ownsClipboard())
            QCoreApplication::quit();
    });
    QSocketNotifier input(fileno(stdin), QSocketNotifier::Read);
    if (!mime->wait) {
        QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
            std::string line;
            if (!std::getline(std::cin, line) || line == "quit") {
                input.setEnabled(false);
                QCoreApplication::quit();
            }
        });
    } else {
        input.setEnabled(false);
    }
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
