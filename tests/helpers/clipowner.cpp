// Another application owning the X11 CLIPBOARD with several types at once:
//   clipowner [OPTION...] TYPE=VALUE...   (VALUE: the text, or @PATH for a file)
// Prints "owned" once it owns it; exits when another client takes it over or
// on "quit" from standard input (a normal exit, which a manager may answer).
//   --hang         stop serving once owning, like a frozen application
//   --wait         print "asked TYPE" for a non-text type; answer after a line on stdin
//   --pace MS      serve every type in pieces over about MS ms, printing "served TYPE"
//   --then TEXT    once image/png has been asked for, copy TEXT instead
//   --tell         print "served TYPE" as each type is handed over (bench/peers
//                  times a clipboard manager's read by it)
//   --understate   with --pace, announce every size as one byte (a hostile owner)
//   clipowner --sequence COUNT INTERVAL_MS PREFIX
//                  copies PREFIX0, PREFIX1, … every INTERVAL_MS, prints "done" and
//                  keeps serving the last one (the capture benchmark's burst);
//                  prints "started" as its timer starts
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMimeData>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

namespace {
class HelperMime : public QMimeData {
public:
    bool wait = false;
    bool tell = false;
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
        if (tell) {
            std::printf("served %s\n", qPrintable(mime));
            std::fflush(stdout);
        }
        return QMimeData::retrieveData(mime, type);
    }
};

xcb_atom_t intern(xcb_connection_t* c, const QByteArray& name) {
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

// Qt's owner sends as fast as it can: this one, on its own X connection, sends
// every type incrementally. Returns once another client takes over.
int runSlowOwner(const QMimeData& offer, int totalMs, bool understate) {
    constexpr int kChunk = 64 * 1024;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 3;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0, nullptr);
    const xcb_atom_t clipboard = intern(c, "CLIPBOARD");
    const xcb_atom_t targets = intern(c, "TARGETS");
    const xcb_atom_t incr = intern(c, "INCR");
    QHash<xcb_atom_t, QString> types;
    qsizetype chunks = 0;
    for (const QString& type : offer.formats()) {
        types.insert(intern(c, type.toLatin1()), type);
        chunks += offer.data(type).size() / kChunk + 1;
    }
    const auto pauseMs = (unsigned long)(totalMs / std::max<qsizetype>(1, chunks));

    xcb_set_selection_owner(c, window, clipboard, XCB_CURRENT_TIME);
    // A round trip: the test's first request must find us the owner.
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr);
    const bool owned = owner && owner->owner == window;
    std::free(owner);
    if (!owned)
        return 4;
    std::puts("owned");
    std::fflush(stdout);

    struct Transfer {
        xcb_window_t requestor;
        xcb_atom_t property, type;
        QByteArray bytes;
        qsizetype sent = 0;
        bool done = false;
    };
    QList<Transfer> transfers;
    while (xcb_generic_event_t* e = xcb_wait_for_event(c)) {
        const uint8_t kind = e->response_type & ~0x80;
        if (kind == XCB_SELECTION_CLEAR) {
            std::free(e);
            break;
        }
        if (kind == XCB_SELECTION_REQUEST) {
            auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
            xcb_selection_notify_event_t n{
                XCB_SELECTION_NOTIFY, 0,         0,          r->time, r->requestor,
                r->selection,         r->target, r->property};
            if (r->target == targets) {
                QList<xcb_atom_t> atoms = types.keys();
                atoms.append(targets);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property,
                                    XCB_ATOM_ATOM, 32, uint32_t(atoms.size()), atoms.constData());
            } else if (types.contains(r->target)) {
                const QByteArray bytes = offer.data(types.value(r->target));
                const uint32_t announced = understate ? 1 : uint32_t(bytes.size());
                const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(c, r->requestor, XCB_CW_EVENT_MASK, &events);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, r->requestor, r->property, incr, 32,
                                    1, &announced);
                transfers.append({r->requestor, r->property, r->target, bytes});
            } else {
                n.property = XCB_ATOM_NONE;
            }
            xcb_send_event(c, 0, r->requestor, 0, reinterpret_cast<const char*>(&n));
            xcb_flush(c);
        } else if (kind == XCB_PROPERTY_NOTIFY) {
            auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
            for (Transfer& t : transfers) {
                if (t.done || p->window != t.requestor || p->atom != t.property ||
                    p->state != XCB_PROPERTY_DELETE)
                    continue;
                QThread::msleep(pauseMs);
                const qsizetype n = std::min<qsizetype>(kChunk, t.bytes.size() - t.sent);
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, t.requestor, t.property, t.type, 8,
                                    uint32_t(n), t.bytes.constData() + t.sent);
                t.sent += n;
                t.done = n == 0;
                xcb_flush(c);
                if (t.done)
                    std::printf("served %s\n", qPrintable(types.value(t.type)));
                std::fflush(stdout);
            }
            transfers.removeIf([](const Transfer& t) { return t.done; });
        }
        std::free(e);
    }
    xcb_disconnect(c);
    return 0;
}
// Where TYPE=VALUE splits: a type's parameters have '=' of their own
// (text/plain;charset=utf-8=VALUE).
qsizetype separator(const QString& arg) {
    qsizetype eq = arg.indexOf(u'=');
    while (eq >= 0) {
        const qsizetype semi = arg.lastIndexOf(u';', eq);
        if (semi < 0 || arg.indexOf(u'=', semi) != eq)
            break; // not the '=' of a parameter
        eq = arg.indexOf(u'=', eq + 1);
    }
    return eq;
}
} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    bool hang = false;
    auto* mime = new HelperMime;
    QStringList args = app.arguments().mid(1);
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
        std::puts("started");
        std::fflush(stdout);
        return app.exec();
    }
    int paceMs = -1;
    bool understate = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--hang")) {
            hang = true;
        } else if (option == QLatin1String("--wait")) {
            mime->wait = true;
        } else if (option == QLatin1String("--tell")) {
            mime->tell = true;
        } else if (option == QLatin1String("--understate")) {
            understate = true;
        } else if (option == QLatin1String("--pace") && !args.isEmpty()) {
            paceMs = args.takeFirst().toInt();
        } else if (option == QLatin1String("--then") && !args.isEmpty()) {
            mime->then = args.takeFirst();
        } else {
            return 2;
        }
    }
    for (const QString& arg : std::as_const(args)) {
        const qsizetype eq = separator(arg);
        const QString value = arg.mid(eq + 1);
        QFile file(value.mid(1));
        if (eq <= 0 || (value.startsWith(u'@') && !file.open(QIODevice::ReadOnly)))
            return 2;
        const QByteArray bytes = file.isOpen() ? file.readAll() : value.toUtf8();
        if (arg.left(eq) == QLatin1String("text/plain"))
            mime->setText(QString::fromUtf8(bytes));
        else
            mime->setData(arg.left(eq), bytes);
    }
    if (paceMs >= 0)
        return runSlowOwner(*mime, paceMs, understate);
    QClipboard* cb = QGuiApplication::clipboard();
    cb->setMimeData(mime, QClipboard::Clipboard);
    QObject::connect(cb, &QClipboard::dataChanged, &app, [cb] {
        if (!cb->ownsClipboard())
            QCoreApplication::quit();
    });
    QSocketNotifier input(fileno(stdin), QSocketNotifier::Read);
    input.setEnabled(!mime->wait);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
        std::string line;
        if (!std::getline(std::cin, line) || line == "quit") {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
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
