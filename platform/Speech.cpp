#include "platform/Speech.h"

#include "platform/Win32.h"

#include <sapi.h>

namespace lapforge::platform {

namespace {

// A voice that names the speech engine that speaks it. Wine lists a voice without one, whose Speak
// fails, so the count of voices alone does not tell.
bool VoiceInstalled() {
    ComPtr<ISpObjectTokenCategory> category;
    ComPtr<IEnumSpObjectTokens> tokens;
    if (FAILED(CoCreateInstance(__uuidof(SpObjectTokenCategory), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(category.Put()))) ||
        FAILED(category->SetId(SPCAT_VOICES, FALSE)) || FAILED(category->EnumTokens(nullptr, nullptr, tokens.Put())))
        return false;
    for (ComPtr<ISpObjectToken> token; tokens->Next(1, token.Put(), nullptr) == S_OK;) {
        wchar_t* engine = nullptr;
        const bool named = SUCCEEDED(token->GetStringValue(L"CLSID", &engine)) && engine && *engine;
        CoTaskMemFree(engine);
        if (named) return true;
    }
    return false;
}

}  // namespace

struct Speech::State {
    bool looked = false;  // for a voice, once: none is installed while Lapforge runs
    ComPtr<ISpVoice> voice;
};

Speech::Speech() : state_(std::make_unique<State>()) {}
Speech::~Speech() = default;

void Speech::Prepare() {
    if (state_->looked) return;
    state_->looked = true;
    if (VoiceInstalled())
        CoCreateInstance(__uuidof(SpVoice), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(state_->voice.Put()));
}

bool Speech::Speak(std::string_view text) {
    Prepare();
    if (!state_->voice) return false;
    // Not XML: a name is spoken as it is written, whatever marks it holds.
    return SUCCEEDED(
        state_->voice->Speak(Widen(text).c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr));
}

void Speech::Silence() {
    if (state_->voice) state_->voice->Speak(L"", SPF_ASYNC | SPF_PURGEBEFORESPEAK, nullptr);
}

}  // namespace lapforge::platform
