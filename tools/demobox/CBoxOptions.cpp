#include "CBoxOptions.h"

#include <cstdlib>
#include <limits>

namespace {

bool toInt(const QString& text, qint64 min, qint64 max, qint64* out)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

} // namespace

bool CBoxOptions::insidePrivateNamespace()
{
    // Set by tools/netns-run, which gives the box a network of its own with only loopback.
    const char* flag = std::getenv("KELVO_IN_NETNS");
    return flag != nullptr && QByteArray(flag) == "1";
}

QString CBoxOptions::usage()
{
    return QStringLiteral(
        "usage: kelvo-demobox [options]\n"
        "  --address A            address to listen on (default 127.0.0.1)\n"
        "  --port N               query port (default 8080, 0 picks a free port)\n"
        "  --protocol-version V   version the box reports (default 1.3; 1.2 for an old box)\n"
        "  --single-byte          replies without the UTF-8 declaration, one byte per character\n"
        "  --services N           size of the generated channel database (default 360)\n"
        "  --seed S               seed of the generated database (default 1)\n"
        "  --pin P                the box's parental PIN (default 8351)\n"
        "  --user U, --password P web-server credentials for HLS (default root, empty)\n"
        "  --hls-port N           extra port serving /quarn/ (default 80 inside tools/netns-run,\n"
        "                         otherwise none; the query port always serves it)\n"
        "  --upnp, --no-upnp      announce the box by UPnP on loopback (default: on only inside\n"
        "                         tools/netns-run)\n"
        "  --friendly-name NAME   UPnP friendly name (default \"NORVA+ Media Server\")\n"
        "  --ffmpeg PATH          ffmpeg binary (default ffmpeg from PATH)\n"
        "  --no-ffmpeg            accept streaming commands without sending a stream\n"
        "  --long-sound-packets   RTP/UDP: ffmpeg's own third of a second of sound per packet\n"
        "  --mux-delay-swing F:T:P  RTP/UDP: the stamps' lead over the clock swings from F seconds\n"
        "                         (ffmpeg's 0.7) down to T and back every P seconds\n"
        "  --font PATH            font for the test picture (default DejaVu Sans or Liberation Sans)\n"
        "  --fault [CMD=]MODE[:ARG]  fault to inject (repeatable), see README\n"
        "  --log FILE             append every request line to FILE\n"
        "  --ready-fd N           also write the ready line to file descriptor N\n"
        "  --parent-pid N         end when process N is no longer the box's parent (a test that\n"
        "                         dies or is killed leaves no box behind)\n"
        "  --clock-offset S       box clock minus real clock, in seconds (default 0)\n"
        "  --max-alarms N         timer slots (default 32)\n"
        "  --help                 this text\n");
}

bool CBoxOptions::parse(const QStringList& arguments, QString* error, bool* helpRequested)
{
    *helpRequested = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasInlineValue = false;
        const qsizetype eq = name.indexOf(u'=');
        if (name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasInlineValue = true;
        }
        auto next = [&](QString* out) {
            if (hasInlineValue) {
                *out = value;
                return true;
            }
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs a value").arg(name);
                return false;
            }
            *out = arguments[++i];
            return true;
        };
        auto number = [&](qint64 min, qint64 max, qint64* out) {
            QString text;
            if (!next(&text))
                return false;
            if (!toInt(text, min, max, out)) {
                *error = QStringLiteral("bad value for %1: %2").arg(name, text);
                return false;
            }
            return true;
        };
        qint64 n = 0;
        QString text;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            *helpRequested = true;
        } else if (name == QLatin1String("--address")) {
            if (!next(&text))
                return false;
            if (!address.setAddress(text)) {
                *error = QStringLiteral("bad address: %1").arg(text);
                return false;
            }
            addressGiven = true;
        } else if (name == QLatin1String("--port")) {
            if (!number(0, 65535, &n))
                return false;
            port = int(n);
        } else if (name == QLatin1String("--protocol-version")) {
            if (!next(&protocolVersion))
                return false;
        } else if (name == QLatin1String("--single-byte")) {
            singleByte = true;
        } else if (name == QLatin1String("--services")) {
            if (!number(1, 1000000, &n))
                return false;
            services = int(n);
        } else if (name == QLatin1String("--seed")) {
            if (!number(0, std::numeric_limits<qint64>::max(), &n))
                return false;
            seed = quint64(n);
        } else if (name == QLatin1String("--pin")) {
            if (!next(&pin))
                return false;
        } else if (name == QLatin1String("--user")) {
            if (!next(&user))
                return false;
        } else if (name == QLatin1String("--password")) {
            if (!next(&password))
                return false;
        } else if (name == QLatin1String("--hls-port")) {
            if (!number(0, 65535, &n))
                return false;
            hlsPort = int(n);
        } else if (name == QLatin1String("--upnp")) {
            upnp = true;
        } else if (name == QLatin1String("--no-upnp")) {
            upnp = false;
        } else if (name == QLatin1String("--parent-pid")) {
            if (!number(1, 0x7fffffff, &n))
                return false;
            parentPid = int(n);
        } else if (name == QLatin1String("--friendly-name")) {
            if (!next(&friendlyName))
                return false;
        } else if (name == QLatin1String("--ffmpeg")) {
            if (!next(&ffmpeg))
                return false;
        } else if (name == QLatin1String("--no-ffmpeg")) {
            noFfmpeg = true;
        } else if (name == QLatin1String("--long-sound-packets")) {
            longSoundPackets = true;
        } else if (name == QLatin1String("--mux-delay-swing")) {
            if (!next(&text))
                return false;
            const QStringList parts = text.split(QLatin1Char(':'));
            bool ok = parts.size() == 3;
            const double from = ok ? parts[0].toDouble(&ok) : 0;
            const double to = ok ? parts[1].toDouble(&ok) : 0;
            const double period = ok ? parts[2].toDouble(&ok) : 0;
            // The clock may run ahead by no more than it runs: the swing's slope stays well under 1.
            if (!ok || from < 0 || from > 5 || to < 0 || to > from || period < 1 || period > 86400) {
                *error =
                    QStringLiteral("--mux-delay-swing wants FROM:TO:PERIOD seconds, 0 <= TO <= FROM <= 5, "
                                   "PERIOD 1 to 86400: %1")
                        .arg(text);
                return false;
            }
            swingFrom = from;
            swingTo = to;
            swingPeriod = period;
        } else if (name == QLatin1String("--font")) {
            if (!next(&font))
                return false;
        } else if (name == QLatin1String("--fault")) {
            if (!next(&text))
                return false;
            faults << text;
        } else if (name == QLatin1String("--log")) {
            if (!next(&logFile))
                return false;
        } else if (name == QLatin1String("--ready-fd")) {
            if (!number(0, 1 << 20, &n))
                return false;
            readyFd = int(n);
        } else if (name == QLatin1String("--clock-offset")) {
            if (!number(-10LL * 365 * 86400, 10LL * 365 * 86400, &n))
                return false;
            clockOffset = n;
        } else if (name == QLatin1String("--max-alarms")) {
            if (!number(0, 100000, &n))
                return false;
            maxAlarms = int(n);
        } else {
            *error = QStringLiteral("unknown option: %1").arg(arguments[i]);
            return false;
        }
    }
    if (upnp && !insidePrivateNamespace()) {
        // SSDP multicasts; the box only announces itself inside a network of its own.
        *error = QStringLiteral("--upnp works only inside tools/netns-run");
        return false;
    }
    return true;
}
