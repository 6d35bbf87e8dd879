#include "app/Language.h"

namespace plm::app {

std::int16_t GetOSLCID(std::uint32_t lcid) {
    switch (lcid) {
    case 0x0804:  // Chinese (PRC)
    case 0x0004:  // Chinese (Simplified), neutral
    case 0x1004:  // Chinese (Singapore)
        return SimplifiedChinese;
    case 0x0404:  // Chinese (Taiwan)
    case 0x0C04:  // Chinese (Hong Kong SAR)
        return TraditionalChinese;
    default:
        break;
    }
    if (lcid % 16 == 9) return English;
    return SimplifiedChinese;
}

// The texts are written out in full (not assembled from the example
// addresses) so that each reads exactly as the user sees it.

const Captions& DesignCaptions() {
    static const Captions captions{
        u"PLM客户端系统配置工具",
        u"如： http://127.0.0.1/PLM",
        u"取消(&C)",
        u"自动配置(&A)",
    };
    return captions;
}

const LanguageTexts& EnglishTexts() {
    static const LanguageTexts texts{
        {
            u"PLM Client System Configuration Tool",
            u"For Example: http://127.0.0.1/PLM",
            u"&Cancel",
            u"&Auto Setting",
        },
        {
            u"Please input PLM URL.",
            // The spelling is the product's own, kept as users know it.
            u"For exsample (http://127.0.0.1/plm)",
            u"Velmora Prompt",
            u"Invalid System URL!",
        },
    };
    return texts;
}

const LanguageTexts& TraditionalChineseTexts() {
    static const LanguageTexts texts{
        {
            u"PLM用戶端系統設置工具",
            u"如： http://127.0.0.1/PLM",
            u"取消(&C)",
            u"自動配置(&A)",
        },
        {
            u"請輸入PLM系統的URL位置。",
            u"如(http://127.0.0.1/plm)",
            u"Velmora提示",
            u"不是有效的系統網站路徑！",
        },
    };
    return texts;
}

Text Messages::GetLocalText(TextView fallback, std::int16_t index) const {
    if (index >= 1 && static_cast<std::size_t>(index) <= texts_.size()) {
        return texts_[static_cast<std::size_t>(index) - 1];
    }
    return Text(fallback);
}

void ApplyLanguage(TextView languageCode, CaptionTarget& target, Messages& messages) {
    const LanguageTexts* texts = nullptr;
    if (languageCode == u"2") {
        texts = &TraditionalChineseTexts();
    } else if (languageCode == u"0") {
        texts = &EnglishTexts();
    }
    if (texts != nullptr) {
        target.SetFormCaption(texts->captions.formCaption);
        target.SetSampleCaption(texts->captions.sample);
        target.SetCancelCaption(texts->captions.cancel);
        target.SetConfigurationCaption(texts->captions.configuration);
        for (TextView message : texts->messages) messages.Append(message);
    }
    target.SetWindowCaption(target.FormCaption());
}

}  // namespace plm::app
