#pragma once

#include <QString>

class CKelvoTestProbe;
class CMainFrame;
class IKelvoApplication;
struct CKelvoAppOptions;

// What a test build of the program adds to a user's: message boxes written to a file and answered
// "yes" (nobody is there to click them), box searches on loopback, and the probe socket of the
// whole-journey tests. The program's test build (kelvo-testing) takes them from the environment;
// tests in the same process install them directly. None of this is linked into the program users run.
namespace KelvoTestSeams {

// Every message box from now on appends "caption|text" to `path` instead of showing; a question
// counts as answered "yes".
void LogMessagesTo(const QString& path);

// The frame-specific probe commands (state, guide and schedule rows, service keys).
void AddFrameCommands(CKelvoTestProbe& probe, IKelvoApplication& app, CMainFrame& frame);

// KELVO_MESSAGE_LOG (a file), KELVO_DISCOVERY=loopback and KELVO_PROBE (a socket path).
void FromEnvironment(CKelvoAppOptions& options);

} // namespace KelvoTestSeams
