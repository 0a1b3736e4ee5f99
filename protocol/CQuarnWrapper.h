#pragma once

#include "protocol/CHttpExchange.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <pugixml.hpp>

// The one client of the box's HTTP query endpoint. Sends one query text at a time with a time limit
// while the user interface keeps running, keeps the text of the last reply, and remembers what it
// learnt from the box: its protocol version, its clock offset and this computer's address on the
// box's network.
class CQuarnWrapper
{
public:
    static constexpr int kTimeLimit = 5000;
    static constexpr int kLongTimeLimit = 15000;
    static constexpr int kQuickStopTimeLimit = 500;

    CQuarnWrapper();
    virtual ~CQuarnWrapper();
    CQuarnWrapper(const CQuarnWrapper&) = delete;
    CQuarnWrapper& operator=(const CQuarnWrapper&) = delete;

    void SetBoxAddress(const QString& text) { address = text; }

    // Transport results: 0 completed, -2 failed, -3 time limit passed (httpStatus 408).
    int Query(const QString& text);
    int Command(const QString& text);
    int SendRequest(const QByteArray& url);

    // Loads the last reply into `doc`; false when the last exchange brought no body.
    bool LoadReply(pugi::xml_document& doc);

    QString GetVersion();
    QString GetLocalAddress();

    // True for a box that takes the combined requests (version 1.3 and later).
    static bool IsNewFormVersion(const QString& version);

    // True when `doc` carries the box's reply header (the quarn:query element).
    static bool IsBoxReply(const pugi::xml_document& doc);

    // Request operations: true when a reply with the box's header was loaded into `doc`.
    bool QueryAll(pugi::xml_document& doc, const QString& pinCode);
    bool QueryFavoriteGroups(pugi::xml_document& doc);
    bool QueryServiceList(pugi::xml_document& doc);
    bool QueryScheduleList(pugi::xml_document& doc);
    bool QueryStatus(pugi::xml_document& doc);
    bool QueryEPG(pugi::xml_document& doc, int svcType, int svcIdx);
    bool CheckPin(pugi::xml_document& doc, const QString& pinCode);
    bool SendRemoteKey(pugi::xml_document& doc, int key, int repeat);
    bool SetSchedule(int satIdx, int svcType, int svcIdx, int alarmId, int alarmType, int alarmMode,
                     int alarmDays, int evtId, pugi::xml_document& doc, qint64 start, qint64 end);
    bool StopAndStartStreaming(pugi::xml_document& doc, int satIdx, int svcType, int svcIdx, int netProtocol,
                               const QString& clientIp, int clientPort, const QString& pinCode);
    bool StartStreaming(pugi::xml_document& doc, int satIdx, int svcType, int svcIdx, int netProtocol,
                        const QString& clientIp, int clientPort, const QString& pinCode);
    bool StopStreaming(pugi::xml_document& doc);
    // Sent when the application goes away while the box streams: short limit, outcome ignored.
    void QuickStopStreaming();

    // The stime/etime value of a set_alarm request: local "Y-M-DTh:m" without leading zeros, or
    // "0-0-0T-1:-1" when the time cannot be converted.
    static QString ScheduleTimeText(qint64 time);

    // The URL as sent: the query text unchanged except for what a request target cannot carry raw.
    QByteArray BuildUrl(const char* form, const QString& text) const;

    // Replaces the last reply as if it had just arrived with this body (none: no body).
    void SetResponseBody(const std::optional<QByteArray>& body);

    std::optional<QString> response; // text of the last reply; none when it brought no body
    QString address = QStringLiteral("192.168.0.3");
    int port = 8080;
    int httpStatus = 0;
    int timeLimit = kTimeLimit;
    int longTimeLimit = kLongTimeLimit;
    QString version;
    qint64 clockOffset = 0;
    QString localAddress;

    // This computer's IPv4 addresses in interface order (up, not loopback). Replaceable so that the
    // address choice can be exercised without the machine's real interfaces.
    std::function<QStringList()> localAddressProvider;
    static QStringList InterfaceAddresses();

    // Performs one exchange; HTTP by default. Replaceable so that whole box operations can be
    // driven from recorded or generated replies (fuzzing) without a network.
    using Transport = std::function<CHttpExchange::Reply(const QByteArray& url, int timeLimitMs)>;
    Transport transport;

private:
    bool SendAndLoad(int transportResult, pugi::xml_document& doc);
    int SendWithLimit(const char* form, const QString& text, int limit);

    // UTF-8 form of `response`, kept beside it so that a UTF-8 reply is parsed from its own bytes
    // instead of being converted back.
    QByteArray m_responseUtf8;
    const QChar* m_responseUtf8Of = nullptr; // the `response` buffer m_responseUtf8 was made from
};
