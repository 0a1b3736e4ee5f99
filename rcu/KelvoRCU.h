#pragma once

#include "rcu/CKelvoRCUWindow.h"
#include "rcu/KelvoRCUExport.h"

class QWidget;

// The library's one entry: a new remote-control window, a top-level tool window owned by
// `parent`, hidden until shown. Its keys arrive as CKelvoRCUWindow::bnClicked, its docking to
// the parent's right edge as CKelvoRCUWindow::attached.
extern "C" KELVORCU_EXPORT QWidget* CreateRCU(QWidget* parent);
