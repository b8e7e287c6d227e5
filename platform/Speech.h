#pragma once

#include <memory>
#include <string_view>

namespace lapforge::platform {

// Windows' own speech (SAPI) with the driver's default voice, for texts that have no wave file,
// such as the names of the driver's own points. COM must be initialised on the thread.
class Speech {
public:
    Speech();
    ~Speech();
    Speech(const Speech&) = delete;
    Speech& operator=(const Speech&) = delete;

    // Looks for a voice and makes it ready, once: which enumerates the voices and opens the audio
    // device, too slow for the moment a name is to be spoken.
    void Prepare();

    // Starts speaking the text (8-bit, in the ANSI code page) and returns at once, cutting off what
    // is still being spoken. False where no voice is installed (without trying) or SAPI refused:
    // then the caller plays a cue instead.
    bool Speak(std::string_view text);

    // Cuts off what is being spoken, as before a wave file plays.
    void Silence();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace lapforge::platform
