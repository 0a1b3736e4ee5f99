#include "CFaultTable.h"

#include <QStringList>
#include <array>

const QString CFaultTable::kGlobal = QStringLiteral("*");

namespace {

struct ModeName
{
    CFaultTable::Mode mode;
    const char* name;
};
constexpr std::array<ModeName, 10> kModes = {{{CFaultTable::Mode::Delay, "delay"},
                                              {CFaultTable::Mode::Hang, "hang"},
                                              {CFaultTable::Mode::Reset, "reset"},
                                              {CFaultTable::Mode::Http500, "http500"},
                                              {CFaultTable::Mode::Truncate, "truncate"},
                                              {CFaultTable::Mode::Garbage, "garbage"},
                                              {CFaultTable::Mode::Huge, "huge"},
                                              {CFaultTable::Mode::Drip, "drip"},
                                              {CFaultTable::Mode::Error, "error"},
                                              {CFaultTable::Mode::Omit, "omit"}}};

} // namespace

QString CFaultTable::modeName(Mode mode)
{
    for (const auto& m : kModes) {
        if (m.mode == mode)
            return QString::fromLatin1(m.name);
    }
    return {};
}

std::optional<CFaultTable::Mode> CFaultTable::modeFromName(const QString& name)
{
    for (const auto& m : kModes) {
        if (name == QLatin1String(m.name))
            return m.mode;
    }
    return std::nullopt;
}

qint64 CFaultTable::defaultArg(Mode mode)
{
    switch (mode) {
    case Mode::Delay:
        return 1000;
    case Mode::Garbage:
        return 4096;
    case Mode::Huge:
        return 100;
    case Mode::Drip:
        return 50;
    case Mode::Error:
        return 1;
    default:
        return 0;
    }
}

bool CFaultTable::set(const QString& command, const QString& modeText, const QString& arg, int count,
                      QString* error)
{
    const auto mode = modeFromName(modeText.trimmed().toLower());
    if (!mode) {
        *error = QStringLiteral("unknown fault mode \"%1\"").arg(modeText);
        return false;
    }
    Fault fault;
    fault.mode = *mode;
    fault.arg = defaultArg(*mode);
    if (!arg.isEmpty()) {
        bool ok = false;
        fault.arg = arg.toLongLong(&ok);
        const qint64 limit = fault.mode == Mode::Huge ? 100000 : 3600000;
        if (!ok || fault.arg < (fault.mode == Mode::Error ? -1000000 : 0) || fault.arg > limit) {
            *error = QStringLiteral("bad fault argument \"%1\"").arg(arg);
            return false;
        }
    }
    fault.remaining = count > 0 ? count : -1;
    fault.command = command == kGlobal ? QString() : command;
    m_faults.insert(command.isEmpty() ? kGlobal : command, fault);
    return true;
}

bool CFaultTable::addSetting(const QString& setting, QString* error)
{
    QString command;
    QString rest = setting;
    const qsizetype eq = setting.indexOf(u'=');
    if (eq >= 0) {
        command = setting.left(eq).trimmed();
        rest = setting.mid(eq + 1);
    }
    const qsizetype colon = rest.indexOf(u':');
    const QString mode = colon < 0 ? rest : rest.left(colon);
    const QString arg = colon < 0 ? QString() : rest.mid(colon + 1);
    return set(command, mode, arg, 0, error);
}

void CFaultTable::clear(const QString& command)
{
    m_faults.remove(command.isEmpty() ? kGlobal : command);
}

void CFaultTable::clearAll()
{
    m_faults.clear();
}

std::optional<CFaultTable::Fault> CFaultTable::take(const std::vector<QString>& commands)
{
    auto use = [this](const QString& key) -> std::optional<Fault> {
        auto it = m_faults.find(key);
        if (it == m_faults.end())
            return std::nullopt;
        Fault fault = it.value();
        if (it->remaining > 0 && --it->remaining == 0)
            m_faults.erase(it);
        return fault;
    };
    for (const QString& command : commands) {
        if (auto fault = use(command))
            return fault;
    }
    return use(kGlobal);
}

std::optional<CFaultTable::Fault> CFaultTable::sectionFault(const QString& command,
                                                            const std::optional<Fault>& taken)
{
    if (!taken || !changesSectionsOnly(taken->mode))
        return std::nullopt;
    if (!taken->command.isEmpty() && taken->command != command)
        return std::nullopt;
    return taken;
}

QString CFaultTable::describe() const
{
    QStringList lines;
    for (auto it = m_faults.cbegin(); it != m_faults.cend(); ++it) {
        lines << QStringLiteral("%1 %2 %3 %4")
                     .arg(it.key() == kGlobal ? QStringLiteral("*") : it.key(), modeName(it->mode))
                     .arg(it->arg)
                     .arg(it->remaining);
    }
    lines.sort();
    return lines.join(u'\n') + (lines.isEmpty() ? QString() : QStringLiteral("\n"));
}
