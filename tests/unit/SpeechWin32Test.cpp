// Windows' own speech where no voice can speak: under Wine, which lists a voice without an engine.
#include "platform/Speech.h"
#include "platform/Win32.h"

#include <gtest/gtest.h>

using namespace lapforge::platform;

TEST(Speech, SaysSoWhenNoVoiceCanSpeakSoTheCuePlays) {
    if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "a real Windows may have a voice that speaks";
    const ComApartment com;
    Speech speech;
    EXPECT_FALSE(speech.Speak("Before Karussell"));
    EXPECT_FALSE(speech.Speak("Before Karussell"));  // and again, without looking for a voice anew
    speech.Silence();
}
