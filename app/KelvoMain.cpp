#include "app/KelvoMain.h"

#include "app/CKelvoPlayerApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace {

// Dotted quad, each part 0..255; returns the address without leading zeros.
std::optional<QString> ParseIPv4(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    QStringList clean;
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || value < 0 || value > 255 ||
            part.startsWith(QLatin1Char('+')))
            return std::nullopt;
        clean << QString::number(value);
    }
    return clean.join(QLatin1Char('.'));
}

struct CCommandLine
{
    bool exitNow = false;
    int exitCode = 0;
    std::optional<QString> boxAddress;
    std::optional<int> boxPort;
};

// Parsed before the application object exists, so that --help and --version work without a
// display (packaging checks and terminals over ssh run them that way).
CCommandLine ParseCommandLine(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kelvo+ watches and records with a networked satellite set-top box."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption box(
        {QStringLiteral("b"), QStringLiteral("box")},
        QStringLiteral("Use the box at this IPv4 address (kept as the box setting)."),
        QStringLiteral("address"));
    const QCommandLineOption port(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Use this port of the box's web interface (kept as the box setting)."),
        QStringLiteral("port"));
    parser.addOptions({help, version, box, port});

    CCommandLine result;
    auto fail = [&result](const QString& text) {
        std::fprintf(stderr, "kelvo: %s\nTry 'kelvo --help'.\n", qPrintable(text));
        result.exitNow = true;
        result.exitCode = 2;
        return result;
    };
    if (!parser.parse(args))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        // Without an application object the parser cannot know the program's name.
        std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                        QStringLiteral("kelvo"))),
                   stdout);
        result.exitNow = true;
        return result;
    }
    if (parser.isSet(version)) {
        std::printf("Kelvo+ %s\n", KELVO_VERSION);
        result.exitNow = true;
        return result;
    }
    if (parser.isSet(box)) {
        const QString address = parser.value(box).trimmed();
        result.boxAddress = ParseIPv4(address);
        if (!result.boxAddress)
            return fail(QStringLiteral("'%1' is not an IPv4 address").arg(address));
    }
    if (parser.isSet(port)) {
        bool ok = false;
        const int value = parser.value(port).toInt(&ok);
        if (!ok || value < 1 || value > 65535)
            return fail(QStringLiteral("'%1' is not a port").arg(parser.value(port)));
        result.boxPort = value;
    }
    return result;
}

} // namespace

int KelvoMain(int argc, char* argv[], const std::function<void(CKelvoAppOptions&)>& seams)
{
    const CCommandLine command = ParseCommandLine(argc, argv);
    if (command.exitNow)
        return command.exitCode;

    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Dravik"));
    QApplication::setApplicationName(QStringLiteral("Kelvo+"));
    QApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kelvo"));
    CKelvoAppOptions options;
    options.boxAddress = command.boxAddress;
    options.boxPort = command.boxPort;
    if (seams)
        seams(options);
    CKelvoPlayerApp app(std::move(options));
    if (!app.InitInstance())
        return 1;
    const int rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
