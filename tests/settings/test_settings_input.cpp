// The settings form's input rules, without widgets: what the address fields make of typing and
// pasting, what Save stores, and what it refuses.

#include "SettingsTestSupport.h"
#include "res/CStringTable.h"
#include "views/settings/CSettingsInput.h"

#include <gtest/gtest.h>
#include <map>

namespace {
using Field = CSettingsInput::Field;

struct TypeCase
{
    const char* what;
    Octets before;
    int field;
    const char* text; // the field's whole text after the keystroke or paste
    Octets after;
    int focus;
};

class AddressTyping : public testing::TestWithParam<TypeCase>
{
};

TEST_P(AddressTyping, GivesTheFieldsAndTheFocus)
{
    const TypeCase& c = GetParam();
    const CSettingsInput::Typed typed = CSettingsInput::Type(c.before, c.field, QString::fromUtf8(c.text));
    EXPECT_EQ(typed.octets, c.after) << c.what;
    EXPECT_EQ(typed.focus, c.focus) << c.what;
}

const Octets kBlank{};

INSTANTIATE_TEST_SUITE_P(
    Cases, AddressTyping,
    testing::Values(
        TypeCase{"one digit stays", kBlank, 0, "1", O("1", "", "", ""), 0},
        TypeCase{"the third digit moves on", O("19", "", "", ""), 0, "192", O("192", "", "", ""), 1},
        TypeCase{"the third digit of the last field stays", O("1", "2", "3", "25"), 3, "254",
                 O("1", "2", "3", "254"), 3},
        TypeCase{"an octet above 255 becomes 255", kBlank, 1, "300", O("", "255", "", ""), 2},
        TypeCase{"999 too", kBlank, 3, "999", O("", "", "", "255"), 3},
        TypeCase{"letters are dropped", kBlank, 0, "1a2", O("12", "", "", ""), 0},
        TypeCase{"a fourth digit is cut", O("123", "", "", ""), 0, "1234", O("123", "", "", ""), 1},
        TypeCase{"a dot after digits moves on", O("10", "", "", ""), 0, "10.", O("10", "", "", ""), 1},
        TypeCase{"a whole address pasted into the first field", kBlank, 0, "192.168.1.20",
                 O("192", "168", "1", "20"), 3},
        TypeCase{"a whole address pasted into a later field fills all four", O("10", "0", "", ""), 2,
                 "192.168.1.20", O("192", "168", "1", "20"), 3},
        TypeCase{"spaces round a pasted address are ignored", kBlank, 0, "  10.0.0.7\n",
                 O("10", "0", "0", "7"), 3},
        TypeCase{"part of an address carries on from the field", O("10", "", "", ""), 1, "1.2",
                 O("10", "1", "2", ""), 2},
        TypeCase{"a pasted address with too many parts stops at the last field", kBlank, 2, "1.2.3.4.5",
                 O("", "", "1", "2"), 3},
        TypeCase{"out-of-range parts of a paste are clamped", kBlank, 0, "300.1.2.999",
                 O("255", "1", "2", "255"), 3},
        TypeCase{"a field emptied stays empty", O("1", "2", "3", "4"), 1, "", O("1", "", "3", "4"), 1}));

TEST(AddressFields, StoredFormAndParsing)
{
    EXPECT_EQ(CSettingsInput::Dotted(kBlank), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(CSettingsInput::Dotted(O("192", "", "1", "5")), QStringLiteral("192.0.1.5"));
    EXPECT_FALSE(CSettingsInput::Address(O("192", "", "1", "5")));
    EXPECT_EQ(CSettingsInput::Address(O("192", "168", "1", "20")), 0xC0A80114u);
    EXPECT_EQ(CSettingsInput::FromDotted(QStringLiteral("192.168.1.20")), O("192", "168", "1", "20"));
    EXPECT_EQ(CSettingsInput::FromDotted(QStringLiteral("0.0.0.0")), O("0", "0", "0", "0"));
    for (const char* bad : {"", "192.168.1", "192.168.1.256", "host.example", "1.2.3.4.5"})
        EXPECT_EQ(CSettingsInput::FromDotted(QString::fromLatin1(bad)), kBlank) << bad;
}

TEST(PortField, ValueOfTheText)
{
    const std::pair<const char*, int> cases[] = {
        {"5004", 5004},
        {"", 0},
        {"abc", 0},
        {"80x", 80},
        {"065535", 65535},
        {"99999", 65536},
        {"99999999999999999999", 65536},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(CSettingsInput::PortValue(QString::fromLatin1(text)), value) << text;
}

TEST(SettingsValues, RoundTripKeepsEverythingAndThePortOffTheForm)
{
    const CBoxConnection stored = Stored();
    const CSettingsInput::Values values = CSettingsInput::FromConnection(stored);
    EXPECT_EQ(CSettingsInput::ToConnection(values, stored), stored);
    EXPECT_FALSE(CSettingsInput::Check(values));
}

TEST(SettingsValues, WhatSaveStoresFromBlankAndUnchosenFields)
{
    CSettingsInput::Values values;
    values.stodPort = QStringLiteral("x");
    const CBoxConnection saved = CSettingsInput::ToConnection(values, Stored());
    EXPECT_EQ(saved.address, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(saved.settings.streamingProtocol, -1);
    EXPECT_EQ(saved.settings.stodProtocol, -1);
    EXPECT_EQ(saved.settings.stodPort, 0);
    EXPECT_EQ(saved.settings.pinCode, QString());
    EXPECT_EQ(saved.port, 8081);
}

struct CheckCase
{
    const char* what;
    void (*change)(CSettingsInput::Values&);
    std::optional<Field> field;
};

TEST(SettingsCheck, RefusesOnlyWhatWouldBeStoredWrong)
{
    const CheckCase cases[] = {
        {"as stored", [](CSettingsInput::Values&) {}, std::nullopt},
        {"blank box address: no box yet", [](CSettingsInput::Values& v) { v.boxAddress = {}; }, std::nullopt},
        {"box address in part", [](CSettingsInput::Values& v) { v.boxAddress[2].clear(); },
         Field::BoxAddress},
        {"no protocol chosen", [](CSettingsInput::Values& v) { v.streamingProtocol = -1; }, std::nullopt},
        {"empty PIN, user, password",
         [](CSettingsInput::Values& v) {
             v.pinCode.clear();
             v.userName.clear();
             v.password.clear();
         },
         std::nullopt},
        {"other device: address in part", [](CSettingsInput::Values& v) { v.stodAddress[3].clear(); },
         Field::StodAddress},
        {"other device: blank address", [](CSettingsInput::Values& v) { v.stodAddress = {}; },
         Field::StodAddress},
        {"other device: 0.0.0.0", [](CSettingsInput::Values& v) { v.stodAddress = O("0", "0", "0", "0"); },
         Field::StodAddress},
        {"other device: port 0", [](CSettingsInput::Values& v) { v.stodPort = QStringLiteral("0"); },
         Field::StodPort},
        {"other device: port blank", [](CSettingsInput::Values& v) { v.stodPort.clear(); }, Field::StodPort},
        {"other device: port 65536", [](CSettingsInput::Values& v) { v.stodPort = QStringLiteral("65536"); },
         Field::StodPort},
        {"other device off: its fields are stored as they are",
         [](CSettingsInput::Values& v) {
             v.stodEnabled = false;
             v.stodAddress = {};
             v.stodPort = QStringLiteral("0");
         },
         std::nullopt},
        {"other device off: address in part",
         [](CSettingsInput::Values& v) {
             v.stodEnabled = false;
             v.stodAddress[1].clear();
         },
         Field::StodAddress},
        {"other device off: port 70000",
         [](CSettingsInput::Values& v) {
             v.stodEnabled = false;
             v.stodPort = QStringLiteral("70000");
         },
         Field::StodPort},
    };
    // Each message names the field to correct.
    const std::map<Field, QString> texts = {
        {Field::BoxAddress, "IP address (Enter manually): fill in all four numbers of the STB's address, or "
                            "leave all four blank."},
        {Field::StodAddress, "Stream to other device: fill in all four numbers of the device's IP address."},
        {Field::StodPort, "Stream to other device: the Port must be a number from 1 to 65535."},
    };
    for (const CheckCase& c : cases) {
        CSettingsInput::Values values = CSettingsInput::FromConnection(Stored());
        c.change(values);
        const std::optional<CSettingsInput::Problem> problem = CSettingsInput::Check(values);
        ASSERT_EQ(problem.has_value(), c.field.has_value()) << c.what;
        if (!problem)
            continue;
        EXPECT_EQ(problem->field, *c.field) << c.what;
        EXPECT_EQ(CStringTable::Get(problem->captionId), QStringLiteral("Setting")) << c.what;
        EXPECT_EQ(CStringTable::Get(problem->textId), texts.at(problem->field)) << c.what;
    }
}
} // namespace
