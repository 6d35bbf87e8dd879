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

Text Messages::GetLocalText(TextView fallback, std::int16_t index) const {
    if (index >= 1 && static_cast<std::size_t>(index) <= texts_.size()) {
        return Text(texts_[static_cast<std::size_t>(index) - 1]);
    }
    return Text(fallback);
}

void ApplyLanguage(TextView languageCode, CaptionTarget& target, Messages& messages) {
    for (const config::Language& language : config::Languages) {
        if (language.code == SimplifiedChinese || languageCode != DecimalText(language.code)) continue;
        target.SetFormCaption(language.captions.formCaption);
        target.SetSampleCaption(language.captions.sample);
        target.SetCancelCaption(language.captions.cancel);
        target.SetConfigurationCaption(language.captions.configuration);
        target.SetCloseCaption(language.captions.close);
        for (TextView message : language.messages) messages.Append(message);
    }
    target.SetWindowCaption(target.FormCaption());
}

}  // namespace plm::app
