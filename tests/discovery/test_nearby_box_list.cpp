#include "discovery/CNearbyBoxList.h"
#include "discovery/HostFromUrl.h"
#include "res/CStringTable.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
constexpr char kBox[] = "NORVA+ Media Server";

struct Step
{
    enum Kind
    {
        Begin,    // the settings view becomes active: a new search
        Found,    // a device was found
        Removed,  // a device left
        Complete, // the search's initial sweep ended
        Type,     // the address field now holds `address` ("" = blank)
    } kind;
    std::string name;
    std::string address;
    std::string udn;
};

Step B()
{
    return {Step::Begin, {}, {}, {}};
}
Step F(std::string name, std::string address, std::string udn = "uuid:any")
{
    return {Step::Found, std::move(name), std::move(address), std::move(udn)};
}
Step R(std::string udn)
{
    return {Step::Removed, {}, {}, std::move(udn)};
}
Step C()
{
    return {Step::Complete, {}, {}, {}};
}
Step T(std::string address)
{
    return {Step::Type, {}, std::move(address), {}};
}

quint32 Address(const std::string& dotted)
{
    quint32 address = 0;
    EXPECT_TRUE(ParseDottedIPv4(QString::fromStdString(dotted), address)) << dotted;
    return address;
}

void Apply(CNearbyBoxList& list, const Step& step)
{
    switch (step.kind) {
    case Step::Begin:
        list.BeginSearch();
        break;
    case Step::Found: {
        UpnpDevice device;
        device.udn = QString::fromStdString(step.udn);
        device.friendlyName = QString::fromStdString(step.name);
        device.documentUrl =
            QStringLiteral("http://%1:49152/description.xml").arg(QString::fromStdString(step.address));
        device.ipAddress = Address(step.address);
        list.OnDeviceFound(device);
        break;
    }
    case Step::Removed:
        list.OnDeviceRemoved(QString::fromStdString(step.udn));
        break;
    case Step::Complete:
        list.OnSearchComplete();
        break;
    case Step::Type:
        list.SyncConnectedBox(step.address.empty() ? std::nullopt
                                                   : std::optional<quint32>(Address(step.address)));
        break;
    }
}

std::vector<std::string> Rows(const CNearbyBoxList& list)
{
    std::vector<std::string> rows;
    for (int row = 0; row < list.RowCount(); ++row)
        rows.push_back(list.RowText(row).toStdString());
    return rows;
}

std::string Row(const std::string& address)
{
    return std::string(kBox) + " (" + address + ")";
}

const std::string kScanning = "Scanning...";

struct Case
{
    const char* what;
    std::vector<Step> steps;
    std::vector<std::string> rows;
    int selected;
};

const std::vector<Case>& Cases()
{
    static const std::vector<Case> cases = {
        {"no box: the placeholder alone, before the search ends", {B()}, {kScanning}, -1},
        {"no box: the placeholder alone, after the search ends", {B(), C()}, {kScanning}, -1},
        {"rows stand in discovery order, each new one just above the placeholder",
         {B(), F(kBox, "10.0.0.9"), F(kBox, "10.0.0.2"), F(kBox, "10.0.0.5")},
         {Row("10.0.0.9"), Row("10.0.0.2"), Row("10.0.0.5"), kScanning},
         -1},
        {"two root devices at one address give one row, the first one's",
         {B(), F(kBox, "192.168.1.20", "uuid:a"), F("norva+ media server", "192.168.1.20", "uuid:b"), C()},
         {Row("192.168.1.20"), kScanning},
         -1},
        {"the friendly name is compared over the whole string, ignoring case",
         {B(), F("norva+ MEDIA server", "10.0.0.1"), F("NORVA+ Media Server ", "10.0.0.2"),
          F("NORVA Media Server", "10.0.0.3"), F("NORVA+ Media Serve", "10.0.0.4"), F("", "10.0.0.5"),
          F("Other Media Server", "10.0.0.6")},
         {"norva+ MEDIA server (10.0.0.1)", kScanning},
         -1},
        {"a removal leaves the row in place",
         {B(), F(kBox, "10.0.0.1", "uuid:a"), R("uuid:a"), C(), R("uuid:a")},
         {Row("10.0.0.1"), kScanning},
         -1},
        {"rows of an earlier search stay until the new one completes",
         {B(), F(kBox, "10.0.0.1"), C(), B()},
         {Row("10.0.0.1"), kScanning},
         -1},
        {"a box that does not answer the next search goes when it completes",
         {B(), F(kBox, "10.0.0.1"), F(kBox, "10.0.0.2"), F(kBox, "10.0.0.3"), C(), B(), F(kBox, "10.0.0.2"),
          C()},
         {Row("10.0.0.2"), kScanning},
         -1},
        {"a device that is not a box does not keep a box's row",
         {B(), F(kBox, "10.0.0.1"), C(), B(), F("Other", "10.0.0.1"), C()},
         {kScanning},
         -1},
        {"a box found after the sweep is added, and must answer the next search to stay",
         {B(), F(kBox, "10.0.0.1"), C(), F(kBox, "10.0.0.2"), B(), F(kBox, "10.0.0.1"), C()},
         {Row("10.0.0.1"), kScanning},
         -1},
        {"address 0.0.0.0 is de-duplicated like any other",
         {B(), F(kBox, "0.0.0.0", "uuid:a"), F(kBox, "0.0.0.0", "uuid:b")},
         {Row("0.0.0.0"), kScanning},
         -1},
        {"the row with the typed address is selected once it arrives",
         {T("10.0.0.2"), B(), F(kBox, "10.0.0.1"), F(kBox, "10.0.0.2")},
         {Row("10.0.0.1"), Row("10.0.0.2"), kScanning},
         1},
        {"typing another listed address selects that row; an unlisted one none",
         {B(), F(kBox, "10.0.0.1"), F(kBox, "10.0.0.2"), T("10.0.0.1"), T("10.0.0.2"), T("10.0.0.3")},
         {Row("10.0.0.1"), Row("10.0.0.2"), kScanning},
         -1},
        {"the selection follows its row when rows above it go",
         {B(), F(kBox, "10.0.0.1"), F(kBox, "10.0.0.2"), T("10.0.0.2"), B(), F(kBox, "10.0.0.2"), C()},
         {Row("10.0.0.2"), kScanning},
         0},
        {"the selection ends when its row goes",
         {B(), F(kBox, "10.0.0.1"), T("10.0.0.1"), B(), C()},
         {kScanning},
         -1},
        {"a blank address field matches no row, not even 0.0.0.0",
         {B(), F(kBox, "0.0.0.0"), T("")},
         {Row("0.0.0.0"), kScanning},
         -1},
    };
    return cases;
}

TEST(NearbyBoxList, EventSequences)
{
    ASSERT_EQ(CStringTable::Get(171), QString::fromStdString(kScanning));
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        CNearbyBoxList list;
        for (const Step& step : c.steps)
            Apply(list, step);
        EXPECT_EQ(Rows(list), c.rows);
        EXPECT_EQ(list.SelectedRow(), c.selected);
        EXPECT_EQ(list.Connected(), c.selected >= 0);
        EXPECT_TRUE(list.IsPlaceholder(list.RowCount() - 1));
        EXPECT_EQ(list.Box(list.RowCount() - 1), nullptr);
    }
}

TEST(NearbyBoxList, RowsKeepTheWholeRecord)
{
    CNearbyBoxList list;
    UpnpDevice device{QStringLiteral("uuid:box-1"), QStringLiteral("nOrVa+ media SERVER"),
                      QStringLiteral("http://192.168.1.20/description.xml"), 0xC0A80114u};
    EXPECT_EQ(list.OnDeviceFound(device), 0);
    ASSERT_NE(list.Box(0), nullptr);
    EXPECT_EQ(*list.Box(0), device);
    EXPECT_EQ(list.Box(-1), nullptr);
    EXPECT_EQ(list.Box(5), nullptr);
    EXPECT_TRUE(list.RowText(7).isEmpty());
}

TEST(NearbyBoxList, AFloodOfBoxesIsBounded)
{
    CNearbyBoxList list;
    list.BeginSearch();
    for (quint32 i = 1; i <= 1000; ++i) {
        UpnpDevice device{QStringLiteral("uuid:%1").arg(i), QString::fromLatin1(kBox), QString(),
                          0x0A000000u + i};
        list.OnDeviceFound(device);
        list.OnDeviceFound(device);
    }
    EXPECT_EQ(list.BoxCount(), CNearbyBoxList::kMaxBoxes);
    EXPECT_EQ(list.RowCount(), CNearbyBoxList::kMaxBoxes + 1);
    EXPECT_LE(list.SeenAddresses().size(), CNearbyBoxList::kMaxBoxes);
    EXPECT_EQ(list.RowText(list.RowCount() - 1), QString::fromStdString(kScanning));
    EXPECT_EQ(list.OnSearchComplete(), 0);
    EXPECT_TRUE(list.SeenAddresses().isEmpty());
}
} // namespace
