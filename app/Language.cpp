#include "app/Language.h"

#include <algorithm>

namespace plm::app {

std::int16_t GetOSLCID(std::uint32_t lcid) {
    for (const config::Language& language : config::Languages) {
        if (lcid != 0 && std::find(language.lcids.begin(), language.lcids.end(), lcid) != language.lcids.end()) {
            return language.code;
        }
    }
    // Kept on purpose: only the low four bits are looked at, so Russian
    // (0x0419) gets English as well, as users of the tool know it.
    if (lcid % 16 == config::EnglishLowBits) return English;
    return SimplifiedChinese;
}

void ApplyLanguage(const config::Language& language, CaptionTarget& target) {
    // The window is created with the design language's captions and their
    // design places; setting them again would fit the labels to their text.
    if (language.code != SimplifiedChinese) {
        target.SetFormCaption(language.captions.formCaption);
        target.SetSampleCaption(language.captions.sample);
        target.SetCancelCaption(language.captions.cancel);
        target.SetConfigurationCaption(language.captions.configuration);
        target.SetCloseCaption(language.captions.close);
    }
    target.SetWindowCaption(target.FormCaption());
}

Text FailureText(reg::Status status, std::uint32_t lastSystemError) {
    const std::int32_t code = status.HasCode() ? status.Code() : static_cast<std::int32_t>(lastSystemError);
    return u"Err:" + DecimalText(code);
}

}  // namespace plm::app
