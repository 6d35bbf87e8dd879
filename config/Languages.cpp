#include "config/Languages.h"

namespace plm::config {

static_assert(Languages[0].code == SimplifiedChinese, "the design language is the first row");

const Language& LanguageOf(std::int16_t code) {
    for (const Language& language : Languages) {
        if (language.code == code) return language;
    }
    return Languages[0];
}

}  // namespace plm::config
