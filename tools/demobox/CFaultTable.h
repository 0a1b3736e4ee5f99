#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// Faults the box can be told to show, for one command or for every query. A fault set for a
// command applies to every request that contains that command; a global fault applies to every
// query. Command names are those of the query text; "version" stands for the empty query.
class CFaultTable final
{
public:
    enum class Mode
    {
        Delay,
        Hang,
        Reset,
        Http500,
        Truncate,
        Garbage,
        Huge,
        Drip,
        Error,
        Omit
    };

    struct Fault
    {
        Mode mode = Mode::Delay;
        qint64 arg = 0;     // delay ms, garbage bytes, huge MiB, drip interval ms, error value
        int remaining = -1; // requests left before the fault clears itself; -1: until cleared
        QString command;    // the command it was set for; empty: every query
    };

    // "[cmd=]mode[:arg]" as given on the command line.
    bool addSetting(const QString& setting, QString* error);
    bool set(const QString& command, const QString& mode, const QString& arg, int count, QString* error);
    void clear(const QString& command);
    void clearAll();

    // The fault for a request made of these commands (command-specific first, then global);
    // counts one use of it.
    std::optional<Fault> take(const std::vector<QString>& commands);
    // The taken fault when it changes the section of this command (error or omit), else none.
    static std::optional<Fault> sectionFault(const QString& command, const std::optional<Fault>& taken);
    // Whether the fault only changes sections and leaves the transport alone.
    static bool changesSectionsOnly(Mode mode) { return mode == Mode::Error || mode == Mode::Omit; }

    QString describe() const;
    static QString modeName(Mode mode);
    static std::optional<Mode> modeFromName(const QString& name);
    static qint64 defaultArg(Mode mode);

private:
    static const QString kGlobal;
    QHash<QString, Fault> m_faults; // command name, or kGlobal
};
