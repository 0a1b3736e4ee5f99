#pragma once

// A database filled from box replies without a box, and a scripted box for the set_alarm command
// that stores, changes and removes schedules the way the box does. Its reader can be told to read
// a guide straight into the database's guide record, as a reader without a read-aside copy would:
// a reply that breaks half way then leaves the record with the events read so far and none of
// those it held before.

#include "protocol/CHttpExchange.h"
#include "protocol/CQuarnXML.h"
#include "tests/db/DbTestSupport.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <map>
#include <string>

namespace guidetest {

using dbtest::Reply;

// Service 12 of type 0 is "Eins", number 7, scrambled; service 13 "Zwei".
inline const std::string kServices = R"(<sat idx="3" degree="192" name="Astra"><tp idx="7">
    <svc idx="12" type="0" scrambled="1"><service num="1" lcn="7">Eins</service></svc>
    <svc idx="13" type="0"><service num="2" lcn="8">Zwei</service></svc></tp></sat>)";

inline int Key12()
{
    return MakeServiceKey(0, 12);
}

class GuideReader final : public CQuarnXML
{
public:
    using CQuarnXML::CQuarnXML;

    bool ApplyGuide(const pugi::xml_document& doc, CGuideElement& guide) const override
    {
        return inPlace ? ReadGuide(doc, guide) : CQuarnXML::ApplyGuide(doc, guide);
    }

    bool inPlace = false;
};

class GuideBox
{
public:
    GuideBox()
    {
        wrapper.address = QStringLiteral("127.0.0.1");
        wrapper.transport = [this](const QByteArray& url, int) { return Answer(url); };
    }

    // A full reload with these schedules (alarm elements) besides the services.
    bool Load(const std::string& alarms = "")
    {
        pugi::xml_document doc;
        dbtest::Inject(wrapper, doc, Reply(R"(<pin error="0"/>)" + kServices + alarms));
        return db.ReloadFromDocument(doc);
    }

    // A guide reply for service 0/idx with these evt elements, made at `created`.
    bool Guide(const std::string& events, int idx = 12, const std::string& created = "2014-03-05T21:15:59")
    {
        std::string xml =
            Reply("<epg svc_type=\"0\" svc_idx=\"" + std::to_string(idx) + "\">" + events + "</epg>");
        xml.replace(xml.find("2014-03-05T21:15:59"), 19, created);
        pugi::xml_document doc;
        dbtest::Inject(wrapper, doc, xml);
        return db.GuideFromDocument(doc);
    }

    int setAlarms = 0;

    CQuarnWrapper wrapper;
    GuideReader reader{wrapper};
    CQuarnDataModel db{reader};

private:
    // The box's answer to set_alarm: mode 0 removes, anything else is stored under a new or the
    // same id. Any other request (the protocol version) gets an empty reply.
    CHttpExchange::Reply Answer(const QByteArray& url)
    {
        CHttpExchange::Reply r;
        r.result = CHttpExchange::Completed;
        r.httpStatus = 200;
        const QString query = QUrl::fromPercentEncoding(url.mid(url.indexOf('?') + 1));
        if (!query.startsWith(QStringLiteral("cmd=set_alarm"))) {
            r.body = QByteArray::fromStdString(Reply(""));
            return r;
        }
        ++setAlarms;
        std::map<QString, QString> p;
        for (const QString& part : query.split(QLatin1Char('&'))) {
            const qsizetype eq = part.indexOf(QLatin1Char('='));
            if (eq > 0)
                p[part.left(eq)] = part.mid(eq + 1).remove(QLatin1Char('"'));
        }
        int id = p["alarm_id"].toInt();
        std::string alarm;
        if (p["alarm_mode"] == QStringLiteral("0")) {
            alarm = "<alarm error=\"0\" id=\"" + std::to_string(id) + "\" mode=\"0\"/>";
        } else {
            if (id == 0)
                id = m_nextId++;
            alarm = QStringLiteral(
                        "<alarm error=\"0\" id=\"%1\" type=\"%2\" mode=\"%3\" days=\"0\" stime=\"%4\" "
                        "etime=\"%5\"><svc sat=\"%6\" type=\"%7\" idx=\"%8\"/><evt id=\"%9\">E</evt></alarm>")
                        .arg(id)
                        .arg(p["alarm_type"], p["alarm_mode"], p["stime"], p["etime"], p["sat_idx"],
                             p["svc_type"], p["svc_idx"], p["evt_id"])
                        .toStdString();
        }
        r.body = QByteArray::fromStdString(Reply(alarm));
        return r;
    }

    int m_nextId = 100;
};

} // namespace guidetest
