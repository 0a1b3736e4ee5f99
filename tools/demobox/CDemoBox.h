#pragma once

#include "CAlarmBook.h"
#include "CBoxOptions.h"
#include "CChannelDatabase.h"
#include "CFaultTable.h"
#include "CQueryText.h"
#include "CRequestLog.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

class CHttpExchange;
class CHttpServer;
class CStreamer;
class CUpnpAnnouncer;
class CXmlReplyWriter;

// The simulated set-top box: answers the query endpoint /qnql, streams services, keeps timers,
// serves HLS under /quarn/, announces itself by UPnP, and takes its faults and log requests on
// the control endpoint /demobox/.
class CDemoBox final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDemoBox)
public:
    explicit CDemoBox(CBoxOptions options, QObject* parent = nullptr);
    ~CDemoBox() override;

    bool start(QString* error);
    quint16 port() const;
    QString readyLine() const;
    QString hlsUrl() const;

private:
    void onRequest(CHttpExchange* exchange);
    void handleQuery(CHttpExchange* exchange, const CQueryText::Target& target);
    void handleControl(CHttpExchange* exchange, const QByteArray& path, const QByteArray& query);
    void handleHls(CHttpExchange* exchange, const QByteArray& path);
    void deliver(const QPointer<CHttpExchange>& exchange, const QByteArray& body,
                 const std::optional<CFaultTable::Fault>& fault);
    void deliverWhenPlaylistReady(const QPointer<CHttpExchange>& exchange, const QByteArray& body,
                                  const std::optional<CFaultTable::Fault>& fault, int triesLeft);

    qint64 boxNow() const;
    QByteArray contentType() const;
    void writeHeaderStart(CXmlReplyWriter& w) const;
    void runCommand(const QueryCommand& command, CXmlReplyWriter& w,
                    const std::optional<CFaultTable::Fault>& sectionFault, bool* hlsStarted);

    void checkPin(const QueryCommand& c, CXmlReplyWriter& w);
    void favGroup(CXmlReplyWriter& w);
    void svcList(CXmlReplyWriter& w);
    void alarmList(CXmlReplyWriter& w);
    void status(CXmlReplyWriter& w);
    void epgInfo(const QueryCommand& c, CXmlReplyWriter& w);
    void setAlarm(const QueryCommand& c, CXmlReplyWriter& w);
    void startStreaming(const QueryCommand& c, CXmlReplyWriter& w, bool* hlsStarted);
    void stopStreaming(CXmlReplyWriter& w);
    void rcu(const QueryCommand& c, CXmlReplyWriter& w);

    void writeEvent(CXmlReplyWriter& w, const DemoEvent& event) const;
    void writeServiceReference(CXmlReplyWriter& w, const DemoService* service) const;
    void writeStreamingState(CXmlReplyWriter& w) const;
    void writeAlarm(CXmlReplyWriter& w, const DemoAlarm& alarm, std::optional<int> error) const;
    bool targetAllowed(const QString& clientIp) const;

    static const char* sectionOf(const QString& command);

    CBoxOptions m_options;
    CChannelDatabase m_db;
    CAlarmBook m_alarms;
    CFaultTable m_faults;
    CRequestLog m_log;
    std::unique_ptr<CStreamer> m_streamer;
    std::unique_ptr<CHttpServer> m_server;
    std::unique_ptr<CHttpServer> m_hlsServer;
    std::unique_ptr<CUpnpAnnouncer> m_upnp;
    int m_liveOrdinal = 0;
};
