#pragma once

#include <QString>
#include <QtGlobal>

class CScheduleElement;

// One program guide event.
struct CEventElement
{
    int id = -1;
    qint64 start = 0;
    qint64 end = 0;
    QString nameEncoding;
    QString name;
    QString textEncoding;
    QString text;
    CScheduleElement* schedule = nullptr; // not owned: the schedule that plays or records it
};
