#include "tests/support/LaunchCases.h"

namespace plm::config::test {

const std::vector<LaunchCase>& HostileLaunchCases() {
    static const std::vector<LaunchCase> cases = {
        {"ordinary", u"http://plm.example.com/plm/login.aspx", u"http://plm.example.com/plm/login.aspx", false},
        {"quote closing the argument", u"http://h/plm\" --evil \"x/login.aspx",
         u"http://h/plm%22 --evil %22x/login.aspx", true},
        {"lone quote", u"http://h/a\"b/login.aspx", u"http://h/a%22b/login.aspx", true},
        {"quote at the end", u"http://h/a.aspx\"", u"http://h/a.aspx%22", false},
        {"tab", u"http://h/a\tb/login.aspx", u"http://h/a%09b/login.aspx", false},
        {"line break", u"http://h/a\r\nb/login.aspx", u"http://h/a%0D%0Ab/login.aspx", false},
        {"NUL", Text(u"http://h/a\0b.aspx", 17), u"http://h/a%00b.aspx", false},
        {"escape and bell", u"http://h/\u001B\u0007.aspx", u"http://h/%1B%07.aspx", false},
        {"DEL", u"http://h/a\u007Fb.aspx", u"http://h/a%7Fb.aspx", false},
        {"C1 controls", u"http://h/\u0080\u0085\u009F.aspx", u"http://h/%C2%80%C2%85%C2%9F.aspx", false},
        {"trailing backslash", u"http://h/a.aspx\\", u"http://h/a.aspx\\", true},
        {"two trailing backslashes", u"http://h/a.aspx\\\\", u"http://h/a.aspx\\\\", true},
        {"backslash before a quote", u"http://h/a\\\"b.aspx", u"http://h/a\\%22b.aspx", true},
        {"backslash and quote at the end", u"http://h/a.aspx\\\"", u"http://h/a.aspx\\%22", true},
        {"backslashes, quote, backslash", u"http://h/a.aspx\\\\\"\\", u"http://h/a.aspx\\\\%22\\", true},
        {"backslash inside", u"http://h/a\\b.aspx", u"http://h/a\\b.aspx", false},
        {"not in the code page", u"http://h/文档/login.aspx", u"http://h/%E6%96%87%E6%A1%A3/login.aspx", false},
        {"beyond the BMP", u"http://h/\U0001F600.aspx", u"http://h/%F0%9F%98%80.aspx", false},
        {"unpaired surrogate", u"http://h/\xDC00.aspx", u"http://h/%EF%BF%BD.aspx", false},
        {"Latin-1 letter stays", u"http://h/bücher/login.aspx", u"http://h/bücher/login.aspx", false},
        {"percent stays", u"http://h/a%22b.aspx", u"http://h/a%22b.aspx", false},
    };
    return cases;
}

}  // namespace plm::config::test
