// The kernel helpers core's Windows file and the platform share.
#include "core/Win32Kernel.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

using namespace lapforge::win32;

TEST(SystemReason, TheSystemsWordsAsTheEndOfOurSentence) {
    // The words differ between Windows versions and Wine; their form does not.
    for (const DWORD error : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_NOT_READY, ERROR_SHARING_VIOLATION}) {
        SCOPED_TRACE(error);
        const std::string message = SystemMessage(error);
        ASSERT_GT(message.size(), 5u);
        EXPECT_TRUE(message[0] >= 'A' && message[0] <= 'Z') << message;
        EXPECT_EQ(message.find_first_of("\r\n"), std::string::npos) << message;
        EXPECT_NE(message.back(), '.') << message;
        EXPECT_NE(message.back(), ' ') << message;
        EXPECT_EQ(SystemReason(error), static_cast<char>(message[0] - 'A' + 'a') + message.substr(1));
    }
    EXPECT_EQ(SystemReason(0xDEADBEEF), "system error 3735928559") << "a code the system has no words for";
}

TEST(Widen, RoundTripsTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 1252u) << "the test prefix's code page";
    EXPECT_EQ(Widen("C:\\M\xfcnchen\\GPL"), L"C:\\M\u00fcnchen\\GPL");
    EXPECT_EQ(Narrow(L"C:\\M\u00fcnchen\\GPL"), "C:\\M\xfcnchen\\GPL");
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Narrow(L""), "");
}

TEST(ScopedFile, NoneIsInvalidHandleValueAndClosingLetsOthersIn) {
    EXPECT_FALSE(ScopedFile());
    EXPECT_TRUE(ScopedFile().Close()) << "nothing to close is no failure";
    EXPECT_FALSE(ScopedFile(INVALID_HANDLE_VALUE));

    TestFolder folder;
    folder.Write("\\held.txt", "x");
    const std::wstring path = Widen(folder.Path() + "\\held.txt");
    const auto open = [&] {
        return ScopedFile(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    };
    ScopedFile file = open();
    ASSERT_TRUE(file);
    EXPECT_FALSE(open()) << "held without sharing";
    ScopedFile moved = std::move(file);
    EXPECT_FALSE(file);
    EXPECT_FALSE(open()) << "a move hands the handle on, it does not close it";
    EXPECT_TRUE(moved.Close());
    EXPECT_FALSE(moved);
    EXPECT_TRUE(open()) << "closed";
}
