#include "CBoxOptions.h"
#include "CDemoBox.h"
#include "CSignalWatcher.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvo-demobox"));

    CBoxOptions options;
    QString error;
    bool help = false;
    if (!options.parse(app.arguments().mid(1), &error, &help)) {
        std::fprintf(stderr, "kelvo-demobox: %s\n%s", qPrintable(error), qPrintable(CBoxOptions::usage()));
        return 2;
    }
    if (help) {
        std::fputs(qPrintable(CBoxOptions::usage()), stdout);
        return 0;
    }

    CSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &CSignalWatcher::terminationRequested, &app, &QCoreApplication::quit);

    // A test killed by its time limit never runs the destructor that ends its box; the box then
    // notices that it was handed to another parent.
    QTimer parentWatch;
    if (options.parentPid > 0) {
        QObject::connect(&parentWatch, &QTimer::timeout, &app, [&options] {
            if (::getppid() != options.parentPid)
                QCoreApplication::quit();
        });
        parentWatch.start(250);
        if (::getppid() != options.parentPid)
            return 0;
    }

    CDemoBox box(options);
    if (!box.start(&error)) {
        std::fprintf(stderr, "kelvo-demobox: %s\n", qPrintable(error));
        return 1;
    }
    const QByteArray ready = box.readyLine().toUtf8() + '\n';
    std::fputs(ready.constData(), stdout);
    std::fflush(stdout);
    if (options.readyFd >= 0) {
        [[maybe_unused]] const auto written =
            ::write(options.readyFd, ready.constData(), size_t(ready.size()));
        ::close(options.readyFd);
    }
    std::fprintf(stderr, "demobox: %d services, protocol %s, %s replies, HLS at %s\n", int(options.services),
                 qPrintable(options.protocolVersion), options.singleByte ? "single-byte" : "UTF-8",
                 qPrintable(box.hlsUrl()));
    return app.exec();
}
