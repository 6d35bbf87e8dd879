#include "tests/support/CommandLine.h"

namespace plm::test {

std::vector<Text> SplitCommandLine(TextView line) {
    std::vector<Text> args;
    const std::size_t n = line.size();
    std::size_t i = 0;
    Text program;
    if (n > 0 && line[0] == u'"') {
        for (i = 1; i < n && line[i] != u'"'; ++i) program.push_back(line[i]);
        if (i < n) ++i;
    } else {
        for (; i < n && line[i] != u' ' && line[i] != u'\t'; ++i) program.push_back(line[i]);
    }
    args.push_back(program);
    for (;;) {
        while (i < n && (line[i] == u' ' || line[i] == u'\t')) ++i;
        if (i >= n) break;
        Text arg;
        bool quoted = false;
        while (i < n) {
            const char16_t c = line[i];
            if (!quoted && (c == u' ' || c == u'\t')) break;
            if (c == u'\\') {
                std::size_t count = 0;
                for (; i < n && line[i] == u'\\'; ++i) ++count;
                if (i < n && line[i] == u'"') {
                    arg.append(count / 2, u'\\');
                    if (count % 2 == 1) {
                        arg.push_back(u'"');
                        ++i;
                    }
                } else {
                    arg.append(count, u'\\');
                }
            } else if (c == u'"') {
                if (quoted && i + 1 < n && line[i + 1] == u'"') {
                    arg.push_back(u'"');
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg.push_back(c);
                ++i;
            }
        }
        args.push_back(arg);
    }
    return args;
}

}  // namespace plm::test
