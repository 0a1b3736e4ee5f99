// The box's protocol version is read the same whatever the user's locale: QCoreApplication adopts
// it on Unix, and a locale that writes decimals with a comma must not make "1.3" read as 1.
#include "protocol/CQuarnWrapper.h"

#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

TEST(VersionLocale, NewFormBoxUnderACommaLocale)
{
    // Build a German locale of our own, so the test does not depend on which locales the machine has.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.path().toStdString();
    const std::string build = "localedef -i de_DE -f UTF-8 " + path + "/de_DE.UTF-8 >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build de_DE here";
    setenv("LOCPATH", path.c_str(), 1);
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        unsetenv("LOCPATH");
        GTEST_SKIP() << "the built locale does not load";
    }
    ASSERT_EQ(std::string(localeconv()->decimal_point), ",");

    EXPECT_TRUE(CQuarnWrapper::IsNewFormVersion("1.3"));
    EXPECT_TRUE(CQuarnWrapper::IsNewFormVersion("2.0"));
    EXPECT_FALSE(CQuarnWrapper::IsNewFormVersion("1.2"));
    EXPECT_FALSE(CQuarnWrapper::IsNewFormVersion("1,3"));

    std::setlocale(LC_NUMERIC, saved.c_str());
    unsetenv("LOCPATH");
}
