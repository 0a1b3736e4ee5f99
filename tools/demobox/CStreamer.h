#pragma once

#include "CMuxDelaySwing.h"
#include "DemoRecords.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

// Sends the stream of one service the way the box does: a generated test picture with the
// service's number and name burned in, and a tone (sound only for radio), encoded by an ffmpeg
// child process as MPEG-TS over RTP or UDP to the client, or as an HLS playlist that the box's
// web server hands out. At most one stream runs; it ends with the box.
class CStreamer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CStreamer)
public:
    enum Protocol
    {
        Rtp = 0,
        Udp = 1,
        Hls = 2
    };

    struct Settings
    {
        QString ffmpeg;
        QString font;
        bool sendNothing = false;      // accept and report streams without running ffmpeg
        bool longSoundPackets = false; // ffmpeg's own packing of sound, a third of a second a packet
        QString hlsUrl;                // the playlist address the box reports
        CMuxDelaySwing::Swing swing;   // RTP/UDP: a multiplexer delay that changes over time
    };

    explicit CStreamer(Settings settings, QObject* parent = nullptr);
    ~CStreamer() override;

    // False with a reason when the stream cannot be started.
    bool start(const DemoService& service, int protocol, const QString& clientIp, int clientPort,
               QString* why);
    void stop();

    bool isStreaming() const { return m_service.has_value(); }
    const std::optional<DemoService>& service() const { return m_service; }
    int protocol() const { return m_protocol; }
    const QString& clientIp() const { return m_clientIp; }
    int clientPort() const { return m_clientPort; }
    QString url() const;

    // HLS: whether the playlist has been written; the named file of the running HLS stream.
    bool playlistReady() const;
    std::optional<QByteArray> hlsFile(const QString& name) const;

    static QString findFont();

private:
    QStringList ffmpegArguments(const DemoService& service, const QString& output, int protocol) const;
    void onFinished(int exitCode, QProcess::ExitStatus status);
    void removeHlsFiles();

    Settings m_settings;
    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<CMuxDelaySwing> m_swing; // between ffmpeg and the client, when the delay swings
    std::unique_ptr<QTemporaryDir> m_dir;
    std::optional<DemoService> m_service;
    int m_protocol = -1;
    QString m_clientIp;
    int m_clientPort = -1;
};
