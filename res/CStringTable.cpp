#include "res/CStringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

struct Entry
{
    int id;
    const char* text; // UTF-8
};

// Sorted by id; looked up by binary search.
constexpr std::array kEntries = std::to_array<Entry>({
    {100, "OLE initialization failed.  Make sure that the OLE libraries are the correct version."},
    {128, "Kelvo+"},
    {130, "Channel"},
    {131, "Schedule"},
    {132, "Setting"},
    {133, "Remote"},
    {134, "TV"},
    {135, "Radio"},
    {136, "Refresh "},
    {138, "Save"},
    {142, "Program Guide"},
    {143, "TV"},
    {144, "ON AIR"},
    {145, "My Schedule"},
    {146, "TV"},
    {147, "Schedule Setting"},
    {148, "Timer Edit"},
    {150, "Numeric"},
    {151, "Alphabetic"},
    {152, "Group"},
    {153, "SAT"},
    {154, "TP"},
    {155, "PID"},
    {156, "Provider"},
    {157, "Service"},
    {158, "Type"},
    {159, "Play"},
    {160, "Recording"},
    {161, "Mode"},
    {162, "Once"},
    {163, "Daily"},
    {164, "Weekly"},
    {165, "Start Date"},
    {166, "Start Time"},
    {167, "Duration"},
    {169, "Nearby Set-top-boxes (STB) List"},
    {170, "Connected (DRAVIK STB)"},
    {171, "Scanning..."},
    {172, "Status of connected STB"},
    {173, "IP address (Enter manually)"},
    {174, "Protocol"},
    {175, "Parental Password of your STB (to view Locked channels)"},
    {176, "Web server username"},
    {177, "Web server password"},
    {178, "Stream to other device"},
    {179, "IP address"},
    {180, "Port"},
    {181, "Protocol"},
    {182, "No Information"},
    {183, "Unknown error"},
    {184, "Broken Information"},
    {185, "No Information"},
    {186, "Loading..."},
    {187, "Setting"},
    {188, "Setting saved"},
    {189, "STB Setting"},
    {190, "Need to set STB IP"},
    {191, "Confirm to Delete"},
    {192, "Do you want to delete this schedule?"},
    {193, "Error"},
    {194, "Already running"},
    {195, "Service Update Failure"},
    {196, "Service update failed"},
    {197, "Start Streaming Failure"},
    {198, "Start streaming failed"},
    {199, "Not available state"},
    {200, "Now playing"},
    {201, "Storage error"},
    {202, "PIN Code error"},
    {203, "Stop Streaming Failure"},
    {204, "Stop streaming failed"},
    {205, "Set Schedule Failure"},
    {206, "Slot allocation fail"},
    {207, "Collision"},
    {208, "Running"},
    {209, "Wrong value"},
    {210, "Unknown"},
    {211, "%p %I:%M"},
    {212, "%Y-%b-%d %a"},
    {213, "%Y-%B-%d %A"},
    {1000, "The settings could not be written to disk. They stay in effect until Kelvo+ is closed."},
    {1001,
     "IP address (Enter manually): fill in all four numbers of the STB's address, or leave all four blank."},
    {1002, "Stream to other device: fill in all four numbers of the device's IP address."},
    {1003, "Stream to other device: the Port must be a number from 1 to 65535."},
    {1004, "Type: choose Play or Recording."},
    {1005, "Mode: choose Once, Daily or Weekly."},
    {1100, "Next channel"},
    {1101, "Previous channel"},
    {1102, "Louder"},
    {1103, "Quieter"},
    {1104, "Mute"},
    {1105, "Pause or play"},
    {1106, "Full screen"},
    {1107, "Leave full screen"},
    {1108, "Next field or full screen"},
    {1109, "Channel list"},
    {1110, "Mini player"},
    {1111, "Normal player"},
    {1112, "Channel information"},
});

static_assert(std::ranges::is_sorted(kEntries, {}, &Entry::id));

const Entry* Find(int id)
{
    const auto it = std::ranges::lower_bound(kEntries, id, {}, &Entry::id);
    return (it != kEntries.end() && it->id == id) ? &*it : nullptr;
}

} // namespace

QString CStringTable::Get(int id)
{
    const Entry* e = Find(id);
    return e ? QString::fromUtf8(e->text) : QString();
}

bool CStringTable::Has(int id)
{
    return Find(id) != nullptr;
}

QString CStringTable::ResultText(int base, int code, int first, int last)
{
    // Widened so that a hostile code cannot overflow into the table's range.
    const long long id = static_cast<long long>(base) + code;
    if (id >= first && id <= last && Has(static_cast<int>(id)))
        return Get(static_cast<int>(id));
    return Get(IDS_UNKNOWN_ERROR);
}
