#include "CTestStream.h"

CTestStream::CTestStream(Kind kind, bool audioOnly, int port, const QString& hlsFolder, int seconds)
    : m_kind(kind), m_audioOnly(audioOnly), m_port(port), m_hlsFolder(hlsFolder), m_seconds(seconds)
{}

CTestStream::~CTestStream()
{
    Stop();
}

QStringList CTestStream::Arguments() const
{
    QStringList args{"-hide_banner", "-loglevel", "error", "-nostdin", "-re"};
    if (!m_audioOnly)
        args << "-f"
             << "lavfi"
             << "-i"
             << "testsrc=size=320x240:rate=25";
    args << "-f"
         << "lavfi"
         << "-i"
         << "sine=frequency=440:sample_rate=48000";
    args << "-t" << QString::number(m_seconds);
    if (!m_audioOnly)
        args << "-c:v"
             << "mpeg2video"
             << "-g"
             << "12"
             << "-b:v"
             << "800k";
    args << "-c:a"
         << "mp2"
         << "-ac"
         << "2"
         << "-b:a"
         << "128k";
    const QString target = QStringLiteral("127.0.0.1:%1").arg(m_port);
    switch (m_kind) {
    case Kind::Rtp:
        args << "-f"
             << "rtp_mpegts" << QStringLiteral("rtp://%1").arg(target);
        break;
    case Kind::Udp:
        args << "-f"
             << "mpegts" << QStringLiteral("udp://%1?pkt_size=1316").arg(target);
        break;
    case Kind::Hls:
        args << "-f"
             << "hls"
             << "-hls_time"
             << "1"
             << "-hls_list_size"
             << "4"
             << "-hls_flags"
             << "delete_segments"
             << "-hls_segment_filename" << m_hlsFolder + "/seg%05d.ts" << m_hlsFolder + "/content.m3u8";
        break;
    }
    return args;
}

bool CTestStream::Start()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("ffmpeg"), Arguments());
    return m_process.waitForStarted(5000);
}

void CTestStream::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}
