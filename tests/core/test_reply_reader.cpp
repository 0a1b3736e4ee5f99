#include "protocol/CQuarnWrapper.h"
#include "protocol/CReplyReader.h"

#include "tests/support/TestHelpers.h"

#include <ctime>
#include <gtest/gtest.h>

namespace {

// Loads raw reply bytes the way an arriving reply is loaded.
bool Load(CQuarnWrapper& w, pugi::xml_document& doc, const QByteArray& body)
{
    w.SetResponseBody(body);
    return w.LoadReply(doc);
}

QString TextOf(const pugi::xml_document& doc, const char* path)
{
    return QString::fromUtf8(doc.select_node(path).node().child_value());
}

} // namespace

TEST(BodyToText, Utf8OnlyWhenTheFirstTagSaysSoExactly)
{
    const QByteArray utf8Body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xC3\xA9</a>";
    EXPECT_EQ(CReplyReader::BodyToText(utf8Body),
              QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\u00E9</a>"));

    const QByteArray lower = "<?xml version=\"1.0\" encoding=\"utf-8\"?><a>\xC3\xA9</a>";
    const QString asBytes = CReplyReader::BodyToText(lower);
    EXPECT_TRUE(asBytes.endsWith(QStringLiteral("<a>\u00C3\u00A9</a>")));

    // "UTF-8" after the first tag does not count.
    EXPECT_EQ(CReplyReader::BodyToText("<a>UTF-8\xFF</a>").back(), QLatin1Char('>'));
    EXPECT_EQ(CReplyReader::BodyToText("<a>UTF-8\xFF</a>").at(8), QChar(0xFF));
    EXPECT_TRUE(CReplyReader::BodyToText(QByteArray()).isEmpty());
}

TEST(FixEncodings, RecoversSingleByteAndBigEndianTexts)
{
    CQuarnWrapper w;
    pugi::xml_document doc;
    // A single-byte reply: the name bytes B0 B1 arrive as characters and are decoded as Cyrillic.
    ASSERT_TRUE(Load(w, doc,
                     "<?xml version=\"1.0\"?><r>"
                     "<n1 encoding=\"ISO-8859-5\">\xB0\xB1</n1>"
                     "<n2 encoding=\"iso-8859-5\">\xB0\xB1</n2>"
                     "<n3 encoding=\"ISO-8859-9\">\xDD\xFE</n3>"
                     "<n4 encoding=\"UTF-16BE\">\x04\x10\x04\x11\x04</n4>"
                     "<n5 encoding=\"ISO-8859-5\"/>"
                     "<n6 encoding=\"KOI8-R\">\xB0</n6>"
                     "</r>"));
    EXPECT_EQ(TextOf(doc, "//n1"), QStringLiteral("\u0410\u0411"));
    EXPECT_EQ(TextOf(doc, "//n2"), QStringLiteral("\u0410\u0411"));
    EXPECT_EQ(TextOf(doc, "//n3"), QStringLiteral("\u0130\u015F"));
    EXPECT_EQ(TextOf(doc, "//n4"), QStringLiteral("\u0410\u0411")); // an odd last byte is dropped
    EXPECT_EQ(TextOf(doc, "//n5"), QString());
    EXPECT_EQ(TextOf(doc, "//n6"), QStringLiteral("\u00B0")); // unknown names stay as read
    // The encoding name itself stays in the document.
    EXPECT_STREQ(doc.select_node("//n2/@encoding").attribute().value(), "iso-8859-5");
}

TEST(FixEncodings, Utf8ReplyCarryingOneCharacterPerByte)
{
    // In a UTF-8 reply, a single-byte text is written as the characters U+0080..U+00FF.
    CQuarnWrapper w;
    pugi::xml_document doc;
    ASSERT_TRUE(Load(
        w, doc,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r><n encoding=\"ISO-8859-5\">\xC2\xB0\xC2\xB1</n></r>"));
    EXPECT_EQ(TextOf(doc, "//n"), QStringLiteral("\u0410\u0411"));
}

TEST(LoadReply, BrokenOrMissingReplies)
{
    CQuarnWrapper w;
    pugi::xml_document doc;
    w.SetResponseBody(std::nullopt);
    EXPECT_FALSE(w.LoadReply(doc));

    // Not XML: an empty document in which nothing is found.
    for (const QByteArray& junk :
         {QByteArray("not xml at all"), QByteArray("<a><b></a>"), QByteArray("\x00\xFF\xFE", 3),
          QByteArray("<quarn:query quarn:version=\"1.3\"")}) {
        ASSERT_TRUE(Load(w, doc, junk));
        EXPECT_FALSE(doc.first_child()) << junk.toStdString();
    }
}

TEST(LoadReply, ClockOffsetFromTheCreationTime)
{
    CQuarnWrapper w;
    pugi::xml_document doc;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char created[64];
    std::strftime(created, sizeof created, "%Y-%m-%dT%H:%M:%S", &tm);
    const qint64 boxAhead = 3600;
    const std::time_t ahead = now + boxAhead;
    localtime_r(&ahead, &tm);
    std::strftime(created, sizeof created, "%Y-%m-%dT%H:%M:%S", &tm);

    ASSERT_TRUE(
        Load(w, doc, QByteArray("<quarn:query quarn:version=\"1.3\" quarn:created=\"") + created + "\"/>"));
    EXPECT_NEAR(static_cast<double>(w.clockOffset), static_cast<double>(boxAhead), 2.0);

    // Without a creation time, or with a broken one, the offset stays.
    ASSERT_TRUE(Load(w, doc, "<quarn:query quarn:version=\"1.3\"/>"));
    EXPECT_NEAR(static_cast<double>(w.clockOffset), static_cast<double>(boxAhead), 2.0);
    ASSERT_TRUE(Load(w, doc, "<quarn:query quarn:created=\"2014-13-01T00:00:00\"/>"));
    EXPECT_NEAR(static_cast<double>(w.clockOffset), static_cast<double>(boxAhead), 2.0);
}

TEST(BoxTime, ParseBoxTime)
{
    struct Case
    {
        const char* text;
        qint64 expected; // -1: the reading fails
    };
    const Case cases[] = {
        {"2014-03-05T09:07", Local(2014, 3, 5, 9, 7)},
        {"  2014-3-5T9:7 \t", Local(2014, 3, 5, 9, 7)},
        {"2014-03-05T09:07:45", Local(2014, 3, 5, 9, 7)},  // seconds are not read
        {"2014-02-30T10:00", Local(2014, 3, 2, 10, 0)},    // rolls into March
        {"2014--03--05TT09::07", Local(2014, 3, 5, 9, 7)}, // empty pieces are skipped
        {"2014-03-05", Local(2014, 3, 5, 0, 0)},           // missing pieces count 0
        {"", -1},
        {"1899-01-01T00:00", -1},
        {"2014-00-05T09:07", -1},
        {"2014-13-05T09:07", -1},
        {"2014-03-32T09:07", -1},
        {"2014-03-05T24:00", -1},
        {"2014-03-05T23:60", -1},
        {"99999999999999-03-05T00:00", -1}, // saturates, then fails the year bound
        {"10000-01-01T00:00", -1},
        {"9999-12-31T23:59", Local(9999, 12, 31, 23, 59)},
        {"abc", -1},
    };
    for (const Case& c : cases) {
        const auto t = CReplyReader::ParseBoxTime(QString::fromUtf8(c.text));
        if (c.expected < 0)
            EXPECT_FALSE(t.has_value()) << c.text;
        else
            EXPECT_EQ(t.value_or(-1), c.expected) << c.text;
    }
}

TEST(BoxTime, HeaderTimeReadsSecondsAndDoesNotTrim)
{
    EXPECT_EQ(CReplyReader::ParseHeaderTime(QStringLiteral("2014-03-05T09:07:45")).value_or(-1),
              Local(2014, 3, 5, 9, 7, 45));
    EXPECT_FALSE(CReplyReader::ParseHeaderTime(QStringLiteral("2014-03-05T09:07:60")).has_value());
    // A leading blank becomes part of the first piece, which the integer rule still reads.
    EXPECT_EQ(CReplyReader::ParseHeaderTime(QStringLiteral(" 2014-03-05T09:07:00")).value_or(-1),
              Local(2014, 3, 5, 9, 7, 0));
}

TEST(ReadingRules, IntegersLikeTheCLibraryButSaturating)
{
    struct Case
    {
        const char* text;
        int value;
    };
    const Case cases[] = {{"42", 42},
                          {"  -7x", -7},
                          {"+3", 3},
                          {"", 0},
                          {"abc", 0},
                          {"0x10", 0},
                          {"99999999999", INT_MAX},
                          {"-99999999999", INT_MIN},
                          {"2147483647", INT_MAX},
                          {"-2147483648", INT_MIN}};
    for (const Case& c : cases)
        EXPECT_EQ(CReplyReader::ToInt(c.text), c.value) << c.text;
    EXPECT_EQ(CReplyReader::ToInt(static_cast<const char*>(nullptr)), 0);
}

TEST(ReadingRules, FieldsAndErrorCodes)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<r><pin error=\"3\"/><fav/><svc n=\" 12abc\" b=\"2\" t=\"2014-03-05T09:07\" "
                                "bad=\"x\">Name</svc></r>"));

    int code = 99;
    EXPECT_TRUE(CReplyReader::GetErrorCode(doc, "//pin", code));
    EXPECT_EQ(code, 3);
    code = 99;
    EXPECT_FALSE(CReplyReader::GetErrorCode(doc, "//fav", code));
    EXPECT_EQ(code, 99);
    EXPECT_FALSE(CReplyReader::GetErrorCode(doc, "//nothere", code));
    EXPECT_FALSE(CReplyReader::GetErrorCode(doc, "//[broken", code)); // a bad path is a failed selection
    EXPECT_EQ(code, 99);

    const pugi::xml_node svc = doc.select_node("//svc").node();
    int n = -1, absent = -1;
    bool b = false;
    QString text, none = QStringLiteral("kept");
    qint64 t = 0, t2 = 5;
    CReplyReader::ReadInt(svc, pugi::xpath_query("@n"), n);
    CReplyReader::ReadInt(svc, pugi::xpath_query("@missing"), absent);
    CReplyReader::ReadBool(svc, pugi::xpath_query("@b"), b);
    CReplyReader::ReadText(svc, pugi::xpath_query("text()"), text);
    CReplyReader::ReadText(svc, pugi::xpath_query("@missing"), none);
    EXPECT_TRUE(CReplyReader::ReadTime(svc, pugi::xpath_query("@t"), t));
    EXPECT_FALSE(CReplyReader::ReadTime(svc, pugi::xpath_query("@bad"), t2));
    EXPECT_TRUE(CReplyReader::ReadTime(svc, pugi::xpath_query("@missing"), t2));
    EXPECT_EQ(n, 12);
    EXPECT_EQ(absent, -1);
    EXPECT_TRUE(b);
    EXPECT_EQ(text, QStringLiteral("Name"));
    EXPECT_EQ(none, QStringLiteral("kept"));
    EXPECT_EQ(t, Local(2014, 3, 5, 9, 7));
    EXPECT_EQ(t2, 5);
}

// The walk that stands in for "//element/@attribute" and "//element" must pick what the XPath
// selection picks: the first match in document order, whatever the nesting, from the document's
// root even when asked from deep inside it, and nothing when no element carries the attribute.
TEST(ReadingRules, FirstInDocumentOrderAsTheSelectionGivesIt)
{
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<q:query v=\"1\"><a><b error=\"1\"><stop/><stop error=\"2\"><stop error=\"3\"/>"
                                "</stop></b></a><stop error=\"4\"/><x><q:query v=\"2\"/></x><alarm/>"
                                "<c><alarm error=\"5\"/></c>text<alarm error=\"6\"/></q:query>"));
    const pugi::xml_node deep = doc.select_node("//stop[@error='3']").node();
    ASSERT_TRUE(deep);
    struct Case
    {
        const char* element;
        const char* attribute;
    };
    const Case cases[] = {{"stop", "error"}, {"b", "error"}, {"alarm", "error"}, {"q:query", "v"},
                          {"stop", "absent"}, {"nothere", "error"}, {"a", "error"}};
    for (const Case& c : cases) {
        const std::string path = std::string("//") + c.element + "/@" + c.attribute;
        for (const pugi::xml_node& from : {static_cast<pugi::xml_node>(doc), deep}) {
            const pugi::xml_attribute want = from.select_node(path.c_str()).attribute();
            EXPECT_EQ(CReplyReader::FirstAttribute(from, c.element, c.attribute), want) << path;
            EXPECT_EQ(CReplyReader::FirstElement(from, c.element),
                      from.select_node((std::string("//") + c.element).c_str()).node())
                << c.element;
        }
    }
    int code = 0;
    EXPECT_TRUE(CReplyReader::GetErrorCode(deep, "//stop", code));
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(CReplyReader::GetErrorCode(doc, "//c/alarm", code)); // not a plain name: the XPath way
    EXPECT_EQ(code, 5);
}
