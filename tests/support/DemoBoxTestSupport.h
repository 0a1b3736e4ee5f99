#pragma once

// Views tested against the demo box on loopback: the wrapper the database talks through is
// pointed at the box's port. Link `kelvo-demobox-testing`.

#include "DemoBoxProcess.h"
#include "protocol/CQuarnWrapper.h"

#include <QString>
#include <gtest/gtest.h>

// Failure, with the box's own error, when the box did not start.
inline testing::AssertionResult ConnectToDemoBox(CQuarnWrapper& wrapper, const DemoBoxProcess& box)
{
    if (!box.ok())
        return testing::AssertionFailure() << box.error();
    wrapper.address = QString::fromStdString(box.host());
    wrapper.port = box.port();
    return testing::AssertionSuccess();
}
