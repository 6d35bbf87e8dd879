// The system code page (CP_ACP) through WideCharToMultiByte and back, and
// the NFKC check through the platform's own normalisation tables.
#include <windows.h>

#include <climits>

#include "text/CodePage.h"

namespace plm {
namespace {

class SystemAnsiCodePage final : public CodePage {
public:
    bool ToAnsiInto(std::u16string_view text, std::string& out) const override {
        out.clear();
        if (text.empty()) return true;
        auto wide = reinterpret_cast<const wchar_t*>(text.data());
        int wideLen = static_cast<int>(text.size());
        // WC_NO_BEST_FIT_CHARS with the used-default flag tells an exact
        // conversion from one that replaced characters. UTF-8 and a few
        // other code pages refuse these flags; there every valid text fits.
        UINT cp = GetACP();
        BOOL usedDefault = FALSE;
        bool strict = cp != CP_UTF8 && cp != 54936 && cp != 65000;
        DWORD flags = strict ? WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
        int n = WideCharToMultiByte(CP_ACP, flags, wide, wideLen, nullptr, 0, nullptr,
                                    strict ? &usedDefault : nullptr);
        if (n <= 0 || usedDefault) return false;
        out.resize(static_cast<std::size_t>(n));
        n = WideCharToMultiByte(CP_ACP, flags, wide, wideLen, out.data(), n, nullptr,
                                strict ? &usedDefault : nullptr);
        if (n <= 0 || usedDefault) return false;
        // The round trip must give the text back: some code pages map
        // several characters to the same bytes without reporting it.
        return FromAnsi(out) == text;
    }

    void FromAnsiInto(std::string_view ansi, std::u16string& out) const override {
        out.clear();
        if (ansi.empty()) return;
        int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        if (n <= 0) return;
        out.resize(static_cast<std::size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                            reinterpret_cast<wchar_t*>(out.data()), n);
    }

    // kernel32's IsNormalizedString (Vista and later). FALSE also stands for
    // a text it cannot judge (an unpaired surrogate): not normalised either way.
    bool IsNormalizedKC(std::u16string_view text) const override {
        if (text.empty()) return true;
        if (text.size() > static_cast<std::size_t>(INT_MAX)) return false;
        return IsNormalizedString(NormalizationKC, reinterpret_cast<const wchar_t*>(text.data()),
                                  static_cast<int>(text.size())) != FALSE;
    }
};

}  // namespace

const CodePage& SystemCodePage() {
    static const SystemAnsiCodePage page;
    return page;
}

}  // namespace plm
