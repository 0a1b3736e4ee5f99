#pragma once

class CKelvoCommandTable;
class CMainFrame;
class IKelvoApplication;

// The frame's command rows: every intent a user can express with a button, a key or the caption,
// with its keys and the context they apply in. Built by the composition root once the frame has
// its children, so that neither the frame nor the table knows the other's details.
namespace KelvoFrameCommands {

void Add(CKelvoCommandTable& table, CMainFrame& frame, IKelvoApplication& app);

} // namespace KelvoFrameCommands
