#pragma once

#include "tests/support/TestHelpers.h"

#include "model/CQuarnDataModel.h"
#include "model/IBoxLink.h"
#include "model/IBusyObserver.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"

#include <QByteArray>
#include <QString>
#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace dbtest {

// Every test that changes the database checks the rules that tie its lists together.
#define EXPECT_SOUND(db) EXPECT_EQ((db).CheckInvariants().toStdString(), std::string())

// A box link without a box: every operation answers as the test scripted it, after running
// `whileWaiting` where a real link would wait for the reply in a nested event loop.
class FakeBoxLink final : public IBoxLink
{
public:
    enum class Outcome
    {
        Answers, // a usable reply: `fill` runs, the box's code is `result`
        NoReply, // nothing usable came back
        Throws,  // the reader gave up half way with an exception
    };

    // Tests fill the database directly, as a reader would.
    static CQuarnDataModel::FillKey Key() { return FillAccess(); }

    bool LoadAll(CQuarnDataModel& db) override { return Answer(&db); }
    bool ReadReload(const pugi::xml_document&, const pugi::xml_document&, const pugi::xml_document&,
                    const pugi::xml_document&, const pugi::xml_document&, CQuarnDataModel& db) const override
    {
        return Answer(&db);
    }
    bool LoadEPG(int, int, CGuideElement& guide) override { return AnswerGuide(guide); }
    bool ApplyGuide(const pugi::xml_document&, CGuideElement& guide) const override { return AnswerGuide(guide); }
    int SetSchedule(const CScheduleElement&, CQuarnDataModel& db) override { return Answer(&db) ? result : -1; }
    bool StartStreaming(int, int, int, int netProtocol, const QString& clientIp, int clientPort,
                        const QString& pinCode, int& code) override
    {
        ++calls;
        started = {netProtocol, clientIp, clientPort, pinCode};
        return Code(code);
    }
    bool StopStreaming(int& code) override
    {
        ++calls;
        return Code(code);
    }
    bool SendRemoteKey(int, int, int& code) override
    {
        ++keys;
        return Code(code);
    }
    QString GetLocalAddress() override { return localAddress; }
    QString BoxAddress() const override { return boxAddress; }
    void SetMissingNameText(const QString& text) override { missingNameText = text; }

    Outcome outcome = Outcome::Answers;
    int result = 0;
    std::function<void(CQuarnDataModel&)> fill; // what a reply puts into the database
    std::function<void(CGuideElement&)> guideFill;
    std::function<void()> whileWaiting;
    QString localAddress = QStringLiteral("10.0.0.5");
    QString boxAddress = QStringLiteral("192.168.0.3");
    QString missingNameText;
    struct Start
    {
        int protocol = -1;
        QString address;
        int port = -1;
        QString pin;
    } started;
    mutable int calls = 0; // box operations asked of the link, keys not counted
    int keys = 0;

private:
    bool Wait() const
    {
        // Once per wait: whatever the hook asks of the database while it waits does not wait again.
        if (whileWaiting && !m_waiting) {
            m_waiting = true;
            whileWaiting();
            m_waiting = false;
        }
        if (outcome == Outcome::Throws)
            throw std::runtime_error("reader gave up");
        return outcome == Outcome::Answers;
    }
    bool Answer(CQuarnDataModel* db) const
    {
        ++calls;
        if (fill && db)
            fill(*db); // before the outcome: a reply that fails half way leaves half a database
        return Wait();
    }
    bool AnswerGuide(CGuideElement& guide) const
    {
        ++calls;
        if (!Wait())
            return false;
        if (guideFill)
            guideFill(guide);
        return true;
    }
    bool Code(int& code) const
    {
        if (!Wait())
            return false;
        code = result;
        return true;
    }

    mutable bool m_waiting = false;
};

class FakeBusyObserver final : public IBusyObserver
{
public:
    void BeginBusy() override
    {
        ++begun;
        if (onBegin)
            onBegin();
    }
    void EndBusy() override { ++ended; }

    int begun = 0;
    int ended = 0;
    std::function<void()> onBegin;
};

inline CQuarnDataModel::FillKey Key()
{
    return FakeBoxLink::Key();
}

inline std::unique_ptr<CServiceElement> MakeService(int type, int idx, int fav = 0, const char* name = "")
{
    auto s = std::make_unique<CServiceElement>();
    s->type = type;
    s->idx = idx;
    s->key = MakeServiceKey(type, idx);
    s->fav = fav;
    s->name = QString::fromUtf8(name);
    return s;
}

inline std::unique_ptr<CScheduleElement> MakeScheduleRecord(int id, int seriesId = -1, int svcType = 0,
                                                            int svcIdx = 1, int eventId = -1)
{
    auto s = std::make_unique<CScheduleElement>();
    s->id = id;
    s->seriesId = seriesId;
    s->svcType = svcType;
    s->svcIdx = svcIdx;
    s->eventId = eventId;
    s->mode = 1;
    s->type = 0;
    return s;
}


// Loads `xml` as if the box had just sent it.
inline void Inject(CQuarnWrapper& wrapper, pugi::xml_document& doc, const std::string& xml)
{
    wrapper.SetResponseBody(QByteArray::fromStdString(xml));
    ASSERT_TRUE(wrapper.LoadReply(doc));
}

// A full reload from a reply of the combined request.
inline bool Reload(CQuarnDataModel& db, CQuarnWrapper& wrapper, const std::string& xml)
{
    pugi::xml_document doc;
    wrapper.SetResponseBody(QByteArray::fromStdString(xml));
    if (!wrapper.LoadReply(doc))
        return false;
    return db.ReloadFromDocument(doc);
}

inline std::string Reply(const std::string& body, const char* version = "1.3")
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quarn:query quarn:version=\"") +
           version + "\" quarn:created=\"2014-03-05T21:15:59\">" + body + "</quarn:query>";
}

} // namespace dbtest
