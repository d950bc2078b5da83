#include "app/CommandLine.h"

#include "app/DebugChannel.h"
#include "platform/CapabilityReport.h"
#include "platform/dbus/DBusCommandClient.h"
#include "platform/dbus/DBusCommandService.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

namespace {
enum ExitStatus { done = 0, failed = 1, usage = 2 };

int tell(const QString& line, ExitStatus status) {
    std::fprintf(stderr, "quillet: %s\n", line.toLocal8Bit().constData());
    return status;
}

int sendDebug(const QString& command) {
    switch (DebugChannel::send(command)) {
    case DebugChannel::SendResult::delivered:
        return done;
    case DebugChannel::SendResult::noReceiver:
        return tell(CommandLine::tr("Quillet is not running (nothing owns com.ovo.quillet on the "
                                    "session bus); the command was not delivered"),
                    failed);
    case DebugChannel::SendResult::noBus:
        break;
    }
    return tell(CommandLine::tr("cannot reach the session bus; the command was not delivered"),
                failed);
}
} // namespace

bool CommandLine::isCommand(const QStringList& arguments) {
    // Qt's options, each taking a value unless listed in `flags`; Qt accepts
    // them with one dash or two.
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("session"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("display"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("name"),
                                          QStringLiteral("title")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"), QStringLiteral("dograb"),
                                      QStringLiteral("sync")};
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        QString name = arguments[i];
        if (!name.startsWith(u'-'))
            return true;
        name.remove(0, name.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype eq = name.indexOf(u'=');
        if (eq >= 0)
            name.truncate(eq);
        if (withValue.contains(name)) {
            if (eq < 0)
                ++i; // its value
        } else if (!flags.contains(name)) {
            return true;
        }
    }
    return false;
}

bool CommandLine::needsWindowSystem(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--status"));
}

int CommandLine::run(const QStringList& arguments) const {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        CommandLine::tr("Clipboard history and screenshots at hand. Without options, starts "
                        "Quillet (or shows the running one's panel); with one, gives that "
                        "command to the running Quillet."));
    // Qt's own help option would also offer --help-all, for options a
    // command does not take.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  CommandLine::tr("Prints these options and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     CommandLine::tr("Prints the version and exits."));
    const QCommandLineOption togglePicker(
        QStringLiteral("toggle-picker"),
        CommandLine::tr("Opens the quick picker at the pointer, or closes it when it is open."));
    const QCommandLineOption showPanel(
        QStringLiteral("show-panel"),
        CommandLine::tr("Shows the panel on the tab given (clipboard or screenshots), else on "
                        "the tab shown last."));
    const QCommandLineOption hide(QStringLiteral("hide"),
                                  CommandLine::tr("Hides the panel and the quick picker."));
    const QCommandLineOption debug(
        QStringLiteral("debug"),
        CommandLine::tr("Hands a debug command (state, openPanel, snapshot:FILE, …) to the "
                        "running Quillet."),
        QStringLiteral("command"));
    const QCommandLineOption status(
        QStringLiteral("status"),
        CommandLine::tr("Prints what works on this desktop: the clipboard, the source "
                        "application, pasting directly, the global shortcut and the tray."));
    const QCommandLineOption json(
        QStringLiteral("json"), CommandLine::tr("With --status: prints it as JSON, for scripts."));
    parser.addOptions({help, version, togglePicker, showPanel, hide, debug, status, json});
    parser.addPositionalArgument(QStringLiteral("tab"),
                                 CommandLine::tr("With --show-panel: clipboard or screenshots."),
                                 QStringLiteral("[tab]"));

    // The parser knows no optional values: `--show-panel=TAB` is taken
    // as `--show-panel TAB`.
    QStringList split;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--show-panel=")))
            split << QStringLiteral("--show-panel") << argument.mid(13);
        else
            split << argument;
    }
    if (!parser.parse(split))
        return tell(parser.errorText() + CommandLine::tr(" (quillet --help lists the options)"),
                    usage);
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return done;
    }
    if (parser.isSet(version)) {
        std::printf("quillet %s\n", QUILLET_VERSION);
        return done;
    }

    const QList<const QCommandLineOption*> commands{&togglePicker, &showPanel, &hide, &debug,
                                                    &status};
    const auto given = std::count_if(commands.begin(), commands.end(),
                                     [&parser](const auto* o) { return parser.isSet(*o); });
    if (given != 1) {
        return tell(given == 0 ? CommandLine::tr("no command given (quillet --help lists them; "
                                                 "quillet alone starts Quillet)")
                               : CommandLine::tr("one command at a time"),
                    usage);
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > (parser.isSet(showPanel) ? 1 : 0))
        return tell(CommandLine::tr("unexpected argument '%1'").arg(positional.constLast()), usage);

    if (parser.isSet(json) && !parser.isSet(status))
        return tell(CommandLine::tr("--json goes with --status"), usage);
    if (parser.isSet(status)) {
        const Status report = m_status();
        if (parser.isSet(json)) {
            std::fputs(CapabilityReport::json(report.platform, report.capabilities).constData(),
                       stdout);
        } else {
            std::printf("Quillet on %s\n%s", qPrintable(report.platform),
                        qPrintable(CapabilityReport::text(report.capabilities)));
        }
        return done;
    }
    if (parser.isSet(debug))
        return sendDebug(parser.value(debug));
    DBusCommandClient::Result result;
    if (parser.isSet(togglePicker)) {
        result = m_client.togglePicker();
    } else if (parser.isSet(hide)) {
        result = m_client.hide();
    } else {
        const QString tab = positional.value(0);
        if (!tab.isEmpty() && !DBusCommandService::isPanelTab(tab))
            return tell(CommandLine::tr("unknown tab '%1' (clipboard or screenshots)").arg(tab),
                        usage);
        result = m_client.showPanel(tab);
    }
    return result.outcome == DBusCommandClient::Outcome::done ? done : tell(result.message, failed);
}
