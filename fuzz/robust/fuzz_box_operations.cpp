// Whole box operations driven by a sequence of replies, as a box of either protocol form would
// send them: reload, guide, set schedule, streaming start and stop, remote key. After every
// operation the database must be consistent, never busy, and a failed reload must leave it empty.
//
// Input: one byte (bit 0: new-form box), then replies separated by "\n<<<>>>\n". A reply "!"
// stands for a failed exchange and "?" for a time-out; running out of replies fails the exchange.
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"

#include <QByteArrayView>
#include <QList>
#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

void Check(const CQuarnDataModel& db, const char* step)
{
    const QString broken = db.CheckInvariants();
    if (!broken.isEmpty() || db.IsBusy()) {
        std::fprintf(stderr, "after %s: %s\n", step, broken.toUtf8().constData());
        __builtin_trap();
    }
}

} // namespace

// The box's times are local times. With TZ unset the C library reads the zone file's status again
// for every date it converts, a system call that would cost more than the rest of a short run;
// naming the same zone once keeps the times as they were and the runs fast.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", ":/etc/localtime", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool newForm = (data[0] & 1) != 0;
    const QByteArray rest(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    QList<QByteArray> replies;
    for (qsizetype from = 0;;) {
        const qsizetype at = rest.indexOf("\n<<<>>>\n", from);
        replies.append(rest.mid(from, at < 0 ? -1 : at - from));
        if (at < 0)
            break;
        from = at + 8;
    }

    CQuarnWrapper wrapper;
    wrapper.address = QStringLiteral("127.0.0.1");
    wrapper.version = newForm ? QStringLiteral("1.3") : QStringLiteral("1.2");
    wrapper.localAddressProvider = [] { return QStringList{QStringLiteral("127.0.0.1")}; };
    qsizetype next = 0;
    wrapper.transport = [&](const QByteArray&, int) {
        CHttpExchange::Reply reply;
        if (next >= replies.size())
            return reply; // failed
        const QByteArray& r = replies[next++];
        if (r == "!")
            return reply;
        if (r == "?") {
            reply.result = CHttpExchange::TimedOut;
            reply.httpStatus = 408;
            return reply;
        }
        reply.result = CHttpExchange::Completed;
        reply.httpStatus = 200;
        if (!r.isEmpty())
            reply.body = r;
        return reply;
    };
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);

    const bool loaded = db.UpdateService();
    Check(db, "reload");
    if (!loaded && (!db.Services().empty() || !db.Groups().empty() || !db.Schedules().empty()))
        __builtin_trap();

    const CServiceElement* first = db.Services().empty() ? nullptr : db.Services().front().get();
    const int svcType = first ? first->type : 0;
    const int svcIdx = first ? first->idx : 0;
    const size_t guideBefore = db.Guide().events.size();
    if (!db.UpdateEPG(svcType, svcIdx) && db.Guide().events.size() != guideBefore)
        __builtin_trap(); // a failed guide keeps the previous one
    Check(db, "guide");

    if (auto schedule = db.MakeSchedule(svcType, svcIdx, 0, 1, nullptr)) {
        schedule->start = 1893456000;
        schedule->end = schedule->start + 1800;
        db.SetSchedule(*schedule);
        Check(db, "set schedule");
    }
    db.StartStreaming(first);
    Check(db, "start streaming");
    db.StopStreaming();
    Check(db, "stop streaming");
    int code = 0;
    db.SendRemoteKey(5, 0, &code);
    Check(db, "remote key");
    (void)db.GetMediaAddress();
    return 0;
}
