#include "text/Text.h"

#include <algorithm>

namespace plm {

Text TrimSpaces(TextView s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return Text(s.substr(b, e - b));
}

char16_t ToLowerCharBeyondAscii(char16_t c) {
    if ((c >= 0x00C0 && c <= 0x00DE && c != 0x00D7)) return static_cast<char16_t>(c + 32);
    if (c >= 0x0100 && c <= 0x017F && c != 0x0130 && c != 0x0131 && c != 0x0138 && c != 0x0149 &&
        c != 0x017F) {
        // Latin Extended-A pairs: even/odd, except the block 0x0139..0x0148
        // and 0x0179..0x017E, which pair odd/even.
        bool oddUpper = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
        bool isUpper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
        return isUpper ? static_cast<char16_t>(c + 1) : c;
    }
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return static_cast<char16_t>(c + 32);
    if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 32);
    if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 80);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);
    return c;
}

char16_t ToUpperCharBeyondAscii(char16_t c) {
    if ((c >= 0x00E0 && c <= 0x00FE && c != 0x00F7)) return static_cast<char16_t>(c - 32);
    if (c >= 0x0100 && c <= 0x017F) {
        char16_t up = static_cast<char16_t>(c - 1);
        if (up >= 0x0100 && ToLowerChar(up) == c) return up;
        return c;
    }
    if (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2) return static_cast<char16_t>(c - 32);
    if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 32);
    if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 80);
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 32);
    return c;
}

Text ToLower(TextView s) {
    Text out(s);
    for (auto& c : out) c = ToLowerChar(c);
    return out;
}

Text ToUpper(TextView s) {
    Text out(s);
    for (auto& c : out) c = ToUpperChar(c);
    return out;
}

bool EqualsNoCase(TextView a, TextView b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperChar(a[i]) != ToUpperChar(b[i])) return false;
    }
    return true;
}

std::vector<TextView> SplitAt(TextView s, char16_t separator) {
    std::vector<TextView> parts;
    for (std::size_t start = 0;;) {
        const std::size_t at = s.find(separator, start);
        parts.push_back(s.substr(start, at == TextView::npos ? TextView::npos : at - start));
        if (at == TextView::npos) return parts;
        start = at + 1;
    }
}

Text FromUtf8(std::string_view s) {
    Text out;
    std::size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        char32_t cp = 0xFFFD;
        std::size_t n = 1;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < s.size()) {
            cp = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
            n = 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < s.size()) {
            cp = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
            n = 3;
        } else if ((b & 0xF8) == 0xF0 && i + 3 < s.size()) {
            cp = ((b & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                 ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) |
                 (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
            n = 4;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
    return out;
}

std::string ToUtf8(TextView s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const CodePoint point = CodePointAt(s, i);
        const char32_t cp = point.value;
        i += point.units;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

CodePoint CodePointAt(TextView s, std::size_t i) {
    const char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
        return {0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00u), 2};
    }
    return {c, 1};
}

Text DecimalText(std::int64_t n) {
    std::string s = std::to_string(n);
    return Text(s.begin(), s.end());
}

Text HexDigits(std::uint32_t n, HexCase letters) {
    const char16_t* digits = letters == HexCase::Upper ? u"0123456789ABCDEF" : u"0123456789abcdef";
    Text hex;
    for (int shift = 28; shift >= 0; shift -= 4) hex += digits[(n >> shift) & 0xFu];
    return hex;
}

}  // namespace plm
