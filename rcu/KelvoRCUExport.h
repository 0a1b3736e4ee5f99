#pragma once

#include <QtGlobal>

// The remote-control window is a shared library of its own; only what is marked here is visible
// outside it.
#if defined(KELVORCU_LIBRARY)
#define KELVORCU_EXPORT Q_DECL_EXPORT
#else
#define KELVORCU_EXPORT Q_DECL_IMPORT
#endif
