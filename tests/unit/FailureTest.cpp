#include "core/Failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

using namespace lapforge;

TEST(AsReason, LowerCasesOnlyAnEnglishCapital) {
    struct Case {
        const char* message;
        const char* reason;
    };
    const Case cases[] = {
        {"Access is denied", "access is denied"},
        {"access is denied", "access is denied"},
        {"No Such File", "no Such File"},
        {"\xc4rger", "\xc4rger"},
        {"42 bytes", "42 bytes"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_EQ(AsReason(c.message), c.reason);
    }
}

TEST(FileFailure, NamesActionPathAndReason) {
    EXPECT_STREQ(FileFailure("write", "C:\\GPL\\track.ini", "access is denied").what(),
                 "could not write \"C:\\GPL\\track.ini\": access is denied");
    const std::string text = FileFailureFromErrno("open", "C:\\x", ENOENT).what();
    EXPECT_EQ(text.rfind("could not open \"C:\\x\": n", 0), 0u) << text << ": the C library's words, lower-cased";
}
