// Reply bytes through every database reader: a full reload, a guide and a set_alarm answer, all
// from the same document. Whatever the bytes, nothing may crash and the database's rules must hold
// after each step.
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

void Check(const CQuarnDataModel& db, const char* step)
{
    const QString broken = db.CheckInvariants();
    if (!broken.isEmpty()) {
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
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    wrapper.SetResponseBody(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    pugi::xml_document doc;
    if (!wrapper.LoadReply(doc))
        __builtin_trap();

    const bool loaded = db.ReloadFromDocument(doc);
    Check(db, "reload");
    if (!loaded && (!db.Services().empty() || !db.Groups().empty() || !db.Schedules().empty()))
        __builtin_trap(); // a failed reload leaves nothing behind
    for (const auto& s : db.Services()) {
        if (!db.FindService(s->key))
            __builtin_trap();
    }

    db.GuideFromDocument(doc);
    Check(db, "guide");
    CQuarnXML::ApplyScheduleReply(doc, db);
    Check(db, "set_alarm reply");
    // The same answer twice: an overwrite in place, or a delete of what is already gone.
    CQuarnXML::ApplyScheduleReply(doc, db);
    Check(db, "set_alarm reply again");
    db.GuideFromDocument(doc);
    Check(db, "guide again");
    db.Clear();
    Check(db, "clear");
    return 0;
}
