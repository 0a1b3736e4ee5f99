#include "app/settings/CKelvoSettingsStore.h"

#include "app/settings/CKelvoAppState.h"
#include "model/CBoxConnection.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <algorithm>
#include <array>

#if defined(Q_OS_UNIX)
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace {

// One stored value: its key, its default (whose type, int or text, is the key's type), where it
// comes from when saved and where it goes when loaded (none: read and ignored).
struct Key
{
    const char* name;
    QVariant fallback;
    QVariant (*get)(const CKelvoAppState&, const CBoxConnection&);
    void (*set)(CKelvoAppState&, CBoxConnection&, const QVariant&);
};

struct Section
{
    const char* name;
    const Key* begin;
    const Key* end;
};

using S = CKelvoAppState;
using C = CBoxConnection;
using V = QVariant;

// Both tables are read and written in this order (QSettings lists the keys of a section in
// its own order in the file).
const std::array<Key, 12> kPlayer{{
    {"Window-Left", 0, [](const S& s, const C&) { return V(s.windowLeft); },
     [](S& s, C&, const V& v) { s.windowLeft = v.toInt(); }},
    {"Window-Top", 0, [](const S& s, const C&) { return V(s.windowTop); },
     [](S& s, C&, const V& v) { s.windowTop = v.toInt(); }},
    {"Window-Right", 0, [](const S& s, const C&) { return V(s.windowRight); },
     [](S& s, C&, const V& v) { s.windowRight = v.toInt(); }},
    {"Window-Bottom", 0, [](const S& s, const C&) { return V(s.windowBottom); },
     [](S& s, C&, const V& v) { s.windowBottom = v.toInt(); }},
    {"FullScreen", 0, [](const S& s, const C&) { return V(s.fullScreen ? 1 : 0); },
     [](S& s, C&, const V& v) { s.fullScreen = v.toInt() != 0; }},
    {"Maximized", 0, [](const S& s, const C&) { return V(s.maximized ? 1 : 0); },
     [](S& s, C&, const V& v) { s.maximized = v.toInt() != 0; }},
    // The mode always starts at 0: a stored setting page must not come back by itself.
    {"UIFrame", 0, [](const S& s, const C&) { return V(s.uiMode); }, nullptr},
    {"DispMode", 0, [](const S& s, const C&) { return V(s.displayMode); },
     [](S& s, C&, const V& v) { s.displayMode = v.toInt(); }},
    {"MediaType", 0, [](const S& s, const C&) { return V(s.mediaType); },
     [](S& s, C&, const V& v) { s.mediaType = v.toInt(); }},
    {"Mute", 0, [](const S& s, const C&) { return V(s.mute ? 1 : 0); },
     [](S& s, C&, const V& v) { s.mute = v.toInt() != 0; }},
    // Kept within the range the player accepts, so that the state and the player agree.
    {"nVolume", 100, [](const S& s, const C&) { return V(s.volume); },
     [](S& s, C&, const V& v) { s.volume = std::clamp(v.toInt(), 0, 100); }},
    // Added after the original keys. Only 0 chooses the standard start; a number the player does
    // not know is taken as the default, as anything unreadable is.
    {"LowLatencyStart", 1, [](const S& s, const C&) { return V(s.startProfile); },
     [](S& s, C&, const V& v) { s.startProfile = v.toInt() == 0 ? 0 : 1; }},
}};

const std::array<Key, 10> kStb{{
    {"STB IP Address", QStringLiteral("0.0.0.0"), [](const S&, const C& c) { return V(c.address); },
     [](S&, C& c, const V& v) { c.address = v.toString(); }},
    {"STB Port", 8080, [](const S&, const C& c) { return V(c.port); },
     [](S&, C& c, const V& v) { c.port = v.toInt(); }},
    {"STB Streaming Protocol", 0, [](const S&, const C& c) { return V(c.settings.streamingProtocol); },
     [](S&, C& c, const V& v) { c.settings.streamingProtocol = v.toInt(); }},
    {"STB Code", QStringLiteral("8351"), [](const S&, const C& c) { return V(c.settings.pinCode); },
     [](S&, C& c, const V& v) { c.settings.pinCode = v.toString(); }},
    {"STB User Name", QStringLiteral("root"), [](const S&, const C& c) { return V(c.settings.userName); },
     [](S&, C& c, const V& v) { c.settings.userName = v.toString(); }},
    {"STB Password", QString(), [](const S&, const C& c) { return V(c.settings.password); },
     [](S&, C& c, const V& v) { c.settings.password = v.toString(); }},
    {"STOD Enabled", 0, [](const S&, const C& c) { return V(c.settings.stodEnabled ? 1 : 0); },
     [](S&, C& c, const V& v) { c.settings.stodEnabled = v.toInt() != 0; }},
    {"STOD IP Address", QStringLiteral("0.0.0.0"),
     [](const S&, const C& c) { return V(c.settings.stodAddress); },
     [](S&, C& c, const V& v) { c.settings.stodAddress = v.toString(); }},
    {"STOD Port", 5004, [](const S&, const C& c) { return V(c.settings.stodPort); },
     [](S&, C& c, const V& v) { c.settings.stodPort = v.toInt(); }},
    {"STOD Streaming Protocol", 2, [](const S&, const C& c) { return V(c.settings.stodProtocol); },
     [](S&, C& c, const V& v) { c.settings.stodProtocol = v.toInt(); }},
}};

const std::array<Section, 2> kSections{{
    {"Player", kPlayer.data(), kPlayer.data() + kPlayer.size()},
    {"STB", kStb.data(), kStb.data() + kStb.size()},
}};

// The stored value, or the key's default where it is missing or not of the key's type.
QVariant ReadValue(const QSettings& ini, const Key& key)
{
    const QVariant value = ini.value(QLatin1String(key.name));
    if (!value.isValid())
        return key.fallback;
    if (key.fallback.typeId() == QMetaType::Int) {
        // A 32-bit number; anything else (text, a list, a value out of range) is no value.
        bool ok = false;
        const int number = value.toString().trimmed().toInt(&ok);
        return ok ? QVariant(number) : key.fallback;
    }
    // An unquoted text with a comma comes back from the INI reader as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.canConvert<QString>() ? QVariant(value.toString()) : key.fallback;
}

// Replaces `path` with `bytes` in one step. The new file is owner-only from the moment it exists:
// one that was ever readable by others could have been opened then and read once written.
bool WriteOwnerOnly(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
#if defined(Q_OS_UNIX)
    // A temporary file is created 0600, beside the target so that the rename stays on one file
    // system and is atomic.
    QTemporaryFile draft(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                         QStringLiteral(".XXXXXX"));
    if (!draft.open())
        return false;
    if (!draft.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    if (draft.write(bytes) != bytes.size() || !draft.flush() || ::fsync(draft.handle()) != 0)
        return false;
    if (std::rename(QFile::encodeName(draft.fileName()).constData(), QFile::encodeName(path).constData()) !=
        0)
        return false;
    draft.setAutoRemove(false); // it is the target now
    return true;
#else
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(bytes) != bytes.size())
        return false;
    return file.commit();
#endif
}

} // namespace

CKelvoSettingsStore::CKelvoSettingsStore(const QString& filePath) : m_filePath(filePath)
{
    if (m_filePath.isEmpty()) {
        // Only asked for the path; the file itself is never read or written through this object.
        // Where the native format is an INI file, QSettings("Dravik", "Kelvo+") anywhere else in
        // the program reads and writes this same file; elsewhere (registry, property lists) the
        // store keeps an INI file of its own.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
        constexpr QSettings::Format format = QSettings::NativeFormat;
#else
        constexpr QSettings::Format format = QSettings::IniFormat;
#endif
        m_filePath =
            QSettings(format, QSettings::UserScope, QStringLiteral("Dravik"), QStringLiteral("Kelvo+"))
                .fileName();
    }
}

bool CKelvoSettingsStore::IsBoxConfigured(const QString& address)
{
    return address != QLatin1String("0.0.0.0");
}

// QSettings serves only as the INI reader and writer, on a private copy of the file: the store
// decides how the real file is written, and QSettings' process-wide cache of files, which goes by
// size and modification time, never hands back an earlier version of it.

void CKelvoSettingsStore::Load(CKelvoAppState& state, CBoxConnection& connection) const
{
    QTemporaryDir work; // owner-only: the password passes through it
    const QString copy = work.isValid() ? work.filePath(QStringLiteral("settings.ini")) : QString();
    const bool stored = !copy.isEmpty() && QFile::exists(m_filePath) && QFile::copy(m_filePath, copy);
    QSettings ini(stored ? copy : work.filePath(QStringLiteral("none.ini")), QSettings::IniFormat);
    for (const Section& section : kSections) {
        ini.beginGroup(QLatin1String(section.name));
        for (const Key* key = section.begin; key != section.end; ++key) {
            const QVariant value = ReadValue(ini, *key);
            if (key->set)
                key->set(state, connection, value);
        }
        ini.endGroup();
    }
    state.uiMode = 0;
    state.boxConfigured = IsBoxConfigured(connection.address);
}

bool CKelvoSettingsStore::Save(CKelvoAppState& state, const CBoxConnection& connection)
{
    state.boxConfigured = IsBoxConfigured(connection.address);
    QTemporaryDir work;
    if (!work.isValid())
        return false;
    const QString draft = work.filePath(QStringLiteral("draft.ini"));
    {
        QSettings ini(draft, QSettings::IniFormat);
        // Keys of others stay; a file that cannot be read adds nothing.
        const QString kept = work.filePath(QStringLiteral("kept.ini"));
        if (QFile::exists(m_filePath) && QFile::copy(m_filePath, kept)) {
            const QSettings old(kept, QSettings::IniFormat);
            for (const QString& name : old.allKeys()) {
                if (!ini.contains(name))
                    ini.setValue(name, old.value(name));
            }
        }
        for (const Section& section : kSections) {
            ini.beginGroup(QLatin1String(section.name));
            for (const Key* key = section.begin; key != section.end; ++key)
                ini.setValue(QLatin1String(key->name), key->get(state, connection));
            ini.endGroup();
        }
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return false;
    }
    QFile written(draft);
    if (!written.open(QIODevice::ReadOnly))
        return false;
    return WriteOwnerOnly(m_filePath, written.readAll());
}
