// The real PlmClientConfig.exe under test: what a user sees and does. Each
// suite starts the program once (a Wine process start is slow) and its last
// test ends it the way the suite is about.
#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Language.h"
#include "app/Layout.h"
#include "app/art/Artwork.h"
#include "config/Languages.h"
#include "config/Notice.h"
#include "tests/support/Planted_win.h"
#include "tests/window/WindowDriver_win.h"

namespace plm::windowtest {
namespace {

using app::ControlId;

using test::Utf8;
using test::Wide;

std::string Rect(int left, int top, int width, int height) {
    char text[64];
    std::snprintf(text, sizeof(text), "{%d,%d,%d,%d}", left, top, width, height);
    return text;
}

std::string Show(const RECT& r) { return Rect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

// The design's colours, as the screenshots show them.
constexpr Pixel PixelOf(app::Rgb colour) { return {colour.r, colour.g, colour.b}; }
const Pixel Body = PixelOf(app::WindowBack);
const Pixel Frame = PixelOf(app::art::FrameGrey);
const Pixel ButtonFace = PixelOf(app::ButtonFace);
const Pixel UrlBoxBack = PixelOf(app::UrlBoxBack);

// The title band's shading: from its top colour in row `first` down to its
// bottom colour in row `last`.
Pixel BandColour(int row, int first, int last) {
    double t = double(row - first) / (last - first);
    auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    const app::Rgb top = app::art::BandTop;
    const app::Rgb bottom = app::art::BandBottom;
    return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b)};
}

bool Near(const Pixel& a, const Pixel& b, int tolerance = 1) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

struct PixelRow {
    const char* label;
    int x;
    int y;
    Pixel expected;
};
void ExpectPixels(const Capture& shot, std::initializer_list<PixelRow> rows) {
    for (const PixelRow& row : rows) EXPECT_EQ(Show(shot.At(row.x, row.y)), Show(row.expected)) << row.label;
}

// The title band in column `x`, shaded from row `first` down to row `last`.
void ExpectBand(const Capture& shot, int x, int first, int last) {
    for (int y = first; y <= last; ++y) {
        EXPECT_TRUE(Near(shot.At(x, y), BandColour(y, first, last)))
            << "band row " << y << " is " << Show(shot.At(x, y)) << ", expected about " << Show(BandColour(y, first, last));
    }
}


struct Step {
    WORD key;
    bool up;
};

void Press(const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (step.up) {
            KeyUp(step.key);
        } else {
            KeyDown(step.key);
        }
    }
}

void ShiftTab() { Press({{VK_SHIFT, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_SHIFT, true}}); }
void AltKey(WORD key) { Press({{VK_MENU, false}, {key, false}, {key, true}, {VK_MENU, true}}); }

// A message box of the program: its parts as the user sees them.
struct Box {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::wstring title;
    std::wstring text;
    int buttons = 0;
    bool okButton = false;
    bool icon = false;
};

BOOL CALLBACK InspectChild(HWND child, LPARAM param) {
    auto* box = reinterpret_cast<Box*>(param);
    if (!IsWindowVisible(child)) return TRUE;
    std::wstring cls = ClassOf(child);
    LONG style = GetWindowLongW(child, GWL_STYLE);
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
        ++box->buttons;
        if (GetDlgCtrlID(child) == IDOK) box->okButton = true;
    }
    if (_wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        // Wine keeps an empty icon control in a box without an icon.
        DWORD_PTR icon = 0;
        SendMessageTimeoutW(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon);
        if (icon != 0) box->icon = true;
    }
    return TRUE;
}

Box InspectBox(HWND window) {
    Box box;
    box.window = window;
    box.owner = GetWindow(window, GW_OWNER);
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    box.title = title;
    box.text = TextOf(GetDlgItem(window, 0xFFFF));  // the message text of a message box
    EnumChildWindows(window, InspectChild, reinterpret_cast<LPARAM>(&box));
    return box;
}

// A message box of the main window as the user sees it: its title and
// text, one OK button and no icon.
void ExpectBox(const App& app, HWND found, const std::wstring& title, const std::wstring& text) {
    const Box box = InspectBox(found);
    EXPECT_EQ(box.owner, app.Window()) << "the box belongs to the main window";
    EXPECT_EQ(Utf8(box.title), Utf8(title));
    EXPECT_EQ(Utf8(box.text), Utf8(text));
    EXPECT_EQ(box.buttons, 1);
    EXPECT_TRUE(box.okButton);
    EXPECT_FALSE(box.icon);
}

// Runs the prompt for an invalid address: `trigger` presses Auto Setting,
// the box must show the expected title and text, and after OK the window
// stays open with the text as typed.
// True once the main window is in front and one of its own windows has the
// keyboard focus, so that typed keys reach it (a closing message box hands
// the focus back a moment later).
bool WaitForKeyboard(const App& app) {
    return WaitFor([&] {
        HWND focus = app.Focus();
        return GetForegroundWindow() == app.Window() && focus != nullptr &&
               (focus == app.Window() || IsChild(app.Window(), focus));
    });
}

void ExpectInvalidAddressPrompt(App& app, const std::wstring& typed, const std::function<void()>& trigger,
                                const std::wstring& title, const std::wstring& text) {
    HWND url = app.Control(static_cast<int>(ControlId::txtUrl));
    SetTextOf(url, typed);
    trigger();
    HWND found = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (found = app.MessageBoxWindow()) != nullptr; })) << "no message box";
    ExpectBox(app, found, title, text);
    Tap(VK_RETURN);
    WaitFor([&] { return app.MessageBoxWindow() == nullptr; });
    EXPECT_EQ(app.MessageBoxWindow(), nullptr) << "OK closes the box";
    EXPECT_TRUE(WaitForKeyboard(app)) << "the keyboard comes back to the window";
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(IsWindowVisible(app.Window()));
    EXPECT_EQ(Utf8(TextOf(url)), Utf8(typed));
}

struct TextRow {
    ControlId id;
    std::wstring text;
};

void ExpectTexts(App& app, const std::wstring& caption, const std::vector<TextRow>& rows) {
    wchar_t title[256] = {};
    GetWindowTextW(app.Window(), title, 256);
    EXPECT_EQ(Utf8(title), Utf8(caption)) << "window caption";
    for (const TextRow& row : rows) {
        const auto& design = app::DesignOf(row.id);
        EXPECT_EQ(Utf8(TextOf(app.Control(static_cast<int>(row.id)))), Utf8(row.text)) << design.name;
    }
}

// Saves the window's pixels and compares them with the reference picture:
// however the window is built and drawn, not one pixel may change.
void ExpectPixelsAsBefore(const Capture& shot, const std::wstring& name) {
    shot.SaveBmp(name + L".bmp");
    const std::optional<std::string> difference = shot.DifferenceFrom(name + L".bmp");
    if (!difference) {
        std::printf("no reference picture %s.bmp: its pixels are not compared\n", Utf8(name).c_str());
        return;
    }
    EXPECT_EQ(*difference, "") << Utf8(name) << " against its reference";
}

// The caption's ink: dark pixels inside the caption label.
void ExpectCaptionDrawn(App& app, const Capture& shot) {
    RECT caption = RectIn(app.Control(static_cast<int>(ControlId::lblFormCaption)), app.Window());
    EXPECT_GT(shot.CountDark(caption, 100), 40) << "caption text is drawn";
}

// The language the program shows in this run: the one this run's locale
// chooses (the program inherits it).
const config::Language& LanguageOfThisRun() { return config::LanguageOf(app::GetOSLCID(GetSystemDefaultLCID())); }
std::size_t RowOf(const config::Language& language) {
    return static_cast<std::size_t>(&language - config::Languages.data());
}
bool IsDesignLanguage(const config::Language& language) { return language.code == config::SimplifiedChinese; }

// The Unix locale (LC_ALL) of the run that shows `language`, from the first
// locale its row names; a row that names none is chosen by the English
// rule, as 0x0409 is.
std::string LocaleOf(const config::Language& language) {
    const LCID lcid = language.lcids[0] != 0 ? language.lcids[0] : MAKELANGID(config::EnglishLowBits, SUBLANG_DEFAULT);
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0);
    std::string locale = Utf8(name);
    std::replace(locale.begin(), locale.end(), '-', '_');
    return locale + ".UTF-8";
}
// The name of a language's screenshots: its locale without the encoding.
std::wstring ShotName(const config::Language& language) {
    const std::string locale = LocaleOf(language);
    return std::wstring(locale.begin(), locale.begin() + static_cast<std::ptrdiff_t>(locale.find('.')));
}

// A caption as a screen reader reads it: without its access-key marks.
std::wstring Spoken(TextView caption) {
    std::wstring text = Wide(caption);
    text.erase(std::remove(text.begin(), text.end(), L'&'), text.end());
    return text;
}

// What a screen reader announces for each control the user sees: the name
// oleacc gives it, as a screen reader asks for it.
std::wstring AccessibleNameOf(HWND control) {
    IAccessible* object = nullptr;
    // __uuidof: MinGW's liboleacc.a has IID_IAccessible as an import thunk.
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return L"<no object>";
    }
    VARIANT self{};
    self.vt = VT_I4;  // lVal 0: CHILDID_SELF
    BSTR name = nullptr;
    std::wstring text = SUCCEEDED(object->get_accName(self, &name)) && name != nullptr ? name : L"";
    SysFreeString(name);
    object->Release();
    return text;
}

bool UnderWine();

void ExpectAccessibleNames(App& app, const config::Language& language) {
    const config::Captions& captions = language.captions;
    // Wine's oleacc takes no annotations (SetHwndPropStr answers E_NOTIMPL): there the box keeps the
    // name derived from the label right before it in z-order, the URL label's, not the close picture's.
    const std::wstring urlBox = UnderWine() ? Spoken(config::UrlLabelCaption) : Wide(config::UrlBoxName);
    const std::pair<ControlId, std::wstring> rows[] = {
        {ControlId::lblFormCaption, Wide(captions.formCaption)}, {ControlId::picClose, Wide(captions.close)},
        {ControlId::lblUrl, Spoken(config::UrlLabelCaption)},  {ControlId::txtUrl, urlBox},
        {ControlId::lblSample, Wide(captions.sample)},           {ControlId::btnConfiguration, Spoken(captions.configuration)},
        {ControlId::btnCancel, Spoken(captions.cancel)},
    };
    for (const auto& [id, expected] : rows) {
        EXPECT_EQ(Utf8(AccessibleNameOf(app.Control(static_cast<int>(id)))), Utf8(expected)) << app::DesignOf(id).name;
    }
}

// The program inherits this process's locale, so the design language's
// tests run only in the run of its locale (each-language starts this
// program once per language); elsewhere they are skipped, saying why.
std::string NotTheDesignRun() {
    if (IsDesignLanguage(LanguageOfThisRun())) return {};
    return "runs in the design language's locale (LC_ALL=" + LocaleOf(config::DesignLanguage()) + ")";
}
#define PLM_DESIGN_RUN_ONLY()                                        \
    if (const std::string skip = NotTheDesignRun(); !skip.empty()) GTEST_SKIP() << skip

// One run of the program shared by the tests of a suite, in definition order.
struct SuiteRun {
    std::unique_ptr<App> app;
    std::string skip;

    void Start(std::string skipWhy, const std::wstring& clipboard) {
        skip = std::move(skipWhy);
        if (!skip.empty()) return;
        SetClipboardText(clipboard);
        app = std::make_unique<App>();
    }
};

#define PLM_SUITE_SETUP(run)                                                 \
    if (!(run).skip.empty()) GTEST_SKIP() << (run).skip;                     \
    ASSERT_TRUE((run).app && (run).app->Started()) << "the window did not appear"; \
    ASSERT_TRUE((run).app->Running())

// A suite that shares one run of the program, with the clipboard `Start`
// prepares.
template <typename Start>
class SharedRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        run_.Start(Start::Skip(), Start::Clipboard());
        app_ = run_.app.get();
    }
    static void TearDownTestSuite() { run_.app.reset(); }
    void SetUp() override { PLM_SUITE_SETUP(run_); }
    static HWND C(ControlId id) { return app_->Control(static_cast<int>(id)); }
    static inline SuiteRun run_;
    static inline App* app_ = nullptr;
};

// ---------------------------------------------------------------------------
// Simplified Chinese, the design language, at 96 DPI.

struct Simplified {
    static std::string Skip() { return NotTheDesignRun(); }
    static std::wstring Clipboard() { return L"  HTTP://PLM.Example.com/Folder/Login.aspx  "; }
};
class DesignLanguage : public SharedRun<Simplified> {};

TEST_F(DesignLanguage, BorderlessCentredWindowOf490By133) {
    HWND window = app_->Window();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, app::TwipsToPixels(app::ClientWidthTwips, 96));
    EXPECT_EQ(client.bottom, app::TwipsToPixels(app::StartHeightTwips, 96));
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, client.right) << "no frame";
    EXPECT_EQ(outer.bottom - outer.top, client.bottom) << "no title bar";

    LONG style = GetWindowLongW(window, GWL_STYLE);
    LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(exStyle & WS_EX_APPWINDOW, 0) << "taskbar button";

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1) << "centred";
    EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1) << "centred";
}

// The width of a label's one-line text in Arial of the given pixel height,
// measured here with the fonts of the same prefix.
int TextWidth(HWND label, int weight, int pixels) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    HGDIOBJ old = SelectObject(dc, font);
    std::wstring text = TextOf(label);
    RECT measure{};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return measure.right;
}

// A label as wide as designed, or as its text when that is wider: a text
// is never cut off.
int LabelWidth(HWND label, ControlId id, int designed, int pixels) {
    switch (id) {
    case ControlId::lblFormCaption: return std::max(designed, TextWidth(label, FW_BOLD, pixels));
    case ControlId::lblSample:
    case ControlId::lblUrl: return std::max(designed, TextWidth(label, FW_NORMAL, pixels));
    default: return designed;
    }
}

// The window class a kind of control is made of.
const wchar_t* WindowClassOf(app::ControlKind kind) {
    switch (kind) {
    case app::ControlKind::CommandButton: return L"Button";
    case app::ControlKind::TextBox: return L"Edit";
    default: return L"Static";
    }
}

// Every control of the design is a visible child of the window, of its
// kind's class, at its designed place scaled to `dpi` (a label as wide as
// its text needs); the screenshots pin the pixels themselves.
void ExpectPlaces(App& app, int dpi, int fontPixels) {
    for (const app::ControlDesign& design : app::Controls) {
        HWND control = app.Control(app::IdOf(design.id));
        ASSERT_NE(control, nullptr) << design.name;
        EXPECT_EQ(GetParent(control), app.Window()) << design.name;
        EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), WindowClassOf(design.kind)), 0)
            << design.name << " is a " << Utf8(ClassOf(control));
        const app::PixelRect at = app::ToPixels(design, dpi);
        const int width = LabelWidth(control, design.id, at.width, fontPixels);
        EXPECT_EQ(Show(RectIn(control, app.Window())), Rect(at.left, at.top, width, at.height)) << design.name;
        EXPECT_TRUE(IsWindowVisible(control)) << design.name;
    }
}

TEST_F(DesignLanguage, ControlsInTheirDesignedPlacesAndNoneThatCannotBeSeen) {
    ExpectPlaces(*app_, 96, 12);
    // The controls nobody could see (the image holders, the progress bar
    // below the edge) get no window: the ids the design gave them find none.
    for (const int id : {101, 102, 103, 106, 110, 111}) EXPECT_EQ(app_->Control(id), nullptr) << id;
}

TEST_F(DesignLanguage, UrlBoxPrefilledFromTheClipboard) {
    EXPECT_EQ(Utf8(TextOf(C(ControlId::txtUrl))), "http://plm.example.com/folder");
}

TEST_F(DesignLanguage, FocusStartsInTheUrlBoxAndTabSkipsThePictures) {
    EXPECT_EQ(app_->Focus(), C(ControlId::txtUrl));
    EXPECT_EQ(GetForegroundWindow(), app_->Window());
    struct Row {
        const char* label;
        std::function<void()> keys;
        ControlId focus;
    };
    const Row rows[] = {
        {"Tab", [] { Tap(VK_TAB); }, ControlId::btnConfiguration},
        {"Tab", [] { Tap(VK_TAB); }, ControlId::btnCancel},
        {"Tab wraps", [] { Tap(VK_TAB); }, ControlId::txtUrl},
        {"Shift+Tab wraps back", ShiftTab, ControlId::btnCancel},
        {"Shift+Tab", ShiftTab, ControlId::btnConfiguration},
        {"arrow keys do not move the focus", [] { Tap(VK_RIGHT); Tap(VK_TAB); }, ControlId::btnCancel},
    };
    for (const Row& row : rows) {
        row.keys();
        WaitFor([&] { return app_->Focus() == C(row.focus); });
        EXPECT_EQ(GetDlgCtrlID(app_->Focus()), app::IdOf(row.focus)) << row.label;
    }
    EXPECT_TRUE(app_->Running()) << "Enter, Tab and arrows do not end or run anything";
}

TEST_F(DesignLanguage, AltRSelectsTheAddressOnlyWithAltAlone) {
    HWND url = C(ControlId::txtUrl);
    HWND cancel = C(ControlId::btnCancel);
    const std::wstring text = TextOf(url);
    const auto all = std::make_pair(0, static_cast<int>(text.size()));
    struct Row {
        const char* label;
        std::vector<Step> keys;
        bool selects;
    };
    const Row rows[] = {
        {"Alt+R", {{VK_MENU, false}, {'R', false}, {'R', true}, {VK_MENU, true}}, true},
        {"Alt+Shift+R",
         {{VK_MENU, false}, {VK_SHIFT, false}, {'R', false}, {'R', true}, {VK_SHIFT, true}, {VK_MENU, true}},
         false},
        {"Ctrl+Alt+R",
         {{VK_CONTROL, false}, {VK_MENU, false}, {'R', false}, {'R', true}, {VK_MENU, true}, {VK_CONTROL, true}},
         false},
        {"R released after Alt", {{VK_MENU, false}, {'R', false}, {VK_MENU, true}, {'R', true}}, false},
        {"R alone", {{'R', false}, {'R', true}}, false},
        {"Alt+R again", {{VK_MENU, false}, {'R', false}, {'R', true}, {VK_MENU, true}}, true},
    };
    for (const Row& row : rows) {
        // From the Cancel button, with the caret inside the address.
        if (app_->Focus() == url) ShiftTab();
        if (app_->Focus() == C(ControlId::btnConfiguration)) Tap(VK_TAB);
        WaitFor([&] { return app_->Focus() == cancel; });
        ASSERT_EQ(app_->Focus(), cancel) << row.label;
        SendMessageW(url, EM_SETSEL, 2, 2);
        Press(row.keys);
        if (row.selects) {
            WaitFor([&] { return app_->Focus() == url && SelectionOf(url) == all; });
            EXPECT_EQ(app_->Focus(), url) << row.label;
            EXPECT_EQ(SelectionOf(url), all) << row.label;
        } else {
            // Input is handled in order: once Shift+Tab has moved the focus,
            // the keys before it have been handled too.
            ShiftTab();
            WaitFor([&] { return app_->Focus() == C(ControlId::btnConfiguration); });
            EXPECT_EQ(app_->Focus(), C(ControlId::btnConfiguration)) << row.label << ": the focus left the Cancel button";
            EXPECT_EQ(SelectionOf(url), std::make_pair(2, 2)) << row.label;
        }
        EXPECT_EQ(Utf8(TextOf(url)), Utf8(text)) << row.label << ": nothing typed";
    }
}

TEST_F(DesignLanguage, DoubleClickSelectsTheWholeAddress) {
    HWND url = C(ControlId::txtUrl);
    RECT box{};
    GetClientRect(url, &box);
    struct Row {
        const char* label;
        std::wstring text;
        int x;  // each row elsewhere, so no click pairs with the row before
    };
    const Row rows[] = {
        {"an address of several words, in the word plm", L"http://plm.example.com/folder", 40},
        {"an empty box", L"", 80},
        {"an address with a space, in its first part", L"https://h/p q", 20},
    };
    for (const Row& row : rows) {
        SetTextOf(url, row.text);
        SendMessageW(url, EM_SETSEL, 1, 1);
        DoubleClick(url, {row.x, box.bottom / 2});
        auto all = std::make_pair(0, static_cast<int>(row.text.size()));
        WaitFor([&] { return SelectionOf(url) == all && app_->Focus() == url; });
        EXPECT_EQ(SelectionOf(url), all) << row.label;
        EXPECT_EQ(app_->Focus(), url) << row.label;
        EXPECT_EQ(Utf8(TextOf(url)), Utf8(row.text)) << row.label;
    }
    SetTextOf(url, L"http://plm.example.com/folder");
}

TEST_F(DesignLanguage, PixelsOfTheSkinnedWindow) {
    HWND window = app_->Window();
    Sleep(200);
    Capture shot(window);
    ExpectPixelsAsBefore(shot, L"zh_CN");
    ASSERT_EQ(shot.Width(), 490);
    ASSERT_EQ(shot.Height(), 133);

    ExpectPixels(shot, {
        {"body", 30, 110, Body},
        {"body right of the buttons", 470, 110, Body},
        {"top frame", 300, 0, Frame},
        {"bottom frame", 300, 132, Frame},
        {"left frame", 0, 60, Frame},
        {"right frame", 489, 60, Frame},
        {"band top", 300, 2, PixelOf(app::art::BandTop)},
        {"band bottom", 300, 20, PixelOf(app::art::BandBottom)},
        {"body under the band", 300, 21, Body},
        {"caption label is transparent over the band", 8, 8, BandColour(8, 2, 20)},
        {"URL label is transparent over the body", 40, 48, Body},
        {"Auto Setting in its face colour", 242, 90, ButtonFace},
        {"Cancel in its face colour", 354, 90, ButtonFace},
        {"URL box inside its border", 105, 50, UrlBoxBack},
    });
    ExpectBand(shot, 300, 2, 20);
    Pixel border = shot.At(104, 50);
    EXPECT_LT(border.r + 60, UrlBoxBack.r) << "the URL box has a visible one-pixel border: " << Show(border);
    EXPECT_TRUE(Near(shot.At(103, 50), Body, 0)) << "and no more than one pixel";
    Pixel edge = shot.At(240, 100);
    EXPECT_LT(edge.r + 40, ButtonFace.r) << "the button has an edge: " << Show(edge);

    ExpectCaptionDrawn(*app_, shot);
    RECT caption = RectIn(C(ControlId::lblFormCaption), window);
    auto [top, bottom] = shot.DarkRows(caption, 100);
    EXPECT_LE(bottom - top + 1, 13) << "a 9 point caption at 96 DPI";
    RECT sample = RectIn(C(ControlId::lblSample), window);
    EXPECT_GT(shot.CountDark(sample, 100), 40) << "sample text is drawn";

    RECT close = RectIn(C(ControlId::picClose), window);
    Pixel cross = shot.At(close.left + 8, close.top + 8);
    Pixel corner = shot.At(close.left, close.top);
    EXPECT_LT(cross.r, 170) << "the close cross: " << Show(cross);
    EXPECT_EQ(cross.r, cross.b) << "grey";
    EXPECT_GT(corner.r, 200) << "on a light background: " << Show(corner);
}

TEST_F(DesignLanguage, EscInTheUrlBoxEndsTheProgram) {
    AltKey('R');
    WaitFor([&] { return app_->Focus() == C(ControlId::txtUrl); });
    ASSERT_EQ(app_->Focus(), C(ControlId::txtUrl));
    Tap(VK_ESCAPE);
    EXPECT_EQ(app_->WaitForExit(), std::optional<DWORD>(0));
}

// ---------------------------------------------------------------------------
// The language of the run, whichever it is: its texts as the window shows
// them and a screen reader says them, its prompt, and a way out. Each
// language's run starts from another kind of clipboard text and uses
// another way to press, so that the runs together see them all.

struct StartCase {
    const wchar_t* clipboard;
    const wchar_t* prefill;  // what the URL box then holds
    const wchar_t* invalid;  // an address the command refuses
    bool altA;               // Alt+A presses Auto Setting, else a click
    bool altC;               // Alt+C presses Cancel, else a click
};
const StartCase StartCases[] = {
    {L"  HTTP://PLM.Example.com/Folder/Login.aspx  ", L"http://plm.example.com/folder", L"ftp://plm.example.com/plm",
     false, true},
    // Not an http address: not taken.
    {L"ftp://plm.example.com/plm/page", L"http://", L"http://", true, false},
    {L"https://Secure.Example.com/PLM/", L"https://secure.example.com/plm", L"http://plm.example.com", false, true},
};
const StartCase& StartCaseOfThisRun() { return StartCases[RowOf(LanguageOfThisRun()) % std::size(StartCases)]; }

struct RunLanguage {
    static std::string Skip() { return {}; }
    static std::wstring Clipboard() { return StartCaseOfThisRun().clipboard; }
};
class ThisLanguage : public SharedRun<RunLanguage> {};

TEST_F(ThisLanguage, Texts) {
    const config::Language& language = LanguageOfThisRun();
    const config::Captions& captions = language.captions;
    ExpectTexts(*app_, Wide(captions.formCaption),
                {{ControlId::lblFormCaption, Wide(captions.formCaption)},
                 {ControlId::lblSample, Wide(captions.sample)},
                 {ControlId::btnConfiguration, Wide(captions.configuration)},
                 {ControlId::btnCancel, Wide(captions.cancel)},
                 {ControlId::lblUrl, Wide(config::UrlLabelCaption)},
                 {ControlId::picClose, Wide(captions.close)},
                 {ControlId::txtUrl, StartCaseOfThisRun().prefill}});
    Sleep(200);
    Capture shot(app_->Window());
    // The design language's window is compared in its own suite, after its
    // keyboard tests.
    if (!IsDesignLanguage(language)) ExpectPixelsAsBefore(shot, ShotName(language));
    ExpectCaptionDrawn(*app_, shot);
}

TEST_F(ThisLanguage, ScreenReaderNames) { ExpectAccessibleNames(*app_, LanguageOfThisRun()); }

TEST_F(ThisLanguage, LabelsHoldTheirTexts) {
    const int closeLeft = app::ToPixels(app::DesignOf(ControlId::picClose), 96).left;
    for (const auto& [id, weight] : {std::pair{ControlId::lblFormCaption, FW_BOLD}, std::pair{ControlId::lblSample, FW_NORMAL},
                                     std::pair{ControlId::lblUrl, FW_NORMAL}}) {
        HWND label = C(id);
        RECT at = RectIn(label, app_->Window());
        const char* name = app::DesignOf(id).name;
        EXPECT_GE(at.right - at.left, TextWidth(label, weight, 12)) << name << " holds its text";
        EXPECT_GE(at.right - at.left, app::ToPixels(app::DesignOf(id), 96).width) << name << " keeps at least its designed width";
        EXPECT_LE(at.right, closeLeft) << name << " stays left of the close picture";
    }
}

TEST_F(ThisLanguage, InvalidAddressShowsThePromptAndWritesNothing) {
    const config::Language& language = LanguageOfThisRun();
    const StartCase& start = StartCaseOfThisRun();
    auto text = [&](config::Message message) { return Wide(config::GetLocalText(language, message)); };
    HWND button = C(ControlId::btnConfiguration);
    ExpectInvalidAddressPrompt(
        *app_, start.invalid,
        [&] {
            if (start.altA) {
                AltKey('A');
            } else {
                Click(button, CentreOf(button));
            }
        },
        text(config::Message::Title), text(config::Message::Prompt) + L"\n\n" + text(config::Message::Example));
    HKEY key = nullptr;
    const std::wstring site = Wide(zones::DomainsKey) + L"\\example.com";
    LONG status = RegOpenKeyExW(HKEY_CURRENT_USER, site.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    EXPECT_EQ(status, ERROR_FILE_NOT_FOUND) << "a rejected address writes nothing";
}

TEST_F(ThisLanguage, CancelEndsTheProgram) {
    if (StartCaseOfThisRun().altC) {
        ASSERT_TRUE(WaitForKeyboard(*app_));
        AltKey('C');
    } else {
        HWND cancel = C(ControlId::btnCancel);
        Click(cancel, CentreOf(cancel));
    }
    EXPECT_EQ(app_->WaitForExit(), std::optional<DWORD>(0));
}

// ---------------------------------------------------------------------------
// Clipboards without a usable text, and the other ways out.

TEST(Clipboard, HeldByAnotherProgramTheWindowStartsWithoutPrefill) {
    PLM_DESIGN_RUN_ONLY();
    SetClipboardText(L"http://plm.example.com/plm/page");
    std::unique_ptr<App> app;
    {
        ClipboardHold hold;
        ASSERT_TRUE(hold.Held());
        ULONGLONG start = GetTickCount64();
        app = std::make_unique<App>();
        ASSERT_TRUE(app->Started());
        EXPECT_LT(GetTickCount64() - start, 10000u) << "start-up does not wait for the clipboard";
    }
    EXPECT_EQ(Utf8(TextOf(app->Control(static_cast<int>(ControlId::txtUrl)))), "http://");
    HWND close = app->Control(static_cast<int>(ControlId::picClose));
    Click(close, CentreOf(close));
    EXPECT_EQ(app->WaitForExit(), std::optional<DWORD>(0)) << "the close picture ends the program";
}

TEST(Clipboard, WithoutTextGivesHttpAndACloseRequestEnds) {
    PLM_DESIGN_RUN_ONLY();
    SetClipboardWithoutText();
    App app;
    ASSERT_TRUE(app.Started());
    EXPECT_EQ(Utf8(TextOf(app.Control(static_cast<int>(ControlId::txtUrl)))), "http://");
    // A logoff asks first: the window never objects.
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(app.Window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 2000,
                                  &answer),
              0);
    EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE)) << "the end of the session is never blocked";
    EXPECT_TRUE(app.Running());
    // Any program may post a DPI change with a pointer that points nowhere:
    // the window goes by its own DPI and stays where it is.
    RECT before{};
    GetWindowRect(app.Window(), &before);
    PostMessageW(app.Window(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), 0x10);
    Sleep(300);  // a posted message comes after the sent ones
    EXPECT_TRUE(app.Running()) << "a bogus WM_DPICHANGED ends nothing";
    RECT after{};
    GetWindowRect(app.Window(), &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << after.left << "," << after.top << " " << after.right - after.left;
    // Nor do a creation message with a pointer of the sender's choosing and
    // draw requests for controls that are not the window's; a click after
    // them still reaches the window's own object.
    PostMessageW(app.Window(), WM_NCCREATE, 0, 0x10);
    PostMessageW(app.Window(), WM_DRAWITEM, 0, 0x10);
    DRAWITEMSTRUCT forged{};
    forged.CtlType = ODT_BUTTON;
    forged.CtlID = 0xFFFF;
    SendMessageTimeoutW(app.Window(), WM_DRAWITEM, forged.CtlID, reinterpret_cast<LPARAM>(&forged), SMTO_ABORTIFHUNG,
                        2000, &answer);
    HWND url = app.Control(static_cast<int>(ControlId::txtUrl));
    PostMessageW(url, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
    Sleep(300);
    ASSERT_TRUE(app.Running()) << "forged creation and draw messages take nothing over";
    EXPECT_EQ(SendMessageW(url, EM_GETSEL, 0, 0), MAKELRESULT(0, 7)) << "the double-click selected the address";
    PostMessageW(app.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitForExit(), std::optional<DWORD>(0)) << "a close request from outside ends like Cancel";
}

// ---------------------------------------------------------------------------
// The notices before the login page, in the language of the run: a policy
// decides the trusted sites, or the page would open in Edge without IE
// mode. The program is ended while the notice is up, before its login page
// step could start a browser; what was planted and the zone-map entries of
// the run are removed again.

// The notice as the run's language says it, with the host in its place.
struct Notice {
    std::wstring shot;
    std::wstring title;
    std::wstring text;
};

Notice NoticeOfThisRun(config::Notice which, const wchar_t* shotSuffix) {
    const config::Language& language = LanguageOfThisRun();
    return {ShotName(language) + shotSuffix, Wide(config::GetLocalText(language, config::Message::Title)),
            Wide(config::WithHost(config::NoticeOf(language, which), u"plm.notice.example"))};
}

struct ZoneMapCleanup {
    ~ZoneMapCleanup() {
        for (TextView list : {zones::DomainsKey, zones::EscDomainsKey}) {
            const std::wstring key = Wide(list) + L"\\notice.example";
            RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        }
    }
};

// Runs the site through and checks the notice as the user sees it.
void ExpectNotice(const Notice& notice) {
    App app;
    ASSERT_TRUE(app.Started());
    SetTextOf(app.Control(static_cast<int>(ControlId::txtUrl)), L"http://plm.notice.example/plm");
    HWND button = app.Control(static_cast<int>(ControlId::btnConfiguration));
    Click(button, CentreOf(button));
    HWND found = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (found = app.MessageBoxWindow()) != nullptr; }, 10000)) << "no notice";
    ExpectBox(app, found, notice.title, notice.text);
    EXPECT_TRUE(IsWindowVisible(app.Window())) << "the window stays while the notice is up";
    Sleep(200);
    const Capture shot(found);
    shot.SaveBmp(notice.shot);
    EXPECT_GT(shot.CountDark(RECT{0, 0, shot.Width(), shot.Height()}, 100), 300) << "the notice text is drawn";
}

TEST(PolicyNotice, NamesTheHostInTheLanguageOfTheWindow) {
    const Notice notice = NoticeOfThisRun(config::Notice::Policy, L"-policy-notice.bmp");
    const ZoneMapCleanup cleanup;
    const test::PlantedDword policy(HKEY_LOCAL_MACHINE, test::MachinePolicyKey, test::MachineSettingsOnly, 1);
    ExpectNotice(notice);
}

TEST(BrowserNotice, NamesTheHostInTheLanguageOfTheWindow) {
    const Notice notice = NoticeOfThisRun(config::Notice::Browser, L"-browser-notice.bmp");
    const ZoneMapCleanup cleanup;
    const test::PlantedWindows windows(L"22631", L"Professional");
    ExpectNotice(notice);
}

TEST(ReloadNotice, TellsTheUserHowToReloadInIeMode) {
    const Notice notice = NoticeOfThisRun(config::Notice::Reload, L"-reload-notice.bmp");
    const ZoneMapCleanup cleanup;
    const test::PlantedWindows windows(L"22631", L"Professional");
    const test::PlantedDword reload(HKEY_CURRENT_USER, Wide(zones::EdgePolicyKey), Wide(zones::ReloadInIeModeValue), 1);
    ExpectNotice(notice);
}

// ---------------------------------------------------------------------------
// 144 DPI: everything scales, the background is drawn for the size.

TEST(HighDpi, EverythingScalesAt144Dpi) {
    PLM_DESIGN_RUN_ONLY();
    SetClipboardWithoutText();
    // The prefix's DPI, read at start-up; the other runs keep 96.
    std::optional<test::PlantedDword> dpi(std::in_place, HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", 144);
    App app;
    dpi.reset();
    ASSERT_TRUE(app.Started());
    HWND window = app.Window();
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, app::TwipsToPixels(app::ClientWidthTwips, 144));
    EXPECT_EQ(client.bottom, app::TwipsToPixels(app::StartHeightTwips, 144));

    ExpectPlaces(app, 144, 18);

    Sleep(200);
    Capture shot(window);
    ExpectPixelsAsBefore(shot, L"zh_CN-144dpi");
    ExpectPixels(shot, {
        {"frame, outer row", 450, 0, Frame},
        {"frame, inner row", 450, 1, Frame},
        {"band top at row 3", 450, 3, PixelOf(app::art::BandTop)},
        {"band bottom at row 31", 450, 31, PixelOf(app::art::BandBottom)},
        {"body under the band", 450, 32, Body},
        {"body", 45, 165, Body},
        {"right frame", 734, 100, Frame},
    });
    ExpectBand(shot, 450, 3, 31);
    RECT caption = RectIn(app.Control(static_cast<int>(ControlId::lblFormCaption)), window);
    auto [top, bottom] = shot.DarkRows(caption, 100);
    EXPECT_GE(bottom - top + 1, 15) << "the caption font scales with the DPI";
    RECT close = RectIn(app.Control(static_cast<int>(ControlId::picClose)), window);
    EXPECT_LT(shot.At(close.left + 12, close.top + 12).r, 170) << "the close cross fills the larger picture";

    AltKey(VK_F4);
    EXPECT_EQ(app.WaitForExit(), std::optional<DWORD>(0)) << "Alt+F4 ends like Cancel";
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace
}  // namespace plm::windowtest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);  // for oleacc
    using plm::windowtest::TheOptions;
    using plm::windowtest::WindowsPath;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--locales") {
            // The locale of each language's run, for tests/window/each-language.
            for (const plm::config::Language& language : plm::config::Languages) {
                std::printf("%s\n", plm::windowtest::LocaleOf(language).c_str());
            }
            return 0;
        }
        if (arg.rfind("--app=", 0) == 0) TheOptions().app = WindowsPath(arg.substr(6));
        if (arg.rfind("--shots=", 0) == 0) TheOptions().shots = WindowsPath(arg.substr(8));
        if (arg.rfind("--reference=", 0) == 0) TheOptions().reference = WindowsPath(arg.substr(12));
    }
    if (TheOptions().app.empty()) {
        std::fprintf(stderr, "usage: window_tests --app=PlmClientConfig.exe [--shots=DIR]\n");
        return 2;
    }
    if (plm::windowtest::UnderWine() && GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0) {
        std::printf("SKIPPED: the window tests need a display; run them under xvfb-run\n");
        return 77;
    }
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    if (bits < 24) {
        std::fprintf(stderr, "the screen has %d bits a pixel; colours need 24 (xvfb-run -s \"-screen 0 1024x768x24\")\n",
                     bits);
        return 1;
    }
    return RUN_ALL_TESTS();
}
