// The window's language: which one the machine's default locale selects,
// the captions it writes, and the message list the Auto Setting command
// reads its texts from. The texts themselves are in config/Languages.h.
#pragma once

#include <cstdint>
#include <vector>

#include "config/Languages.h"
#include "text/Text.h"

namespace plm::app {

using config::English;
using config::SimplifiedChinese;
using config::TraditionalChinese;

// Maps a Windows locale identifier to a language code: a locale a language
// names, else English for an identifier ending in EnglishLowBits, else
// Simplified Chinese.
std::int16_t GetOSLCID(std::uint32_t lcid);

// The localised messages, addressed from 1. Filled once by ApplyLanguage;
// stays empty for Simplified Chinese, whose texts are the callers' defaults.
// It keeps views of the texts: they must outlive the list, as the language
// table's do.
class Messages {
public:
    void Append(TextView text) { texts_.push_back(text); }
    std::size_t Count() const { return texts_.size(); }
    // The text at `index`, or `fallback` when the list holds no such entry.
    Text GetLocalText(TextView fallback, std::int16_t index) const;

private:
    std::vector<TextView> texts_;
};

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

// Sets the captions and appends the messages of the language whose code
// `languageCode` holds as decimal text ("0" or "2"; the design language and
// any other text leave the design captions), then copies the caption
// label's text into the window caption. Appends without clearing, so it
// runs once per window.
void ApplyLanguage(TextView languageCode, CaptionTarget& target, Messages& messages);

}  // namespace plm::app
