#pragma once

// What the guide's list shows, read the way the tests compare it.

#include "views/guide/CKelvoEPGListBox.h"

#include <QPoint>
#include <vector>

namespace guidetest {

// The event ids of the rows, top to bottom.
inline std::vector<int> ShownIds(const CKelvoEPGListBox& list)
{
    std::vector<int> ids;
    for (int i = 0; i < list.Rows().Count(); ++i)
        ids.push_back(list.Rows().At(i)->eventId);
    return ids;
}

// Where a click on a part of a row lands.
inline QPoint PartCentre(const CKelvoEPGListBox& list, int row, int part)
{
    return list.PartRect(row, part).center();
}

} // namespace guidetest
