// The settings store against files in a temporary folder: every key both ways, defaults for
// missing or unreadable values, owner-only files, and what counts as a configured box.
#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoConnection.h"
#include "app/settings/CKelvoSettingsStore.h"
#include "model/CBoxConnection.h"
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVariant>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// The rights of the file itself: QFile's own report adds the user's rights on top.
QFileDevice::Permissions FileRights(const QString& path)
{
    return QFile::permissions(path) &
           ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

// Every field that is stored, with values that differ from every default.
void FillEveryField(CKelvoAppState& s, CBoxConnection& c)
{
    s.windowLeft = 11;
    s.windowTop = -22;
    s.windowRight = 1033;
    s.windowBottom = 744;
    s.fullScreen = true;
    s.maximized = true;
    s.uiMode = 2;
    s.displayMode = 1;
    s.mediaType = 1;
    s.mute = true;
    s.volume = 37;
    s.startProfile = 0;
    c.address = QStringLiteral("192.168.7.9");
    c.port = 8081;
    c.settings.streamingProtocol = 2;
    c.settings.pinCode = QStringLiteral("0042");
    c.settings.userName = QStringLiteral("admin user");
    // What an INI file treats specially: quotes, separators, escapes, a leading @, and no ASCII.
    c.settings.password = QStringLiteral(" p\"a,s;s=w\\o%20rd@ \u00e4\u20ac");
    c.settings.stodEnabled = true;
    c.settings.stodAddress = QStringLiteral("10.0.0.77");
    c.settings.stodPort = 6006;
    c.settings.stodProtocol = 1;
}

// Each key as it must appear in the file, with its default and the field it is loaded into.
struct KeyCase
{
    const char* key; // "Section/Key"
    QVariant fallback;
    std::function<QVariant(const CKelvoAppState&, const CBoxConnection&)> loaded;
};

const std::vector<KeyCase>& Keys()
{
    using S = CKelvoAppState;
    using C = CBoxConnection;
    static const std::vector<KeyCase> keys{
        {"Player/Window-Left", 0, [](const S& s, const C&) { return QVariant(s.windowLeft); }},
        {"Player/Window-Top", 0, [](const S& s, const C&) { return QVariant(s.windowTop); }},
        {"Player/Window-Right", 0, [](const S& s, const C&) { return QVariant(s.windowRight); }},
        {"Player/Window-Bottom", 0, [](const S& s, const C&) { return QVariant(s.windowBottom); }},
        {"Player/FullScreen", 0, [](const S& s, const C&) { return QVariant(s.fullScreen ? 1 : 0); }},
        {"Player/Maximized", 0, [](const S& s, const C&) { return QVariant(s.maximized ? 1 : 0); }},
        {"Player/DispMode", 0, [](const S& s, const C&) { return QVariant(s.displayMode); }},
        {"Player/MediaType", 0, [](const S& s, const C&) { return QVariant(s.mediaType); }},
        {"Player/Mute", 0, [](const S& s, const C&) { return QVariant(s.mute ? 1 : 0); }},
        {"Player/nVolume", 100, [](const S& s, const C&) { return QVariant(s.volume); }},
        {"Player/LowLatencyStart", 1, [](const S& s, const C&) { return QVariant(s.startProfile); }},
        {"STB/STB IP Address", "0.0.0.0", [](const S&, const C& c) { return QVariant(c.address); }},
        {"STB/STB Port", 8080, [](const S&, const C& c) { return QVariant(c.port); }},
        {"STB/STB Streaming Protocol", 0,
         [](const S&, const C& c) { return QVariant(c.settings.streamingProtocol); }},
        {"STB/STB Code", "8351", [](const S&, const C& c) { return QVariant(c.settings.pinCode); }},
        {"STB/STB User Name", "root", [](const S&, const C& c) { return QVariant(c.settings.userName); }},
        {"STB/STB Password", "", [](const S&, const C& c) { return QVariant(c.settings.password); }},
        {"STB/STOD Enabled", 0,
         [](const S&, const C& c) { return QVariant(c.settings.stodEnabled ? 1 : 0); }},
        {"STB/STOD IP Address", "0.0.0.0",
         [](const S&, const C& c) { return QVariant(c.settings.stodAddress); }},
        {"STB/STOD Port", 5004, [](const S&, const C& c) { return QVariant(c.settings.stodPort); }},
        {"STB/STOD Streaming Protocol", 2,
         [](const S&, const C& c) { return QVariant(c.settings.stodProtocol); }},
    };
    return keys;
}

// The loaded value compared as text, so that an int default and a text default compare alike.
std::string Text(const QVariant& v)
{
    return v.toString().toStdString();
}

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Changes the file as another program might, through QSettings directly; under a new name
    // each time, because QSettings' cache of files goes by name, size and time.
    void WriteRaw(const std::function<void(QSettings&)>& fill)
    {
        const QString side = dir.filePath(QStringLiteral("raw%1.ini").arg(++rawWrites));
        if (QFile::exists(path)) {
            ASSERT_TRUE(QFile::copy(path, side));
        }
        {
            QSettings ini(side, QSettings::IniFormat);
            fill(ini);
            ini.sync();
            ASSERT_EQ(ini.status(), QSettings::NoError);
        }
        QFile::remove(path);
        ASSERT_TRUE(QFile::rename(side, path));
    }

    // "Section/Key" of every line of the file, as the file spells it.
    QStringList KeysInFile() const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        QStringList keys;
        QString section;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            const QString line = QString::fromUtf8(raw).trimmed();
            if (line.startsWith(QLatin1Char('[')))
                section = line.mid(1, line.size() - 2);
            else if (line.contains(QLatin1Char('=')))
                keys << section + QLatin1Char('/') +
                            line.left(line.indexOf(QLatin1Char('=')))
                                .replace(QStringLiteral("%20"), QStringLiteral(" "));
        }
        return keys;
    }

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Kelvo+.ini"));
    CKelvoSettingsStore store{path};
    int rawWrites = 0;
};

TEST_F(SettingsStoreTest, EveryKeyRoundTripsUnderItsOwnName)
{
    CKelvoAppState saved;
    CBoxConnection connection;
    FillEveryField(saved, connection);
    saved.streamingService = 4;
    ASSERT_TRUE(store.Save(saved, connection));
    EXPECT_TRUE(saved.boxConfigured);

    // The file holds exactly the keys of both sections, under their names; the mode is written.
    QStringList expected{QStringLiteral("Player/UIFrame")};
    for (const KeyCase& k : Keys())
        expected << QString::fromLatin1(k.key);
    expected.sort();
    QStringList inFile = KeysInFile();
    inFile.sort();
    EXPECT_EQ(inFile, expected);
    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Player/UIFrame")).toInt(), 2);

    CKelvoAppState loaded;
    loaded.streamingService = 9; // not stored: left alone
    CBoxConnection back;
    store.Load(loaded, back);
    EXPECT_EQ(back, connection);
    for (const KeyCase& k : Keys()) {
        SCOPED_TRACE(k.key);
        EXPECT_EQ(Text(k.loaded(loaded, back)), Text(k.loaded(saved, connection)));
    }
    EXPECT_EQ(loaded.uiMode, 0);
    EXPECT_TRUE(loaded.boxConfigured);
    EXPECT_EQ(loaded.streamingService, 9);

    // Saved again with other values of the same length: the next load sees the new ones.
    saved.volume = 42;
    connection.settings.pinCode = QStringLiteral("0043");
    ASSERT_TRUE(store.Save(saved, connection));
    store.Load(loaded, back);
    EXPECT_EQ(loaded.volume, 42);
    EXPECT_EQ(back.settings.pinCode, QStringLiteral("0043"));
}

TEST_F(SettingsStoreTest, MissingOrUnreadableValuesTakeTheirDefaults)
{
    // No file at all, or one that is not an INI file: every default, a box that is not configured.
    for (const bool garbage : {false, true}) {
        SCOPED_TRACE(garbage ? "garbage" : "no file");
        if (garbage) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            static constexpr char kGarbage[] = "\x00\xff[Player\nnVolume\n=\n[STB]]\n@Rect(1 2)\x01";
            file.write(kGarbage, sizeof kGarbage - 1);
        }
        CKelvoAppState state;
        state.boxConfigured = true;
        CBoxConnection connection;
        connection.address = QStringLiteral("1.2.3.4");
        store.Load(state, connection);
        for (const KeyCase& k : Keys()) {
            SCOPED_TRACE(k.key);
            EXPECT_EQ(Text(k.loaded(state, connection)), Text(k.fallback));
        }
        EXPECT_FALSE(state.boxConfigured);
    }

    // One key missing, or holding what is not a 32-bit number, while every other key is stored.
    CKelvoAppState full;
    CBoxConnection fullConnection;
    FillEveryField(full, fullConnection);
    for (const KeyCase& missing : Keys()) {
        const bool number = missing.fallback.typeId() == QMetaType::Int;
        for (const char* bad : {"", "abc", "4294967297", "1,2", "@Rect(1 2 3 4)"}) {
            if (!number && *bad)
                continue; // any text is a text
            SCOPED_TRACE(std::string(missing.key) + " = '" + bad + "'");
            QFile::remove(path);
            ASSERT_TRUE(store.Save(full, fullConnection));
            WriteRaw([&](QSettings& ini) {
                if (*bad)
                    ini.setValue(QString::fromLatin1(missing.key), QString::fromLatin1(bad));
                else
                    ini.remove(QString::fromLatin1(missing.key));
            });
            CKelvoAppState s;
            CBoxConnection c;
            store.Load(s, c);
            for (const KeyCase& k : Keys()) {
                const QVariant expected = &k == &missing ? k.fallback : k.loaded(full, fullConnection);
                EXPECT_EQ(Text(k.loaded(s, c)), Text(expected)) << k.key;
            }
        }
    }
}

TEST_F(SettingsStoreTest, VolumeStaysWithinWhatThePlayerTakes)
{
    for (const auto& [stored, loaded] :
         std::vector<std::pair<int, int>>{{-5, 0}, {0, 0}, {100, 100}, {250, 100}}) {
        WriteRaw(
            [stored = stored](QSettings& ini) { ini.setValue(QStringLiteral("Player/nVolume"), stored); });
        CKelvoAppState s;
        CBoxConnection c;
        store.Load(s, c);
        EXPECT_EQ(s.volume, loaded) << stored;
    }
}

TEST_F(SettingsStoreTest, AStoredModeDoesNotComeBack)
{
    WriteRaw([](QSettings& ini) { ini.setValue(QStringLiteral("Player/UIFrame"), 2); });
    CKelvoAppState s;
    s.uiMode = 3;
    CBoxConnection c;
    store.Load(s, c);
    EXPECT_EQ(s.uiMode, 0);
}

TEST_F(SettingsStoreTest, FileIsOwnerOnlyNewOrReplacedAndKeepsOtherSections)
{
    CKelvoAppState s;
    CBoxConnection c;
    c.settings.password = QStringLiteral("secret");
    ASSERT_TRUE(store.Save(s, c));
    EXPECT_EQ(FileRights(path), kOwnerOnly);

    // A file that other programs made readable to all, with a section of its own.
    QFile::remove(path);
    WriteRaw([](QSettings& ini) {
        ini.setValue(QStringLiteral("Other/Key"), QStringLiteral("kept"));
        ini.setValue(QStringLiteral("STB/STB Password"), QStringLiteral("old"));
    });
    ASSERT_TRUE(QFile::setPermissions(path, kOwnerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(store.Save(s, c));
    EXPECT_EQ(FileRights(path), kOwnerOnly);
    QSettings raw(path, QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Other/Key")).toString(), QStringLiteral("kept"));
    EXPECT_EQ(raw.value(QStringLiteral("STB/STB Password")).toString(), QStringLiteral("secret"));
    EXPECT_EQ(KeysInFile().size(), 23); // both sections and the other one
    // No draft is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Kelvo+.ini")});
}

TEST_F(SettingsStoreTest, AFileThatCannotBeWrittenIsReportedAndLeftAsItWas)
{
    // Its folder would have to be where a file is.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    CKelvoSettingsStore blocked(dir.filePath(QStringLiteral("blocker/Kelvo+.ini")));
    CKelvoAppState s;
    CBoxConnection c;
    c.address = QStringLiteral("192.168.0.3");
    EXPECT_FALSE(blocked.Save(s, c));
    EXPECT_TRUE(s.boxConfigured); // recomputed all the same
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("blocker/Kelvo+.ini"))));
}

TEST(SettingsStoreBox, OnlyTheExactNullAddressIsNotConfigured)
{
    EXPECT_FALSE(CKelvoSettingsStore::IsBoxConfigured(QStringLiteral("0.0.0.0")));
    for (const char* text :
         {"", "0.0.0.0 ", " 0.0.0.0", "0.0.0.00", "0.0.0", "192.168.0.3", "not an address"})
        EXPECT_TRUE(CKelvoSettingsStore::IsBoxConfigured(QString::fromLatin1(text))) << '"' << text << '"';

    // Loading and saving both set the flag from the address.
    QTemporaryDir dir;
    CKelvoSettingsStore store(dir.filePath(QStringLiteral("Kelvo+.ini")));
    for (const char* address : {"0.0.0.0", "0.0.0.0 ", "box"}) {
        SCOPED_TRACE(address);
        const bool configured = std::string(address) != "0.0.0.0";
        CKelvoAppState s;
        s.boxConfigured = !configured;
        CBoxConnection c;
        c.address = QString::fromLatin1(address);
        ASSERT_TRUE(store.Save(s, c));
        EXPECT_EQ(s.boxConfigured, configured);
        CKelvoAppState loaded;
        loaded.boxConfigured = !configured;
        CBoxConnection back;
        store.Load(loaded, back);
        EXPECT_EQ(back.address, c.address);
        EXPECT_EQ(loaded.boxConfigured, configured);
    }
}

TEST(SettingsStoreDefaultPlace, UserConfigurationFolder)
{
    // The only test that asks for the default place; QSettings settles the folder on first use.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    CKelvoSettingsStore store;
    EXPECT_EQ(store.FilePath(), config.filePath(QStringLiteral("Dravik/Kelvo+.conf")));
    CKelvoAppState s;
    CBoxConnection c;
    c.port = 8123;
    c.address = QStringLiteral("box one");
    ASSERT_TRUE(store.Save(s, c)); // makes the folders it needs
    EXPECT_EQ(FileRights(store.FilePath()), kOwnerOnly);
    // The program's own QSettings of the same names reads the same file.
    const QSettings native(QStringLiteral("Dravik"), QStringLiteral("Kelvo+"));
    EXPECT_EQ(native.value(QStringLiteral("STB/STB Port")).toInt(), 8123);
    EXPECT_EQ(native.value(QStringLiteral("STB/STB IP Address")).toString(), QStringLiteral("box one"));
    qunsetenv("XDG_CONFIG_HOME");
}

} // namespace

// The connection's one owner: what it loads or applies is what the protocol client and the
// database use, a box named on the command line wins over the stored one, and a change of the
// quick start is announced once.
TEST_F(SettingsStoreTest, TheConnectionIsWhatTheClientAndTheDatabaseUse)
{
    CKelvoAppState state;
    CBoxConnection stored;
    FillEveryField(state, stored);
    ASSERT_TRUE(store.Save(state, stored));

    CKelvoAppState loaded;
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    CKelvoConnection connection(store, loaded, wrapper, db);
    QSignalSpy quick(&connection, &CKelvoConnection::quickStartChanged);
    connection.Load(QStringLiteral("127.0.0.9"), std::nullopt);
    EXPECT_EQ(wrapper.address, QStringLiteral("127.0.0.9"));
    EXPECT_EQ(wrapper.port, stored.port);
    EXPECT_EQ(db.Settings().pinCode, stored.settings.pinCode);
    EXPECT_EQ(db.Settings().userName, stored.settings.userName);
    EXPECT_TRUE(loaded.boxConfigured);
    EXPECT_EQ(connection.QuickStart(), state.startProfile != 0);
    EXPECT_EQ(quick.count(), 1);

    CBoxConnection none = connection.Value();
    none.address = QStringLiteral("0.0.0.0");
    none.settings.pinCode = QStringLiteral("0000");
    const bool other = !connection.QuickStart();
    connection.Apply(none, other);
    connection.Apply(none, other);
    EXPECT_EQ(quick.count(), 2) << "the same choice twice is one change";
    EXPECT_EQ(connection.QuickStart(), other);
    EXPECT_EQ(wrapper.address, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(db.Settings().pinCode, QStringLiteral("0000"));
    EXPECT_FALSE(loaded.boxConfigured);
    ASSERT_TRUE(connection.Save());
    CKelvoAppState again;
    CBoxConnection back;
    store.Load(again, back);
    EXPECT_TRUE(back == connection.Value());
}
