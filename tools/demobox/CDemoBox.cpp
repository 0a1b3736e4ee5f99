#include "CDemoBox.h"

#include "CHttpExchange.h"
#include "CHttpServer.h"
#include "CStreamer.h"
#include "CUpnpAnnouncer.h"
#include "CXmlReplyWriter.h"

#include <QDateTime>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kPlaylistPollMs = 100;
constexpr int kPlaylistTries = 100; // the client waits 15 s for a streaming start
constexpr int kDripChunk = 16;
constexpr int kUdpDefaultPort = 1234;
constexpr int kRtpDefaultPort = 5004;

// Section errors the box uses for parameters it cannot take.
constexpr int kPinRefused = 1;
constexpr int kBadParameters = 1;
constexpr int kNoSuchService = 2;
constexpr int kStreamFailed = 1;
constexpr int kStreamNotAvailable = 2;
constexpr int kStreamNowPlaying = 3;
constexpr int kStreamPinError = 5;

qint64 secondsNow()
{
    return QDateTime::currentSecsSinceEpoch();
}

QByteArray garbageBytes(qint64 count)
{
    QByteArray out;
    out.resize(count);
    quint32 state = 0x2545F491u;
    for (qint64 i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        out[i] = static_cast<char>(state & 0xFF);
    }
    return out;
}

} // namespace

CDemoBox::CDemoBox(CBoxOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)),
      m_db(m_options.services, m_options.seed, secondsNow() + m_options.clockOffset),
      m_alarms(m_db, secondsNow() + m_options.clockOffset, m_options.maxAlarms)
{}

CDemoBox::~CDemoBox()
{
    // Stop sending before the servers go, and withdraw the announcement last.
    m_streamer.reset();
    m_hlsServer.reset();
    m_server.reset();
    m_upnp.reset();
}

qint64 CDemoBox::boxNow() const
{
    return secondsNow() + m_options.clockOffset;
}

quint16 CDemoBox::port() const
{
    return m_server ? m_server->port() : 0;
}

QString CDemoBox::readyLine() const
{
    const QString host = m_options.address.protocol() == QAbstractSocket::IPv6Protocol
                             ? QStringLiteral("[%1]").arg(m_options.address.toString())
                             : m_options.address.toString();
    return QStringLiteral("demobox listening on %1:%2").arg(host).arg(port());
}

QString CDemoBox::hlsUrl() const
{
    const quint16 hlsPort = m_hlsServer ? m_hlsServer->port() : port();
    const QString host = m_options.address.toString();
    if (hlsPort == 80)
        return QStringLiteral("http://%1/quarn/content.m3u8").arg(host);
    return QStringLiteral("http://%1:%2/quarn/content.m3u8").arg(host).arg(hlsPort);
}

bool CDemoBox::start(QString* error)
{
    for (const QString& setting : m_options.faults) {
        if (!m_faults.addSetting(setting, error))
            return false;
    }
    if (!m_options.logFile.isEmpty() && !m_log.openFile(m_options.logFile, error))
        return false;

    m_server = std::make_unique<CHttpServer>();
    connect(m_server.get(), &CHttpServer::requestReady, this, &CDemoBox::onRequest);
    if (!m_server->listen(m_options.address, quint16(m_options.port), error)) {
        *error = QStringLiteral("cannot listen on %1:%2: %3")
                     .arg(m_options.address.toString())
                     .arg(m_options.port)
                     .arg(*error);
        return false;
    }

    int hlsPort = m_options.hlsPort;
    if (hlsPort < 0)
        hlsPort = CBoxOptions::insidePrivateNamespace() ? 80 : 0;
    if (hlsPort > 0 && hlsPort != int(port())) {
        m_hlsServer = std::make_unique<CHttpServer>();
        connect(m_hlsServer.get(), &CHttpServer::requestReady, this, &CDemoBox::onRequest);
        if (!m_hlsServer->listen(m_options.address, quint16(hlsPort), error)) {
            if (m_options.hlsPort >= 0) {
                *error = QStringLiteral("cannot listen for HLS on port %1: %2").arg(hlsPort).arg(*error);
                return false;
            }
            // Port 80 is only a default: a second box in the same namespace still starts and
            // serves its playlist on the query port.
            std::fprintf(stderr, "demobox: port %d is taken (%s); HLS only on the query port\n", hlsPort,
                         qPrintable(*error));
            m_hlsServer.reset();
        }
    }

    CStreamer::Settings settings;
    settings.ffmpeg = m_options.ffmpeg;
    settings.font = m_options.font.isEmpty() ? CStreamer::findFont() : m_options.font;
    settings.sendNothing = m_options.noFfmpeg;
    settings.longSoundPackets = m_options.longSoundPackets;
    settings.swing = {m_options.swingFrom, m_options.swingTo, m_options.swingPeriod};
    settings.hlsUrl = hlsUrl();
    m_streamer = std::make_unique<CStreamer>(settings);

    if (m_options.upnp) {
        m_upnp = std::make_unique<CUpnpAnnouncer>();
        const QString udn =
            QStringLiteral("uuid:6b656c76-6f2b-4465-6d6f-%1")
                .arg((m_options.seed * 131 + port()) & 0xFFFFFFFFFFFFull, 12, 16, QLatin1Char('0'));
        if (!m_upnp->start(m_options.friendlyName, udn, port(), error))
            return false;
        std::fprintf(stderr, "demobox: UPnP description at %s\n", qPrintable(m_upnp->descriptionUrl()));
    }
    return true;
}

void CDemoBox::onRequest(CHttpExchange* exchange)
{
    const QByteArray& target = exchange->target();
    const qsizetype q = target.indexOf('?');
    const QByteArray path = q < 0 ? target : target.left(q);
    const QByteArray query = q < 0 ? QByteArray() : target.mid(q + 1);

    if (path.startsWith("/demobox/")) {
        handleControl(exchange, path, query);
        return;
    }
    m_log.add(exchange->method(), target);
    if (path.startsWith("/quarn/")) {
        handleHls(exchange, path);
        return;
    }
    if (path == "/qnql") {
        const QByteArray& method = exchange->method();
        if (method != "PUT" && method != "GET" && method != "POST") {
            exchange->send(405, "text/plain", "the query endpoint takes PUT or GET\n",
                           {{"Allow", "PUT, GET"}});
            return;
        }
        const CQueryText::Target split = CQueryText::splitTarget(target);
        if (split.form == CQueryText::Form::None && !query.isEmpty()) {
            exchange->send(400, "text/plain", "expected ?q=<query> or ?cmd=<command>\n");
            return;
        }
        handleQuery(exchange, split);
        return;
    }
    if (path == "/") {
        exchange->send(200, "text/plain; charset=utf-8",
                       "Kelvo+ demo box. Query endpoint: /qnql?q=... or /qnql?cmd=...; control: "
                       "/demobox/fault, /demobox/log; HLS: /quarn/content.m3u8\n");
        return;
    }
    exchange->send(404, "text/plain", "not found\n");
}

QByteArray CDemoBox::contentType() const
{
    return m_options.singleByte ? "text/xml" : "text/xml; charset=utf-8";
}

void CDemoBox::writeHeaderStart(CXmlReplyWriter& w) const
{
    w.declaration();
    w.startElement("quarn:query");
    w.attribute("xmlns:quarn", "urn:norva:quarn");
    w.attribute("quarn:version", m_options.protocolVersion);
    w.attribute("quarn:created", CXmlReplyWriter::boxTime(boxNow(), true));
}

const char* CDemoBox::sectionOf(const QString& command)
{
    static const std::pair<const char*, const char*> sections[] = {
        {"check_pin", "pin"},       {"fav_group", "fav_group"},
        {"svc_list", "svc_list"},   {"alarm_list", "alarm_list"},
        {"status", "status"},       {"epg_info", "epg"},
        {"set_alarm", "alarm"},     {"start_streaming", "streaming"},
        {"stop_streaming", "stop"}, {"rcu", "rcu"}};
    for (const auto& [name, section] : sections) {
        if (command == QLatin1String(name))
            return section;
    }
    return nullptr;
}

void CDemoBox::handleQuery(CHttpExchange* exchange, const CQueryText::Target& target)
{
    const std::vector<QueryCommand> commands = CQueryText::parse(target.text);
    std::vector<QString> names;
    for (const auto& c : commands)
        names.push_back(c.name);
    if (names.empty())
        names.push_back(QStringLiteral("version"));
    const std::optional<CFaultTable::Fault> fault = m_faults.take(names);

    CXmlReplyWriter w(!m_options.singleByte);
    writeHeaderStart(w);
    bool hlsStarted = false;
    for (const QueryCommand& command : commands)
        runCommand(command, w, CFaultTable::sectionFault(command.name, fault), &hlsStarted);
    const QByteArray body = w.take();

    const QPointer<CHttpExchange> guarded(exchange);
    if (hlsStarted)
        deliverWhenPlaylistReady(guarded, body, fault, kPlaylistTries);
    else
        deliver(guarded, body, fault);
}

void CDemoBox::deliverWhenPlaylistReady(const QPointer<CHttpExchange>& exchange, const QByteArray& body,
                                        const std::optional<CFaultTable::Fault>& fault, int triesLeft)
{
    // The box answers an HLS start once the first playlist is there, so that the player that
    // opens it right after the reply finds it.
    if (exchange.isNull())
        return;
    if (triesLeft <= 0 || m_streamer->playlistReady() || !m_streamer->isStreaming()) {
        deliver(exchange, body, fault);
        return;
    }
    QTimer::singleShot(kPlaylistPollMs, exchange.data(), [this, exchange, body, fault, triesLeft] {
        deliverWhenPlaylistReady(exchange, body, fault, triesLeft - 1);
    });
}

void CDemoBox::deliver(const QPointer<CHttpExchange>& exchange, const QByteArray& body,
                       const std::optional<CFaultTable::Fault>& fault)
{
    if (exchange.isNull())
        return;
    if (!fault || CFaultTable::changesSectionsOnly(fault->mode)) {
        exchange->send(200, contentType(), body);
        return;
    }
    switch (fault->mode) {
    case CFaultTable::Mode::Delay:
        QTimer::singleShot(int(fault->arg), exchange.data(), [this, exchange, body] {
            if (!exchange.isNull())
                exchange->send(200, contentType(), body);
        });
        break;
    case CFaultTable::Mode::Hang:
        exchange->neverAnswer();
        break;
    case CFaultTable::Mode::Reset:
        exchange->resetConnection();
        break;
    case CFaultTable::Mode::Http500:
        exchange->send(500, "text/html",
                       "<html><head><title>500 Internal Server Error</title></head>"
                       "<body><h1>Internal Server Error</h1></body></html>\n");
        break;
    case CFaultTable::Mode::Truncate:
        exchange->send(200, contentType(), body.left(body.size() / 2));
        break;
    case CFaultTable::Mode::Garbage:
        exchange->send(200, contentType(), garbageBytes(fault->arg));
        break;
    case CFaultTable::Mode::Drip:
        exchange->sendDripped(200, contentType(), body, kDripChunk, int(fault->arg));
        break;
    case CFaultTable::Mode::Huge: {
        // A well-formed document of the asked size whose filler is produced as it is sent.
        CXmlReplyWriter w(!m_options.singleByte);
        writeHeaderStart(w);
        w.startElement("pad");
        w.text(QStringLiteral(" "));
        const QByteArray prefix =
            w.take().trimmed().chopped(QByteArrayLiteral("</pad></quarn:query>").size());
        const QByteArray suffix = "</pad></quarn:query>\n";
        const qint64 total = std::max<qint64>(fault->arg * 1024 * 1024, prefix.size() + suffix.size());
        exchange->sendGenerated(200, contentType(), total,
                                [prefix, suffix, total](qint64 offset, qint64 max) {
                                    QByteArray piece;
                                    piece.reserve(max);
                                    const qint64 fillerEnd = total - suffix.size();
                                    for (qint64 at = offset; at < offset + max;) {
                                        if (at < prefix.size()) {
                                            const qint64 n = std::min(prefix.size() - at, offset + max - at);
                                            piece += prefix.mid(at, n);
                                            at += n;
                                        } else if (at < fillerEnd) {
                                            const qint64 n = std::min(fillerEnd - at, offset + max - at);
                                            piece += QByteArray(n, 'x');
                                            at += n;
                                        } else {
                                            const qint64 n = std::min(total - at, offset + max - at);
                                            piece += suffix.mid(at - fillerEnd, n);
                                            at += n;
                                        }
                                    }
                                    return piece;
                                });
        break;
    }
    case CFaultTable::Mode::Error:
    case CFaultTable::Mode::Omit:
        break;
    }
}

void CDemoBox::runCommand(const QueryCommand& command, CXmlReplyWriter& w,
                          const std::optional<CFaultTable::Fault>& sectionFault, bool* hlsStarted)
{
    // The box neither carries out nor answers a command whose section is to be left out.
    if (sectionFault && sectionFault->mode == CFaultTable::Mode::Omit)
        return;
    const std::optional<int> forcedError =
        sectionFault ? std::optional<int>(int(sectionFault->arg)) : std::optional<int>();
    const char* section = sectionOf(command.name);
    if (section == nullptr) {
        w.startElement("unknown");
        w.attribute("command", command.name);
        w.attribute("error", qint64(forcedError.value_or(1)));
        w.endElement();
        return;
    }
    if (forcedError) {
        // The box refuses the command with the chosen error and does nothing else.
        w.startElement(section);
        w.attribute("error", qint64(*forcedError));
        w.endElement();
        return;
    }
    const QString& n = command.name;
    if (n == QLatin1String("check_pin"))
        checkPin(command, w);
    else if (n == QLatin1String("fav_group"))
        favGroup(w);
    else if (n == QLatin1String("svc_list"))
        svcList(w);
    else if (n == QLatin1String("alarm_list"))
        alarmList(w);
    else if (n == QLatin1String("status"))
        status(w);
    else if (n == QLatin1String("epg_info"))
        epgInfo(command, w);
    else if (n == QLatin1String("set_alarm"))
        setAlarm(command, w);
    else if (n == QLatin1String("start_streaming"))
        startStreaming(command, w, hlsStarted);
    else if (n == QLatin1String("stop_streaming"))
        stopStreaming(w);
    else if (n == QLatin1String("rcu"))
        rcu(command, w);
}

void CDemoBox::checkPin(const QueryCommand& c, CXmlReplyWriter& w)
{
    const auto pin = c.value(QStringLiteral("pin_code"));
    w.startElement("pin");
    w.attribute("error", qint64(!c.malformed && pin && *pin == m_options.pin ? 0 : kPinRefused));
    w.endElement();
}

void CDemoBox::favGroup(CXmlReplyWriter& w)
{
    w.startElement("fav_group");
    w.attribute("error", qint64(0));
    for (const DemoFavGroup& g : m_db.favGroups()) {
        w.startElement("fav");
        w.attribute("idx", qint64(g.idx));
        w.attribute("sat_idx", qint64(g.satIdx));
        w.attribute("blocked", qint64(g.blocked ? 1 : 0));
        w.encodedText(g.name);
        w.endElement();
    }
    w.endElement();
}

void CDemoBox::writeEvent(CXmlReplyWriter& w, const DemoEvent& e) const
{
    w.startElement("evt");
    w.attribute("id", qint64(e.id));
    if (e.id >= 0) {
        w.attribute("stime", CXmlReplyWriter::boxTime(e.start, false));
        w.attribute("etime", CXmlReplyWriter::boxTime(e.end, false));
        w.textElement("name", e.name);
        if (!e.text.plain.isEmpty())
            w.textElement("text", e.text);
    }
    w.endElement();
}

void CDemoBox::svcList(CXmlReplyWriter& w)
{
    const qint64 now = boxNow();
    w.startElement("svc_list");
    w.attribute("error", qint64(0));
    const auto& services = m_db.services();
    std::size_t next = 0;
    for (const DemoSatellite& sat : m_db.satellites()) {
        w.startElement("sat");
        w.attribute("idx", qint64(sat.idx));
        w.attribute("degree", qint64(sat.degree));
        w.attribute("name", sat.name);
        int openTp = -1;
        for (; next < services.size() && services[next].satIdx == sat.idx; ++next) {
            const DemoService& s = services[next];
            if (s.tpIdx != openTp) {
                if (openTp >= 0)
                    w.endElement();
                const DemoTransponder* tp = m_db.findTransponder(s.tpIdx);
                w.startElement("tp");
                w.attribute("idx", qint64(tp->idx));
                w.attribute("freq", qint64(tp->freq));
                w.attribute("polar", qint64(tp->polar));
                w.attribute("sr", qint64(tp->sr));
                w.attribute("tsid", qint64(tp->tsid));
                w.attribute("orgnetid", qint64(tp->orgnetid));
                w.attribute("netname", tp->netname);
                w.attribute("change_svc_possibility", qint64(tp->changeSvcPossibility ? 1 : 0));
                w.attribute("streaming_possibility", qint64(tp->streamingPossibility ? 1 : 0));
                openTp = s.tpIdx;
            }
            w.startElement("svc");
            w.attribute("idx", qint64(s.idx));
            w.attribute("type", qint64(s.type));
            w.attribute("sid", qint64(s.sid));
            w.attribute("vpid", qint64(s.vpid));
            w.attribute("apid", qint64(s.apid));
            w.attribute("ppid", qint64(s.ppid));
            w.attribute("scrambled", qint64(s.scrambled ? 1 : 0));
            w.attribute("blocked", qint64(s.blocked ? 1 : 0));
            w.attribute("fav", qint64(s.fav));
            w.startElement("service");
            w.attribute("num", qint64(s.num));
            w.attribute("lcn", qint64(s.lcn));
            w.encodedText(s.name);
            w.endElement();
            writeEvent(w, m_db.eventAt(s, now));
            w.endElement();
        }
        if (openTp >= 0)
            w.endElement();
        w.endElement();
    }
    w.endElement();
}

void CDemoBox::writeAlarm(CXmlReplyWriter& w, const DemoAlarm& a, std::optional<int> error) const
{
    w.startElement("alarm");
    if (error)
        w.attribute("error", qint64(*error));
    w.attribute("id", qint64(a.id));
    w.attribute("type", qint64(a.type));
    w.attribute("mode", qint64(a.mode));
    w.attribute("days", qint64(a.days));
    w.attribute("stime", CXmlReplyWriter::boxTime(a.start, false));
    w.attribute("etime", CXmlReplyWriter::boxTime(a.end, false));
    w.startElement("svc");
    w.attribute("sat", qint64(a.satIdx));
    w.attribute("type", qint64(a.svcType));
    w.attribute("idx", qint64(a.svcIdx));
    w.encodedText(a.serviceName);
    w.endElement();
    if (a.eventId >= 0) {
        w.startElement("evt");
        w.attribute("id", qint64(a.eventId));
        w.encodedText(a.eventName);
        w.endElement();
    }
    if (a.seriesId >= 0) {
        w.startElement("series");
        w.attribute("id", qint64(a.seriesId));
        w.encodedText(a.seriesName);
        w.endElement();
    }
    w.endElement();
}

void CDemoBox::alarmList(CXmlReplyWriter& w)
{
    w.startElement("alarm_list");
    w.attribute("error", qint64(0));
    for (const DemoAlarm& a : m_alarms.alarms())
        writeAlarm(w, a, std::nullopt);
    w.endElement();
}

void CDemoBox::writeServiceReference(CXmlReplyWriter& w, const DemoService* s) const
{
    w.startElement("svc");
    if (s == nullptr) {
        // Nothing there: indices the client recognises as no service.
        w.attribute("idx", qint64(-1));
        w.attribute("type", qint64(-1));
        w.endElement();
        return;
    }
    w.attribute("idx", qint64(s->idx));
    w.attribute("type", qint64(s->type));
    w.startElement("service");
    w.attribute("num", qint64(s->num));
    w.attribute("lcn", qint64(s->lcn));
    w.encodedText(s->name);
    w.endElement();
    w.startElement("info");
    w.attribute("scrambled", qint64(s->scrambled ? 1 : 0));
    w.attribute("teletext", qint64(s->type == 0 && s->ordinal % 3 == 0 ? 1 : 0));
    w.attribute("subtitle", qint64(s->type == 0 && s->ordinal % 6 == 0 ? 1 : 0));
    w.attribute("dolby", qint64(s->ordinal % 8 == 2 ? 1 : 0));
    w.attribute("hd", qint64(s->hd ? 1 : 0));
    w.attribute("multifeed", qint64(s->ordinal % 50 == 10 ? 1 : 0));
    w.endElement();
    writeEvent(w, m_db.eventAt(*s, boxNow()));
    w.endElement();
}

void CDemoBox::writeStreamingState(CXmlReplyWriter& w) const
{
    const bool on = m_streamer->isStreaming();
    w.attribute("status", qint64(on ? 1 : 0));
    w.startElement("net");
    w.attribute("protocol", qint64(on ? m_streamer->protocol() : -1));
    w.attribute("client_ip", on ? m_streamer->clientIp() : QString());
    w.attribute("client_port", qint64(on ? m_streamer->clientPort() : -1));
    w.attribute("url", m_streamer->url());
    w.endElement();
    writeServiceReference(w, on ? &*m_streamer->service() : nullptr);
}

void CDemoBox::status(CXmlReplyWriter& w)
{
    w.startElement("status");
    w.attribute("error", qint64(0));
    w.startElement("streaming");
    writeStreamingState(w);
    w.endElement();
    w.startElement("live");
    const auto& services = m_db.services();
    writeServiceReference(w, m_liveOrdinal < int(services.size()) ? &services[std::size_t(m_liveOrdinal)]
                                                                  : nullptr);
    w.endElement();
    w.endElement();
}

void CDemoBox::epgInfo(const QueryCommand& c, CXmlReplyWriter& w)
{
    const auto type = c.integer(QStringLiteral("svc_type"));
    const auto idx = c.integer(QStringLiteral("svc_idx"));
    w.startElement("epg");
    if (c.malformed || !type || !idx) {
        w.attribute("error", qint64(kBadParameters));
        w.endElement();
        return;
    }
    const DemoService* s = m_db.findService(*type, *idx);
    w.attribute("error", qint64(s == nullptr ? kNoSuchService : 0));
    w.attribute("svc_type", qint64(*type));
    w.attribute("svc_idx", qint64(*idx));
    if (s != nullptr) {
        for (const DemoEvent& e : m_db.guide(*s))
            writeEvent(w, e);
    }
    w.endElement();
}

void CDemoBox::setAlarm(const QueryCommand& c, CXmlReplyWriter& w)
{
    auto refuse = [&w](int error) {
        w.startElement("alarm");
        w.attribute("error", qint64(error));
        w.endElement();
    };
    CAlarmBook::Request r;
    const auto id = c.integer(QStringLiteral("alarm_id"));
    const auto mode = c.integer(QStringLiteral("alarm_mode"));
    if (c.malformed || !id || !mode) {
        refuse(CAlarmBook::WrongValue);
        return;
    }
    r.id = *id;
    r.mode = *mode;
    if (r.mode != 0) {
        const auto type = c.integer(QStringLiteral("svc_type"));
        const auto idx = c.integer(QStringLiteral("svc_idx"));
        const auto alarmType = c.integer(QStringLiteral("alarm_type"));
        const auto stime = c.value(QStringLiteral("stime"));
        const auto etime = c.value(QStringLiteral("etime"));
        if (!type || !idx || !alarmType || !stime || !etime || !CAlarmBook::parseBoxTime(*stime, &r.start) ||
            !CAlarmBook::parseBoxTime(*etime, &r.end)) {
            refuse(CAlarmBook::WrongValue);
            return;
        }
        r.svcType = *type;
        r.svcIdx = *idx;
        r.type = *alarmType;
        const DemoService* s = m_db.findService(r.svcType, r.svcIdx);
        r.satIdx = c.integer(QStringLiteral("sat_idx")).value_or(s != nullptr ? s->satIdx : -1);
        r.days = c.integer(QStringLiteral("alarm_days")).value_or(0);
        r.eventId = c.integer(QStringLiteral("evt_id")).value_or(-1);
    }
    DemoAlarm stored;
    const int error = m_alarms.apply(r, boxNow(), &stored);
    if (error != 0) {
        refuse(error);
        return;
    }
    writeAlarm(w, stored, 0);
}

bool CDemoBox::targetAllowed(const QString& clientIp) const
{
    QHostAddress target;
    if (!target.setAddress(clientIp) || target.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    // Streams go to loopback only, unless the box was deliberately put on another address.
    if (target.isLoopback())
        return true;
    return m_options.addressGiven && !m_options.address.isLoopback();
}

void CDemoBox::startStreaming(const QueryCommand& c, CXmlReplyWriter& w, bool* hlsStarted)
{
    w.startElement("streaming");
    auto fail = [&w, &c](int error, const QString& why) {
        std::fprintf(stderr, "demobox: start_streaming refused (%d): %s\n", error, qPrintable(why));
        Q_UNUSED(c);
        w.attribute("error", qint64(error));
        w.endElement();
    };
    const auto type = c.integer(QStringLiteral("svc_type"));
    const auto idx = c.integer(QStringLiteral("svc_idx"));
    const auto protocol = c.integer(QStringLiteral("net_protocol"));
    if (c.malformed || !type || !idx || !protocol || *protocol < 0 || *protocol > 2) {
        fail(kStreamFailed, QStringLiteral("missing or malformed parameters"));
        return;
    }
    const DemoService* s = m_db.findService(*type, *idx);
    const auto sat = c.integer(QStringLiteral("sat_idx"));
    if (s == nullptr || (sat && *sat != s->satIdx)) {
        fail(kStreamFailed, QStringLiteral("no such service"));
        return;
    }
    const DemoTransponder* tp = m_db.findTransponder(s->tpIdx);
    if (tp != nullptr && !tp->streamingPossibility) {
        fail(kStreamNotAvailable, QStringLiteral("the service's transponder cannot be streamed"));
        return;
    }
    if (m_streamer->isStreaming()) {
        fail(kStreamNowPlaying, QStringLiteral("a stream is running"));
        return;
    }
    if (m_db.needsPin(*s) && c.value(QStringLiteral("pin_code")).value_or(QString()) != m_options.pin) {
        fail(kStreamPinError, QStringLiteral("PIN code needed"));
        return;
    }
    const QString ip = c.value(QStringLiteral("net_client_ip")).value_or(QString());
    int clientPort = c.integer(QStringLiteral("net_client_port")).value_or(0);
    if (*protocol != CStreamer::Hls) {
        if (clientPort == 0)
            clientPort = *protocol == CStreamer::Udp ? kUdpDefaultPort : kRtpDefaultPort;
        if (clientPort < 1 || clientPort > 65535) {
            fail(kStreamFailed, QStringLiteral("bad client port"));
            return;
        }
        if (!targetAllowed(ip)) {
            fail(kStreamFailed, QStringLiteral("client address %1 is not allowed").arg(ip));
            return;
        }
    }
    QString why;
    if (!m_streamer->start(*s, *protocol, ip, clientPort, &why)) {
        fail(kStreamFailed, why);
        return;
    }
    m_liveOrdinal = s->ordinal;
    *hlsStarted = *hlsStarted || *protocol == CStreamer::Hls;
    w.attribute("error", qint64(0));
    writeStreamingState(w);
    w.endElement();
}

void CDemoBox::stopStreaming(CXmlReplyWriter& w)
{
    m_streamer->stop();
    w.startElement("stop");
    w.attribute("error", qint64(0));
    w.endElement();
}

void CDemoBox::rcu(const QueryCommand& c, CXmlReplyWriter& w)
{
    const auto key = c.integer(QStringLiteral("key"));
    const auto repeat = c.integer(QStringLiteral("repeat"));
    const bool ok =
        !c.malformed && key.has_value() && (repeat.has_value() || !c.value(QStringLiteral("repeat")));
    if (ok)
        m_log.note(QStringLiteral("rcu key=%1 repeat=%2").arg(*key).arg(repeat.value_or(0)));
    w.startElement("rcu");
    w.attribute("error", qint64(ok ? 0 : kBadParameters));
    w.endElement();
}

void CDemoBox::handleHls(CHttpExchange* exchange, const QByteArray& path)
{
    const QByteArray expected = "Basic " + (m_options.user + u':' + m_options.password).toUtf8().toBase64();
    if (exchange->header("authorization") != expected) {
        exchange->send(401, "text/plain", "authentication required\n",
                       {{"WWW-Authenticate", "Basic realm=\"quarn\""}});
        return;
    }
    const QString name = QString::fromUtf8(path.mid(int(qstrlen("/quarn/"))));
    const auto data = m_streamer->hlsFile(name);
    if (!data) {
        exchange->send(404, "text/plain", "no such stream file\n");
        return;
    }
    exchange->send(200,
                   name.endsWith(QLatin1String(".m3u8")) ? "application/vnd.apple.mpegurl" : "video/mp2t",
                   *data, {{"Cache-Control", "no-cache"}});
}

void CDemoBox::handleControl(CHttpExchange* exchange, const QByteArray& path, const QByteArray& query)
{
    const auto fields = CQueryText::formFields(query);
    auto field = [&fields](const char* name) -> std::optional<QString> {
        for (const auto& [k, v] : fields) {
            if (k == QLatin1String(name))
                return v;
        }
        return std::nullopt;
    };
    if (path == "/demobox/fault") {
        const QString command = field("cmd").value_or(QString());
        if (field("clear")) {
            if (command.isEmpty())
                m_faults.clearAll();
            else
                m_faults.clear(command);
        } else if (const auto mode = field("mode")) {
            QString error;
            bool countOk = true;
            const int count = field("count") ? field("count")->toInt(&countOk) : 0;
            if (!countOk || !m_faults.set(command, *mode, field("arg").value_or(QString()), count, &error)) {
                exchange->send(400, "text/plain",
                               (countOk ? error : QStringLiteral("bad count")).toUtf8() + '\n');
                return;
            }
        }
        exchange->send(200, "text/plain; charset=utf-8", "ok\n" + m_faults.describe().toUtf8());
        return;
    }
    if (path == "/demobox/log") {
        if (field("clear")) {
            m_log.clear();
            exchange->send(200, "text/plain", "ok\n");
            return;
        }
        exchange->send(200, "text/plain; charset=utf-8", m_log.text());
        return;
    }
    exchange->send(404, "text/plain", "control endpoints: /demobox/fault, /demobox/log\n");
}
