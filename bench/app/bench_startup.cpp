// Cold start of the real application: process start → main window painted, and → channel data
// loaded, with no box (first run, setting mode) and against the demo box with 10,000 services.
//
//     bench_startup [runs]      prints one line per case with the median and the spread
//
// Each run is a fresh process (this binary again with --child), so that dynamic loading, the
// skin and the first paint are all in the figure, as a user sees them.
#include "DemoBoxProcess.h"
#include "app/CKelvoPlayerApp.h"
#include "app/CMainFrame.h"
#include "app/testing/KelvoTestSeams.h"
#include "model/CQuarnDataModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

class FirstPaint final : public QObject
{
public:
    double at = 0;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Paint && at == 0)
            at = NowMs();
        return QObject::eventFilter(o, e);
    }
};

int Child(const char* settingsFile)
{
    int argc = 1;
    char name[] = "kelvo";
    char* argv[] = {name, nullptr};
    QApplication qapp(argc, argv);
    CKelvoPlayerApp app{QString::fromLocal8Bit(settingsFile)};
    FirstPaint paint;
    qapp.installEventFilter(&paint);
    if (!app.InitInstance())
        return 1;
    // Without a box nothing waits inside start-up: let the first paint happen.
    for (int i = 0; i < 200 && paint.at == 0; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double loaded = NowMs();
    std::printf("%.3f %.3f %zu\n", paint.at, loaded, app.Database().Services().size());
    app.ExitInstance();
    return 0;
}

struct Sample
{
    double shown;
    double loaded;
    size_t services;
};

bool RunChild(const std::string& self, const std::string& settings, Sample& out)
{
    const std::string cmd = "'" + self + "' --child '" + settings + "'";
    const double start = NowMs();
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return false;
    double shown = 0, loaded = 0;
    size_t services = 0;
    const int n = std::fscanf(p, "%lf %lf %zu", &shown, &loaded, &services);
    ::pclose(p);
    if (n != 3)
        return false;
    out = {shown - start, loaded - start, services};
    return true;
}

void WriteSettings(const QString& path, int port)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    if (port > 0)
        f.write(QStringLiteral("[STB]\nSTB%20IP%20Address=127.0.0.1\nSTB%20Port=%1\n").arg(port).toUtf8());
}

void Report(const char* name, std::vector<Sample> s)
{
    if (s.empty()) {
        std::printf("%-34s no run succeeded\n", name);
        return;
    }
    auto median = [&](auto field) {
        std::vector<double> v;
        for (const Sample& x : s)
            v.push_back(x.*field);
        std::sort(v.begin(), v.end());
        return std::make_pair(v[v.size() / 2], v.back() - v.front());
    };
    const auto [shown, shownSpread] = median(&Sample::shown);
    const auto [loaded, loadedSpread] = median(&Sample::loaded);
    std::printf(
        "%-34s window shown %7.1f ms (spread %5.1f)   data loaded %7.1f ms (spread %5.1f)   %zu services\n",
        name, shown, shownSpread, loaded, loadedSpread, s.front().services);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--child")
        return Child(argv[2]);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir dir;
    // The child's single-instance lock and settings stay in this temporary folder.
    ::setenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData(), 1);
    KelvoTestSeams::LogMessagesTo(dir.path() + QStringLiteral("/messages.log"));
    const std::string self = argv[0];

    std::vector<Sample> none, full;
    const QString settings = dir.path() + QStringLiteral("/settings.conf");
    for (int i = 0; i < runs; ++i) {
        QFile::remove(settings);
        Sample s{};
        if (RunChild(self, settings.toStdString(), s))
            none.push_back(s);
    }
    Report("no box (first run)", none);

    DemoBoxProcess box({"--no-ffmpeg", "--no-upnp", "--services", "10000"});
    if (!box.ok()) {
        std::printf("demo box: %s\n", box.error().c_str());
        return 1;
    }
    for (int i = 0; i < runs; ++i) {
        WriteSettings(settings, box.port());
        Sample s{};
        if (RunChild(self, settings.toStdString(), s))
            full.push_back(s);
    }
    Report("demo box, 10,000 services", full);
    return 0;
}
