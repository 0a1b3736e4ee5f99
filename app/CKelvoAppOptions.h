#pragma once

#include "discovery/DiscoveryScope.h"

#include <QString>
#include <functional>
#include <optional>

class CMainFrame;
class IKelvoApplication;

// How one run of the application is set up: what the command line says, and the seams through
// which a test build observes and answers the program. A user's build leaves the seams empty.
struct CKelvoAppOptions
{
    // Empty: the user's own store ("Dravik"/"Kelvo+").
    QString settingsFile;
    // A box named on the command line replaces the stored address or port.
    std::optional<QString> boxAddress;
    std::optional<int> boxPort;
    DiscoveryScope discovery = DiscoveryScope::Lan;
    // Called once the frame is built and its settings loaded, before it shows: where a test build
    // attaches what observes the program.
    std::function<void(IKelvoApplication&, CMainFrame&)> frameBuilt;
};
