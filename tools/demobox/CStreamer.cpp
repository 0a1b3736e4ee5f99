#include "CStreamer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int kStopWaitMs = 2000;

} // namespace

CStreamer::CStreamer(Settings settings, QObject* parent) : QObject(parent), m_settings(std::move(settings)) {}

CStreamer::~CStreamer()
{
    stop();
}

QString CStreamer::findFont()
{
    static const char* const candidates[] = {
        "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"};
    for (const char* path : candidates) {
        if (QFileInfo::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    }
    return {};
}

QString CStreamer::url() const
{
    if (!m_service)
        return {};
    switch (m_protocol) {
    case Rtp:
        return QStringLiteral("rtp://%1:%2").arg(m_clientIp).arg(m_clientPort);
    case Udp:
        return QStringLiteral("udp://%1:%2").arg(m_clientIp).arg(m_clientPort);
    default:
        return m_settings.hlsUrl;
    }
}

QStringList CStreamer::ffmpegArguments(const DemoService& service, const QString& output, int protocol) const
{
    const bool radio = service.type == 1;
    const int tone = 330 + (service.ordinal % 12) * 40;
    QStringList args = {QStringLiteral("-hide_banner"), QStringLiteral("-nostdin"),
                        QStringLiteral("-nostats"), QStringLiteral("-loglevel"), QStringLiteral("error")};
    if (!radio) {
        args << QStringLiteral("-re") << QStringLiteral("-f") << QStringLiteral("lavfi")
             << QStringLiteral("-i") << QStringLiteral("testsrc2=size=320x240:rate=15");
    }
    args << QStringLiteral("-re") << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
         << QStringLiteral("sine=frequency=%1:sample_rate=48000").arg(tone);
    if (!radio) {
        QString filter;
        if (!m_settings.font.isEmpty() && m_dir) {
            // The caption goes through a file so that no character of a name needs escaping.
            const QString captionPath = m_dir->filePath(QStringLiteral("caption.txt"));
            QFile caption(captionPath);
            if (caption.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                caption.write(QStringLiteral("%1  %2").arg(service.num).arg(service.name.plain).toUtf8());
                caption.close();
                filter = QStringLiteral("drawtext=fontfile=%1:textfile=%2:fontsize=20:fontcolor=white:"
                                        "box=1:boxcolor=black@0.7:boxborderw=6:x=(w-text_w)/2:y=h-text_h-16")
                             .arg(m_settings.font, captionPath);
            }
        }
        if (!filter.isEmpty())
            args << QStringLiteral("-vf") << filter;
        args << QStringLiteral("-map") << QStringLiteral("0:v") << QStringLiteral("-map")
             << QStringLiteral("1:a");
        // Cheap to encode and quick to show: tiny picture, fastest preset, a key frame a second.
        args << QStringLiteral("-c:v") << QStringLiteral("libx264") << QStringLiteral("-preset")
             << QStringLiteral("ultrafast") << QStringLiteral("-tune") << QStringLiteral("zerolatency")
             << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p") << QStringLiteral("-g")
             << QStringLiteral("15") << QStringLiteral("-b:v") << QStringLiteral("300k");
    }
    args << QStringLiteral("-c:a") << QStringLiteral("aac") << QStringLiteral("-b:a") << QStringLiteral("64k")
         << QStringLiteral("-ac") << QStringLiteral("1");
    if (protocol != Hls && !m_settings.longSoundPackets) {
        // Sound goes out a frame per packet, as a broadcast carries it; ffmpeg would otherwise
        // gather a third of a second of it per packet and send it that much later. The RTP muxer
        // passes options to its inner transport stream muxer only through its own dictionary.
        if (protocol == Rtp)
            args << QStringLiteral("-mpegts_muxer_options") << QStringLiteral("pes_payload_size=0");
        else
            args << QStringLiteral("-pes_payload_size") << QStringLiteral("0");
    }
    switch (protocol) {
    case Rtp:
        args << QStringLiteral("-f") << QStringLiteral("rtp_mpegts") << output;
        break;
    case Udp:
        args << QStringLiteral("-f") << QStringLiteral("mpegts") << output;
        break;
    default:
        args << QStringLiteral("-f") << QStringLiteral("hls") << QStringLiteral("-hls_time")
             << QStringLiteral("1") << QStringLiteral("-hls_list_size") << QStringLiteral("6")
             << QStringLiteral("-hls_flags") << QStringLiteral("delete_segments+omit_endlist")
             << QStringLiteral("-hls_segment_filename") << m_dir->filePath(QStringLiteral("content%05d.ts"))
             << output;
        break;
    }
    return args;
}

bool CStreamer::start(const DemoService& service, int protocol, const QString& clientIp, int clientPort,
                      QString* why)
{
    if (m_service) {
        *why = QStringLiteral("already streaming");
        return false;
    }
    QString output;
    if (!m_settings.sendNothing) {
        if (!m_dir) {
            m_dir =
                std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/kelvo-demobox-XXXXXX"));
            if (!m_dir->isValid()) {
                *why = QStringLiteral("no temporary folder: %1").arg(m_dir->errorString());
                m_dir.reset();
                return false;
            }
        }
        removeHlsFiles();
        QString target = clientIp;
        int targetPort = clientPort;
        if (protocol != Hls && m_settings.swing.period > 0) {
            auto swing = std::make_unique<CMuxDelaySwing>(m_settings.swing, QHostAddress(clientIp),
                                                          static_cast<quint16>(clientPort));
            if (!swing->listen(why))
                return false;
            target = QStringLiteral("127.0.0.1");
            targetPort = swing->port();
            m_swing = std::move(swing);
        }
        if (protocol == Rtp)
            output = QStringLiteral("rtp://%1:%2?pkt_size=1316").arg(target).arg(targetPort);
        else if (protocol == Udp)
            output = QStringLiteral("udp://%1:%2?pkt_size=1316").arg(target).arg(targetPort);
        else
            output = m_dir->filePath(QStringLiteral("content.m3u8"));

        auto process = std::make_unique<QProcess>();
        process->setProgram(m_settings.ffmpeg);
        process->setArguments(ffmpegArguments(service, output, protocol));
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardInputFile(QProcess::nullDevice());
        // Should the box die without cleaning up, its encoder dies with it.
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        connect(process.get(), &QProcess::finished, this, &CStreamer::onFinished);
        process->start();
        if (!process->waitForStarted(5000)) {
            *why = QStringLiteral("cannot run %1: %2").arg(m_settings.ffmpeg, process->errorString());
            m_swing.reset();
            return false;
        }
        m_process = std::move(process);
    }
    m_service = service;
    m_protocol = protocol;
    m_clientIp = protocol == Hls ? QString() : clientIp;
    m_clientPort = protocol == Hls ? -1 : clientPort;
    return true;
}

void CStreamer::stop()
{
    if (m_process) {
        auto process = std::move(m_process);
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(kStopWaitMs)) {
                process->kill();
                process->waitForFinished(kStopWaitMs);
            }
        }
    }
    m_swing.reset();
    m_service.reset();
    m_protocol = -1;
    m_clientIp.clear();
    m_clientPort = -1;
    removeHlsFiles();
}

void CStreamer::onFinished(int exitCode, QProcess::ExitStatus status)
{
    std::fprintf(stderr, "demobox: ffmpeg ended (%s, code %d); the stream stopped\n",
                 status == QProcess::NormalExit ? "normal exit" : "crashed", exitCode);
    // The process object is still inside its own signal; drop it once control is back.
    if (m_process)
        m_process.release()->deleteLater();
    m_swing.reset();
    m_service.reset();
    m_protocol = -1;
    m_clientIp.clear();
    m_clientPort = -1;
}

void CStreamer::removeHlsFiles()
{
    if (!m_dir)
        return;
    QDir dir(m_dir->path());
    for (const QString& name : dir.entryList(QDir::Files))
        dir.remove(name);
}

bool CStreamer::playlistReady() const
{
    if (!m_service || m_protocol != Hls)
        return false;
    if (m_settings.sendNothing)
        return true;
    return m_dir && QFileInfo::exists(m_dir->filePath(QStringLiteral("content.m3u8")));
}

std::optional<QByteArray> CStreamer::hlsFile(const QString& name) const
{
    static const QRegularExpression safeName(QStringLiteral("^[A-Za-z0-9_-]+\\.(m3u8|ts)$"));
    if (!m_service || m_protocol != Hls || !m_dir || !safeName.match(name).hasMatch())
        return std::nullopt;
    QFile file(m_dir->filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}
