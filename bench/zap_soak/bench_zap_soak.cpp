// Zap soak: many zaps in a row through the whole program against the demo box, RTP, UDP and HLS
// mixed, quick start on and off at random, and what they leave behind. Prints the process's
// resident memory, threads, descriptors and relay ports (UDP sockets) after a warm-up and at the
// end, the streams still running at the box once the last one is stopped, and the longest time
// the user-interface thread stood still beside the zaps' own times.
//
//   tools/netns-run xvfb-run -a -s "-screen 0 1400x900x24"
//       env HOME=<folder with a null .asoundrc> build/<dir>/bench/zap_soak/bench_zap_soak [zaps] [seed]
//
// The namespace gives the program the box's ports (RTP 5004, UDP 1234, HTTP 80) to itself. The
// exit status is 1 when a figure did not stay flat, a stream was left at the box, or the thread
// stood still longer than a zap.
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "app/CKelvoPlayerApp.h"
#include "app/CMainFrame.h"
#include "bench/zap/ZapBenchSupport.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "tests/support/MedianOf.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Figures
{
    long rssKiB = 0;
    long heapKiB = 0; // what the allocator has handed out and not had back: growth here is kept memory
    int threads = 0;
    int descriptors = 0;
    QList<int> udpPorts; // local ports of the UDP sockets the process holds
};

// The inodes of the sockets among the process's descriptors, and the descriptor count.
QSet<QString> SocketInodes(int* descriptors)
{
    QSet<QString> inodes;
    const QFileInfoList fds =
        QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::NoDotAndDotDot | QDir::System);
    *descriptors = static_cast<int>(fds.size());
    for (const QFileInfo& fd : fds) {
        const QString target = fd.symLinkTarget().section(QLatin1Char('/'), -1);
        if (target.startsWith(QLatin1String("socket:[")))
            inodes.insert(target.mid(8).chopped(1));
    }
    return inodes;
}

Figures Measure()
{
    Figures f;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                f.rssKiB = line.mid(6).trimmed().split(' ').value(0).toLong();
            if (line.startsWith("Threads:"))
                f.threads = line.mid(8).trimmed().toInt();
        }
    }
    const struct mallinfo2 heap = mallinfo2();
    f.heapKiB = static_cast<long>((heap.uordblks + heap.hblkhd) / 1024);
    const QSet<QString> inodes = SocketInodes(&f.descriptors);
    QFile udp(QStringLiteral("/proc/self/net/udp"));
    if (udp.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = udp.readAll().split('\n');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].simplified().split(' ');
            if (fields.size() > 9 && inodes.contains(QString::fromLatin1(fields[9])))
                f.udpPorts.append(fields[1].split(':').value(1).toInt(nullptr, 16));
        }
    }
    std::sort(f.udpPorts.begin(), f.udpPorts.end());
    return f;
}

// Resident memory by what it maps (anonymous memory, the heap, each file or device), the largest
// first: where RSS grows while the heap in use does not.
QString ResidentByMapping()
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    std::map<QString, long> kib;
    QString name;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 5 && fields[0].contains('-') && !fields[0].endsWith(':'))
            name = fields.size() >= 6 ? QString::fromUtf8(fields[5]).section(QLatin1Char('/'), -1)
                                      : QStringLiteral("anon");
        else if (fields.size() >= 2 && fields[0] == "Rss:")
            kib[name] += fields[1].toLong();
    }
    std::vector<std::pair<long, QString>> sorted;
    for (const auto& [n, k] : kib)
        sorted.emplace_back(k, n);
    std::sort(sorted.rbegin(), sorted.rend());
    QStringList parts;
    for (size_t i = 0; i < std::min<size_t>(6, sorted.size()); ++i)
        parts << QStringLiteral("%1 %2").arg(sorted[i].second).arg(sorted[i].first);
    return parts.join(QStringLiteral(", "));
}

QString PortList(const QList<int>& ports)
{
    QStringList parts;
    for (int p : ports)
        parts << QString::number(p);
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QLatin1Char(','));
}

void Print(const char* label, const Figures& f)
{
    std::printf("%-6s RSS %6ld KiB, heap %6ld KiB, threads %3d, descriptors %3d, UDP sockets %d (%s)\n",
                label, f.rssKiB, f.heapKiB, f.threads, f.descriptors, static_cast<int>(f.udpPorts.size()),
                qPrintable(PortList(f.udpPorts)));
    if (qEnvironmentVariableIsSet("KELVO_BENCH_VERBOSE"))
        std::printf("       resident KiB by mapping: %s\n", qPrintable(ResidentByMapping()));
}

// ffmpeg encoders the box still runs: its child processes.
int BoxChildren(pid_t box)
{
    int children = 0;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool numeric = false;
        entry.toInt(&numeric);
        if (!numeric)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // pid (comm) state ppid ...: the name may hold spaces, the last ')' ends it.
        const QList<QByteArray> rest = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (rest.size() > 1 && rest[1].toInt() == box)
            ++children;
    }
    return children;
}

// The user-interface thread's longest stand-still, seen from a timer on it that should fire
// every 10 ms; the nested loop of a box operation keeps it firing.
class StallMeter
{
public:
    StallMeter()
    {
        m_clock.start();
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_clock.restart()); });
        m_timer.start(10);
    }
    qint64 Longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    const int zaps = argc > 1 ? std::max(10, std::atoi(argv[1])) : 500;
    const unsigned seed =
        argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : std::random_device{}();
    const int warmUp = 12;
    std::mt19937 rng(seed);

    DemoBoxProcess box({"--no-upnp", "--services", "60"});
    if (!box.ok()) {
        std::printf("demo box: %s\n", box.error().c_str());
        return 2;
    }
    QTemporaryDir dir;
    const QString settings = PrepareProgramFolder(dir);
    if (!WriteBoxSettings(settings, box.port(), 0))
        return 2;

    auto app = std::make_unique<CKelvoPlayerApp>(settings);
    if (!app->InitInstance())
        return 2;
    CMainFrame& frame = *app->Frame();
    frame.move(0, 0);
    frame.resize(CMainFrame::kMinimumNormal);
    QTest::qWait(300);
    CMediaPlayer& player = frame.PlayerView().MediaPlayer();
    CQuarnDataModel& db = app->Database();

    std::vector<int> keys;
    for (const auto& s : db.Services())
        if (s->type == 0 && s->streamingPossible && !s->blocked)
            keys.push_back(s->key);
    if (keys.size() < 2) {
        std::printf("the box offers fewer than two TV services to stream\n");
        return 2;
    }

    bool started = false;
    QObject::connect(&player, &CMediaPlayer::started, [&started] { started = true; });
    std::printf("zap soak: %d zaps (after %d to warm up), RTP/UDP/HLS and quick start at random, seed %u\n",
                zaps, warmUp, seed);
    std::fflush(stdout);

    Figures first;
    std::unique_ptr<StallMeter> stalls;
    std::vector<double> times;
    std::vector<double> byProtocol[3];
    int failed = 0;
    size_t next = 0;
    int previousProtocol = -1;
    qint64 stallSeen = 0;
    QString stallWhere = QStringLiteral("-");
    for (int i = 0; i < warmUp + zaps; ++i) {
        if (i == warmUp) {
            first = Measure();
            Print("first", first);
            stalls = std::make_unique<StallMeter>();
        }
        // The figures are taken after an RTP stream with quick start, at both ends, so that they
        // compare like with like: each protocol keeps its own threads and sockets while it plays.
        const bool measured = i == warmUp - 1 || i == warmUp + zaps - 1;
        const int protocol = measured ? 0 : static_cast<int>(rng() % 3);
        const bool quick = measured || rng() % 2 != 0;
        db.Settings().streamingProtocol = protocol;
        player.SetStartProfile(quick ? CMediaPlayer::StartLowLatency : CMediaPlayer::StartStandard);
        // Another service than the one streaming: selecting that one again would stop it.
        next = (next + 1 + rng() % 3) % keys.size();
        if (keys[next] == app->State().streamingService)
            next = (next + 1) % keys.size();

        started = false;
        QElapsedTimer clock;
        clock.start();
        emit frame.Messages().playService(keys[next]);
        const bool ok = QTest::qWaitFor([&started] { return started; }, 20000);
        const double ms = static_cast<double>(clock.elapsed());
        const int from = std::exchange(previousProtocol, protocol);
        if (stalls && stalls->Longest() > stallSeen) {
            stallSeen = stalls->Longest();
            stallWhere = QStringLiteral("zap %1, %2 to %3%4")
                             .arg(i - warmUp)
                             .arg(QLatin1String(from < 0 ? "-" : ProtocolName(from)),
                                  QLatin1String(ProtocolName(protocol)),
                                  QLatin1String(quick ? " with quick start" : ""));
        }
        if (i < warmUp)
            continue;
        if (!ok) {
            ++failed;
            std::printf("  zap %d (%s) did not start within 20 s\n", i - warmUp, ProtocolName(protocol));
            continue;
        }
        times.push_back(ms);
        byProtocol[protocol].push_back(ms);
        if ((i - warmUp + 1) % 50 == 0) {
            const Figures now = Measure();
            // The last fifty on their own: a program that zaps slower as the session goes on shows
            // here, where the median of all would hide it.
            const std::vector<double> recent(times.end() - std::min<std::ptrdiff_t>(50, std::ssize(times)),
                                             times.end());
            std::printf("%4d zaps: RSS %ld KiB, heap %ld KiB, threads %d, descriptors %d, UDP sockets %d, "
                        "median zap %.0f ms (last fifty %.0f), quick-start cache %d ms\n",
                        i - warmUp + 1, now.rssKiB, now.heapKiB, now.threads, now.descriptors,
                        static_cast<int>(now.udpPorts.size()), MedianOf(times), MedianOf(recent),
                        player.LowLatencyCacheMs());
            std::fflush(stdout);
        }
    }
    const qint64 longestStall = stalls ? stalls->Longest() : 0;
    const Figures last = Measure();
    Print("last", last);

    // The last stream is stopped as a user would: selecting the playing service again.
    if (app->State().streamingService >= 0)
        emit frame.Messages().playService(app->State().streamingService);
    QTest::qWait(1500);
    const RawReply status = boxQuery(box.port(), "status");
    const bool boxStreams = status.body.find("<streaming status=\"1\"") != std::string::npos ||
                            status.body.find("<streaming status=\"0\"") == std::string::npos;
    const int encoders = BoxChildren(box.pid());
    const Figures stopped = Measure();
    Print("idle", stopped);

    const double median = MedianOf(times);
    const double longest = times.empty() ? 0 : *std::max_element(times.begin(), times.end());
    std::printf("zaps: %zu started, %d did not; median %.0f ms, longest %.0f ms (RTP %.0f, UDP %.0f, HLS "
                "%.0f median)\n",
                times.size(), failed, median, longest, MedianOf(byProtocol[0]), MedianOf(byProtocol[1]),
                MedianOf(byProtocol[2]));
    std::printf("box after the stop: %s, %d encoder processes\n",
                boxStreams ? "still streaming" : "no stream", encoders);
    std::printf("longest stand-still of the user-interface thread: %lld ms (%s)\n",
                static_cast<long long>(longestStall), qPrintable(stallWhere));

    // Flat: a few threads or descriptors may come and go with the engine's state at the moment;
    // memory may settle within a fifth more. Relay ports: never more than at the start.
    QStringList faults;
    if (last.rssKiB > first.rssKiB + first.rssKiB / 5)
        faults << QStringLiteral("resident memory grew");
    if (last.threads > first.threads + 4)
        faults << QStringLiteral("threads grew");
    if (last.descriptors > first.descriptors + 4)
        faults << QStringLiteral("descriptors grew");
    if (last.udpPorts.size() > first.udpPorts.size())
        faults << QStringLiteral("relay ports grew");
    if (!stopped.udpPorts.isEmpty())
        faults << QStringLiteral("relay ports open after the stop");
    if (boxStreams || encoders > 0)
        faults << QStringLiteral("a stream was left at the box");
    if (failed > 0)
        faults << QStringLiteral("%1 zaps did not start").arg(failed);
    if (static_cast<double>(longestStall) > median)
        faults << QStringLiteral("the user-interface thread stood still longer than a zap");
    std::printf("zap soak: %s\n",
                faults.isEmpty() ? "PASS"
                                 : qPrintable(QStringLiteral("FAIL: ") + faults.join(QStringLiteral("; "))));

    frame.close();
    app->ExitInstance();
    app.reset();
    return faults.isEmpty() ? 0 : 1;
}
