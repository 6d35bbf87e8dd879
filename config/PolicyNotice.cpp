#include "config/PolicyNotice.h"

#include <cstddef>

namespace plm::config {

static_assert(PolicyNoticeTexts[0].code == SimplifiedChinese, "the design language is the first row");

Text PolicyNotice(std::int16_t languageCode, TextView host) {
    TextView text = PolicyNoticeTexts[0].text;
    for (const PolicyNoticeText& row : PolicyNoticeTexts) {
        if (row.code == languageCode) text = row.text;
    }
    Text notice(text);
    const std::size_t at = notice.find(HostPlaceholder);
    if (at != Text::npos) notice.replace(at, HostPlaceholder.size(), host);
    return notice;
}

}  // namespace plm::config
