// The window's language: which one the machine's default locale selects,
// and the captions it writes. The texts themselves, the messages and
// notices the Auto Setting command reads from the row too, are in
// config/Languages.h.
#pragma once

#include <cstdint>

#include "config/Languages.h"
#include "registry/Status.h"
#include "text/Text.h"

namespace plm::app {

using config::English;
using config::SimplifiedChinese;
using config::TraditionalChinese;

// Maps a Windows locale identifier to a language code: a locale a language
// names, else English for an identifier ending in EnglishLowBits, else
// Simplified Chinese.
std::int16_t GetOSLCID(std::uint32_t lcid);

// Where ApplyLanguage writes: the window's captions and its caption.
class CaptionTarget {
public:
    virtual ~CaptionTarget() = default;
    virtual void SetFormCaption(TextView text) = 0;
    virtual void SetSampleCaption(TextView text) = 0;
    virtual void SetCancelCaption(TextView text) = 0;
    virtual void SetConfigurationCaption(TextView text) = 0;
    virtual void SetCloseCaption(TextView text) = 0;
    virtual Text FormCaption() = 0;
    virtual void SetWindowCaption(TextView text) = 0;
};

// Sets the captions of `language` (the design language's are the window's
// own already), then copies the caption label's text into the window
// caption.
void ApplyLanguage(const config::Language& language, CaptionTarget& target);

// The text of the box that tells the user a step failed: "Err:" and the
// status's code as a signed 32-bit number, or, for a status without a code,
// the thread's last system error (GetLastError, read before the box is
// built: building it may make system calls of its own).
Text FailureText(reg::Status status, std::uint32_t lastSystemError);

}  // namespace plm::app
