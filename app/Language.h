// The window's three languages: which one the machine's default locale
// selects, the captions and messages of each, and the message list that
// the Auto Setting command reads its texts from.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "text/Text.h"

namespace plm::app {

// Language codes as the window stores them (decimal text in LanguageCode).
inline constexpr std::int16_t English = 0;
inline constexpr std::int16_t SimplifiedChinese = 1;
inline constexpr std::int16_t TraditionalChinese = 2;

// Maps a Windows locale identifier to a language code. The English test
// looks at the lowest four bits only, so some non-English locales whose
// identifier ends in 9 (0x0419, Russian) get English as well.
std::int16_t GetOSLCID(std::uint32_t lcid);

// The example site addresses shown to the user: in the sample label and in
// the second line of the invalid-address prompt.
inline constexpr TextView ExampleAddressA = u"http://127.0.0.1/PLM";
inline constexpr TextView ExampleAddressB = u"http://127.0.0.1/plm";

// The four captions that change with the language.
struct Captions {
    TextView formCaption;    // lblFormCaption, copied to the window caption
    TextView sample;         // lblSample
    TextView cancel;         // btnCancel
    TextView configuration;  // btnConfiguration
};

struct LanguageTexts {
    Captions captions;
    // Messages 1 to 4: prompt, example, message box title, invalid address.
    std::array<TextView, 4> messages;
};

// The captions the window is designed with (Simplified Chinese).
const Captions& DesignCaptions();
// The caption of lblUrl, the same in every language.
inline constexpr TextView UrlLabelCaption = u"URL(&R):";

const LanguageTexts& EnglishTexts();
const LanguageTexts& TraditionalChineseTexts();

// The localised messages, addressed from 1. Filled once by ApplyLanguage;
// stays empty for Simplified Chinese, whose texts are the callers' defaults.
class Messages {
public:
    void Append(TextView text) { texts_.emplace_back(text); }
    std::size_t Count() const { return texts_.size(); }
    // The text at `index`, or `fallback` when the list holds no such entry.
    Text GetLocalText(TextView fallback, std::int16_t index) const;

private:
    std::vector<Text> texts_;
};

// Where ApplyLanguage writes: the window's four captions and its caption.
class CaptionTarget {
public:
    virtual ~CaptionTarget() = default;
    virtual void SetFormCaption(TextView text) = 0;
    virtual void SetSampleCaption(TextView text) = 0;
    virtual void SetCancelCaption(TextView text) = 0;
    virtual void SetConfigurationCaption(TextView text) = 0;
    virtual Text FormCaption() = 0;
    virtual void SetWindowCaption(TextView text) = 0;
};

// Sets the captions and appends the messages for `languageCode` (the
// decimal text "0" or "2"; any other text leaves the design captions), then
// copies the caption label's text into the window caption. Appends without
// clearing, so it runs once per window.
void ApplyLanguage(TextView languageCode, CaptionTarget& target, Messages& messages);

}  // namespace plm::app
