#include "config/Notice.h"

#include <cstddef>

namespace plm::config {

static_assert(PolicyNoticeTexts[0].code == SimplifiedChinese && BrowserNoticeTexts[0].code == SimplifiedChinese,
              "the design language is the first row");

Text Notice(std::span<const NoticeText> texts, std::int16_t languageCode, TextView host) {
    TextView text = texts[0].text;
    for (const NoticeText& row : texts) {
        if (row.code == languageCode) text = row.text;
    }
    // Only the text is searched, never what was put in, so a host that
    // holds the placeholder comes out as typed.
    Text notice;
    for (std::size_t at = text.find(HostPlaceholder); at != TextView::npos; at = text.find(HostPlaceholder)) {
        notice += text.substr(0, at);
        notice += host;
        text.remove_prefix(at + HostPlaceholder.size());
    }
    notice += text;
    return notice;
}

}  // namespace plm::config
