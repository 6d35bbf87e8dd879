#include "config/Notice.h"

#include <cstddef>

namespace plm::config {

Text WithHost(TextView text, TextView host) {
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
