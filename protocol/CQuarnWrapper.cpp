#include "protocol/CQuarnWrapper.h"

#include "protocol/CReplyReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <locale.h>

#if defined(Q_OS_UNIX)
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#endif

namespace {

// Characters a request target cannot carry raw: blanks and controls would end or corrupt the
// request line, bytes above 0x7E are not ASCII, and '#' would cut the query off as a fragment.
bool NeedsEscape(unsigned char c)
{
    return c <= 0x20 || c >= 0x7F || c == '#';
}

QString Quoted(const QString& value)
{
    return QLatin1Char('"') + value + QLatin1Char('"');
}

QString StreamingParameters(int satIdx, int svcType, int svcIdx, int netProtocol, const QString& clientIp,
                            int clientPort, const QString& pinCode)
{
    return QStringLiteral("start_streaming&sat_idx=%1&svc_type=%2&svc_idx=%3&net_protocol=%4&net_client_ip=%5"
                          "&net_client_port=%6&pin_code=%7")
        .arg(satIdx)
        .arg(svcType)
        .arg(svcIdx)
        .arg(netProtocol)
        .arg(Quoted(clientIp))
        .arg(clientPort)
        .arg(Quoted(pinCode));
}

} // namespace

CQuarnWrapper::CQuarnWrapper() = default;

CQuarnWrapper::~CQuarnWrapper() = default;

QByteArray CQuarnWrapper::BuildUrl(const char* form, const QString& text) const
{
    // Built in one buffer of the largest size it can take: every box operation makes one.
    const QByteArray host = address.toUtf8();
    const QByteArray raw = text.toUtf8();
    char portText[16];
    const int portLength = std::snprintf(portText, sizeof portText, "%d", port);
    QByteArray url;
    url.reserve(host.size() + raw.size() * 3 + 32 + static_cast<qsizetype>(std::strlen(form)));
    url.append("http://").append(host).append(':').append(portText, portLength).append("/qnql?").append(form);
    url.append('=');
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : raw) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            const char escaped[3] = {'%', kHex[c >> 4], kHex[c & 0xF]};
            url.append(escaped, 3);
        } else {
            url.append(ch);
        }
    }
    return url;
}

int CQuarnWrapper::Query(const QString& text)
{
    return SendRequest(BuildUrl("q", text));
}

int CQuarnWrapper::Command(const QString& text)
{
    return SendRequest(BuildUrl("cmd", text));
}

int CQuarnWrapper::SendRequest(const QByteArray& url)
{
    SetResponseBody(std::nullopt);
    const CHttpExchange::Reply reply =
        transport ? transport(url, timeLimit) : CHttpExchange::Put(url, timeLimit);
    switch (reply.result) {
    case CHttpExchange::Completed:
        httpStatus = reply.httpStatus;
        SetResponseBody(reply.body);
        return 0;
    case CHttpExchange::TimedOut:
        httpStatus = 408;
        return -3;
    default:
        return -2;
    }
}

void CQuarnWrapper::SetResponseBody(const std::optional<QByteArray>& body)
{
    m_responseUtf8.clear();
    m_responseUtf8Of = nullptr;
    if (!body) {
        response.reset();
        return;
    }
    response = CReplyReader::BodyToText(*body);
    // A valid UTF-8 reply is its own UTF-8 form; anything else is converted once here.
    const qsizetype gt = body->indexOf('>');
    const bool declaredUtf8 = gt >= 0 && QByteArrayView(body->constData(), gt + 1).contains("UTF-8");
    m_responseUtf8 = (declaredUtf8 && QByteArrayView(*body).isValidUtf8()) ? *body : response->toUtf8();
    m_responseUtf8Of = response->constData();
}

bool CQuarnWrapper::LoadReply(pugi::xml_document& doc)
{
    if (!response)
        return false;
    const QByteArray utf8 =
        (m_responseUtf8Of == response->constData() && m_responseUtf8Of) ? m_responseUtf8 : response->toUtf8();
    // A text that is not well-formed leaves an empty document, in which every selection finds nothing.
    const pugi::xml_parse_result parsed = doc.load_buffer(utf8.constData(), static_cast<size_t>(utf8.size()),
                                                          pugi::parse_default, pugi::encoding_utf8);
    if (!parsed)
        doc.reset();
    CReplyReader::FixEncodings(doc);
    if (const pugi::xml_attribute created =
            CReplyReader::FirstAttribute(doc, "quarn:query", "quarn:created")) {
        if (const auto boxTime = CReplyReader::ParseHeaderTime(QString::fromUtf8(created.value())))
            clockOffset = *boxTime - static_cast<qint64>(std::time(nullptr));
    }
    return true;
}

QString CQuarnWrapper::GetVersion()
{
    if (!version.isEmpty())
        return version;
    if (Query(QString()) != 0)
        return version;
    pugi::xml_document doc;
    if (LoadReply(doc)) {
        if (const pugi::xml_attribute v = CReplyReader::FirstAttribute(doc, "quarn:query", "quarn:version"))
            version = QString::fromUtf8(v.value());
    }
    return version;
}

bool CQuarnWrapper::IsNewFormVersion(const QString& text)
{
    // Compared as the C library reads it into a single-precision value, so "1.3" itself qualifies.
    // Read in the "C" locale: QCoreApplication adopts the user's locale on Unix, and where the
    // decimal separator is a comma "1.3" would read as 1 and a new box would be taken for an old one.
    const QByteArray utf8 = text.toUtf8();
#if defined(Q_OS_UNIX)
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale)
        return strtof_l(utf8.constData(), nullptr, cLocale) >= 1.3f;
#endif
    return std::strtof(utf8.constData(), nullptr) >= 1.3f;
}

QStringList CQuarnWrapper::InterfaceAddresses()
{
    QStringList list;
#if defined(Q_OS_UNIX)
    ifaddrs* all = nullptr;
    if (getifaddrs(&all) != 0)
        return list;
    for (const ifaddrs* a = all; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET)
            continue;
        if (!(a->ifa_flags & IFF_UP) || (a->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
            list.append(QString::fromLatin1(text));
    }
    freeifaddrs(all);
#endif
    return list;
}

QString CQuarnWrapper::GetLocalAddress()
{
    // A box on this computer's loopback (the demo box) reaches us only there: when no address of
    // ours shares its prefix, no LAN interface address would do, and the stream must come back
    // the same way.
    const QStringList parts = address.split(QLatin1Char('.'));
    const bool loopbackBox = parts.size() == 4 && parts.front() == QLatin1String("127");
    const auto unmatched = [this, loopbackBox] {
        if (loopbackBox)
            localAddress = QStringLiteral("127.0.0.1");
        return localAddress;
    };
    const QStringList addresses = localAddressProvider ? localAddressProvider() : InterfaceAddresses();
    if (addresses.isEmpty())
        return unmatched();
    QString prefix = address;
    for (;;) {
        const qsizetype dot = prefix.lastIndexOf(QLatin1Char('.'));
        if (dot < 0)
            return unmatched();
        prefix.truncate(dot);
        for (const QString& candidate : addresses) {
            if (candidate.startsWith(prefix)) {
                localAddress = candidate;
                return localAddress;
            }
        }
    }
}

bool CQuarnWrapper::SendAndLoad(int transportResult, pugi::xml_document& doc)
{
    // Only a document with the box's header counts as its answer. An error page, a cut-off or
    // garbled body would otherwise read as a valid reply that merely lacks its sections, and the
    // readers would report success: an empty channel list, a wiped guide, a stream that never comes.
    return transportResult == 0 && LoadReply(doc) && IsBoxReply(doc);
}

bool CQuarnWrapper::IsBoxReply(const pugi::xml_document& doc)
{
    return static_cast<bool>(CReplyReader::FirstElement(doc, "quarn:query"));
}

int CQuarnWrapper::SendWithLimit(const char* form, const QString& text, int limit)
{
    const int saved = timeLimit;
    timeLimit = limit;
    const int rc = SendRequest(BuildUrl(form, text));
    timeLimit = saved;
    return rc;
}

bool CQuarnWrapper::QueryAll(pugi::xml_document& doc, const QString& pinCode)
{
    return SendAndLoad(Query(QStringLiteral("check_pin&pin_code=%1++fav_group++svc_list++alarm_list++status")
                                 .arg(Quoted(pinCode))),
                       doc);
}

bool CQuarnWrapper::QueryFavoriteGroups(pugi::xml_document& doc)
{
    return SendAndLoad(Query(QStringLiteral("fav_group")), doc);
}

bool CQuarnWrapper::QueryServiceList(pugi::xml_document& doc)
{
    return SendAndLoad(Query(QStringLiteral("svc_list")), doc);
}

bool CQuarnWrapper::QueryScheduleList(pugi::xml_document& doc)
{
    return SendAndLoad(Query(QStringLiteral("alarm_list")), doc);
}

bool CQuarnWrapper::QueryStatus(pugi::xml_document& doc)
{
    return SendAndLoad(Query(QStringLiteral("status")), doc);
}

bool CQuarnWrapper::QueryEPG(pugi::xml_document& doc, int svcType, int svcIdx)
{
    return SendAndLoad(Query(QStringLiteral("epg_info&svc_type=%1&svc_idx=%2").arg(svcType).arg(svcIdx)),
                       doc);
}

bool CQuarnWrapper::CheckPin(pugi::xml_document& doc, const QString& pinCode)
{
    return SendAndLoad(Command(QStringLiteral("check_pin&pin_code=%1").arg(Quoted(pinCode))), doc);
}

bool CQuarnWrapper::SendRemoteKey(pugi::xml_document& doc, int key, int repeat)
{
    return SendAndLoad(Command(QStringLiteral("rcu&key=%1&repeat=%2").arg(key).arg(repeat)), doc);
}

QString CQuarnWrapper::ScheduleTimeText(qint64 time)
{
    std::tm tm{};
    const auto t = static_cast<std::time_t>(time);
    bool ok = false;
#if defined(Q_OS_WIN)
    ok = localtime_s(&tm, &t) == 0;
#else
    ok = localtime_r(&t, &tm) != nullptr;
#endif
    if (!ok)
        return QStringLiteral("0-0-0T-1:-1");
    return QStringLiteral("%1-%2-%3T%4:%5")
        .arg(static_cast<long long>(tm.tm_year) + 1900)
        .arg(tm.tm_mon + 1)
        .arg(tm.tm_mday)
        .arg(tm.tm_hour)
        .arg(tm.tm_min);
}

bool CQuarnWrapper::SetSchedule(int satIdx, int svcType, int svcIdx, int alarmId, int alarmType,
                                int alarmMode, int alarmDays, int evtId, pugi::xml_document& doc,
                                qint64 start, qint64 end)
{
    const QString text =
        QStringLiteral("set_alarm&sat_idx=%1&svc_type=%2&svc_idx=%3&alarm_id=%4&alarm_type=%5"
                       "&alarm_mode=%6&alarm_days=%7&stime=%8&etime=%9&evt_id=%10")
            .arg(satIdx)
            .arg(svcType)
            .arg(svcIdx)
            .arg(alarmId)
            .arg(alarmType)
            .arg(alarmMode)
            .arg(alarmDays)
            .arg(Quoted(ScheduleTimeText(start)))
            .arg(Quoted(ScheduleTimeText(end)))
            .arg(evtId);
    return SendAndLoad(Command(text), doc);
}

bool CQuarnWrapper::StopAndStartStreaming(pugi::xml_document& doc, int satIdx, int svcType, int svcIdx,
                                          int netProtocol, const QString& clientIp, int clientPort,
                                          const QString& pinCode)
{
    const QString text =
        QStringLiteral("stop_streaming++") +
        StreamingParameters(satIdx, svcType, svcIdx, netProtocol, clientIp, clientPort, pinCode);
    return SendAndLoad(SendWithLimit("cmd", text, longTimeLimit), doc);
}

bool CQuarnWrapper::StartStreaming(pugi::xml_document& doc, int satIdx, int svcType, int svcIdx,
                                   int netProtocol, const QString& clientIp, int clientPort,
                                   const QString& pinCode)
{
    const QString text =
        StreamingParameters(satIdx, svcType, svcIdx, netProtocol, clientIp, clientPort, pinCode);
    return SendAndLoad(SendWithLimit("cmd", text, longTimeLimit), doc);
}

bool CQuarnWrapper::StopStreaming(pugi::xml_document& doc)
{
    return SendAndLoad(Command(QStringLiteral("stop_streaming")), doc);
}

void CQuarnWrapper::QuickStopStreaming()
{
    SendWithLimit("cmd", QStringLiteral("stop_streaming"), kQuickStopTimeLimit);
}
