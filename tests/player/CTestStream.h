#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A live test stream on loopback, produced by ffmpeg from its test-pattern and tone sources at
// real-time pace: MPEG-2 video 320x240 at 25 frames/s with MPEG audio 48 kHz stereo (or audio
// only), the way a box sends a DVB service. The process ends by itself after its duration.
class CTestStream final
{
public:
    enum class Kind
    {
        Rtp, // MPEG-TS over RTP to 127.0.0.1:port
        Udp, // MPEG-TS over UDP to 127.0.0.1:port
        Hls, // live playlist "content.m3u8" with one-second segments written into a folder
    };

    CTestStream(Kind kind, bool audioOnly, int port, const QString& hlsFolder = {}, int seconds = 120);
    ~CTestStream();
    CTestStream(const CTestStream&) = delete;
    CTestStream& operator=(const CTestStream&) = delete;

    bool Start();
    void Stop();
    bool IsRunning() const { return m_process.state() != QProcess::NotRunning; }
    QStringList Arguments() const;

private:
    Kind m_kind;
    bool m_audioOnly;
    int m_port;
    QString m_hlsFolder;
    int m_seconds;
    QProcess m_process;
};
