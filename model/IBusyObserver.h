#pragma once

// Told when a box operation starts and ends, so that the application can disable its main window
// and show the wait cursor while the box is asked. The core has no windows of its own; the
// application connects this to its main window. EndBusy follows every BeginBusy, whatever the
// outcome of the operation.
class IBusyObserver
{
public:
    virtual ~IBusyObserver() = default;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

protected:
    IBusyObserver() = default;
    IBusyObserver(const IBusyObserver&) = default;
    IBusyObserver& operator=(const IBusyObserver&) = default;
};
