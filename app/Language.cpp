#include "app/Language.h"

#include <algorithm>

namespace plm::app {

std::int16_t GetOSLCID(std::uint32_t lcid) {
    for (const config::Language& language : config::Languages) {
        if (lcid != 0 && std::find(language.lcids.begin(), language.lcids.end(), lcid) != language.lcids.end()) {
            return language.code;
        }
    }
    if (lcid % 16 == config::EnglishLowBits) return English;
    return SimplifiedChinese;
}

Text Messages::GetLocalText(TextView fallback, std::int16_t index) const {
    if (index >= 1 && static_cast<std::size_t>(index) <= texts_.size()) {
        return texts_[static_cast<std::size_t>(index) - 1];
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

Text SpokenLabel(TextView caption) {
    Text spoken;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        const bool mark = caption[i] == u'&' && i + 1 < caption.size();
        const bool bracketed = mark && caption[i + 1] != u'&' && i > 0 && caption[i - 1] == u'(' &&
                               i + 2 < caption.size() && caption[i + 2] == u')';
        if (bracketed) {
            spoken.pop_back();  // "(&R)": the "(" already copied, the key and ")" skipped
            i += 2;
        } else if (mark) {
            spoken += caption[++i];  // "&&" is a plain "&"
        } else {
            spoken += caption[i];
        }
    }
    while (!spoken.empty() && (spoken.back() == u':' || spoken.back() == u'\uFF1A' || spoken.back() == u' ')) {
        spoken.pop_back();
    }
    return spoken;
}

}  // namespace plm::app
