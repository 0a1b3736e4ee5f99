#pragma once

#include "tests/support/TestHelpers.h"

#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"

#include <QByteArray>
#include <QString>
#include <ctime>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <pugixml.hpp>
#include <string>

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace dbtest {

// Every test that changes the database checks the rules that tie its lists together.
#define EXPECT_SOUND(db) EXPECT_EQ((db).CheckInvariants().toStdString(), std::string())

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
