// A tour of the installer for scripts/run on a machine without a display:
// start-up, both layout switches, an install without and with the Voxbridge
// option, an uninstall and the close. It prints every message box as it
// answers it and saves a screenshot of each step; what the installer cannot
// do yet is reported and skipped, so the tour always ends by itself.
//
//   walkthrough.exe --out FOLDER
#include "driver/installer_session.h"
#include "e2e_paths.h"
#include "tests/win32/files.h"
#include "tests/win32/screen_capture.h"
#include "tests/win32/waiting.h"
#include "tests/win32/wide_utf8.h"
#include "tests/win32/window_input.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr DWORD kBoxWaitMs = 2500;

void Say(const std::string& line) {
    std::string text = "walk-through: " + line + "\n";
    fwrite(text.data(), 1, text.size(), stdout);
    fflush(stdout);
}

// The text with its line ends as LF, each following line indented under the first.
std::string Indented(const std::wstring& text) {
    std::string utf8 = Utf8FromWide(text), indented;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
        indented += utf8[i];
        if (utf8[i] == '\n') indented += "      ";
    }
    return indented;
}

// Keeps the profile as it is, and stays with this version of the installer.
int ChooseAnswer(const MessageBoxState& box) {
    auto has = [&](int id) { return std::find(box.buttons.begin(), box.buttons.end(), id) != box.buttons.end(); };
    if (box.caption == L"数据版本回退" && has(IDCANCEL)) return IDCANCEL;
    if (has(IDNO)) return IDNO;
    if (has(IDOK)) return IDOK;
    return box.buttons.empty() ? IDOK : box.buttons.front();
}

void ReportFile(const std::wstring& path, const std::string& what) {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return Say("  " + what + ": missing");
    Say("  " + what + ": " + std::to_string(bytes->size()) + " bytes" + (bytes->size() <= 200 ? ": " + *bytes : ""));
}

class Tour {
public:
    explicit Tour(std::wstring out) : out_(std::move(out)), session_(out_ + L"\\session") {}

    int Run();

private:
    void Shot(const std::string& name) {
        wchar_t number[8];
        swprintf(number, 8, L"%02d-", ++step_);
        std::wstring path = out_ + L"\\" + number + WideFromUtf8(name) + L".png";
        if (SavePng(CaptureWholeScreen(), path)) Say("  screenshot " + Utf8FromWide(path));
    }

    // Answers every box that shows up until none has come for a while.
    void AnswerBoxes(const std::string& stage, DWORD firstWaitMs = kBoxWaitMs) {
        for (DWORD wait = firstWaitMs;; wait = 1200) {
            std::optional<MessageBoxState> box = session_.NextBox(wait);
            if (!box) return;
            Say("box \"" + Utf8FromWide(box->caption) + "\" (" + Utf8FromWide(BoxIconName(box->icon)) + " icon; " +
                Utf8FromWide(ButtonList(box->buttons)) + ")");
            Say("      " + Indented(box->text));
            Shot(stage + "-box");
            int answer = ChooseAnswer(*box);
            bool closed = AnswerMessageBox(*box, answer);
            Say("  answered " + Utf8FromWide(ButtonName(answer)) + (closed ? "" : " (the box stayed open)"));
            if (!closed) return;
        }
    }

    bool Click(Control control, const std::string& what) {
        HWND window = session_.ControlWindow(control);
        if (!window) {
            Say("no control for " + what + " (id " + std::to_string(ControlId(control)) + "); skipped");
            return false;
        }
        Say("click " + what + " \"" + Utf8FromWide(session_.Read(control).text) + "\"");
        PostClick(window);
        return true;
    }

    void ReportLayout() {
        Sleep(300);
        ControlState window = session_.Read(Control::Window);
        Say("  window " + std::to_string(window.placement.width) + "x" + std::to_string(window.placement.height) +
            ", voice-chat section " + (session_.Read(Control::分组框3).visible ? "shown" : "hidden") + ", side panel " +
            (session_.Read(Control::分组框2).visible ? "shown" : "hidden") + ", panel button \"" +
            Utf8FromWide(session_.Read(Control::按钮2).text) + "\"");
    }

    // Clicks the switch, and again to switch back, with the layout after each click.
    void Switch(const std::string& title, Control control, const std::string& what, const std::string& shot) {
        Say(title);
        if (!Click(control, what)) return;
        ReportLayout();
        Shot(shot);
        Click(control, what);
        ReportLayout();
    }

    std::wstring out_;
    InstallerSession session_;
    int step_ = 0;
};

int Tour::Run() {
    if (!session_.PrepareProfile()) {
        Say("cannot prepare a profile under " + Utf8FromWide(session_.Folder()));
        return 1;
    }
    const UserProfile& profile = session_.Profile();
    const std::wstring config = profile.roaming + L"\\voxbridge\\config.json";
    const std::wstring region = profile.localLow + L"\\Mossgrove\\Starfold\\regionInfo.json";
    CreateFolderTree(profile.roaming + L"\\voxbridge");
    WriteWholeFile(config, "{\n  \"serverURL\": \"wss://voice.voxbridge.example/official\",\n  \"volume\": 80\n}\n");
    Say("profile " + Utf8FromWide(profile.root) + " with a Voxbridge configuration");

    std::wstring problem;
    if (!session_.Launch(WindowsPathFromUnix(STARFOLD_E2E_INSTALLER), &problem)) {
        Say("cannot start the installer: " + Utf8FromWide(problem));
        return 1;
    }
    Say("installer started, process " + std::to_string(session_.Process().ProcessId()));
    if (!session_.WaitForMainWindow(8000)) {
        Say("no main window of class StarfoldCommunityInstaller with the installer's title appeared");
        AnswerBoxes("no-window", 500);
        Shot("no-main-window");
        return 0;
    }
    Say("start-up sequence:");
    AnswerBoxes("start-up");
    WaitUntil(5000, [&] { return IsWindowEnabled(session_.MainWindow()) != FALSE; });
    Shot("start");
    ReportLayout();
    Switch("voice-chat section switch:", Control::选择框1, "the check box", "voice-chat-section");
    Switch("side-panel switch:", Control::按钮2, "the panel button", "side-panel");

    Say("install without the Voxbridge option:");
    if (Click(Control::按钮1, "install")) {
        AnswerBoxes("install");
        ReportFile(region, "region file");
    }
    Say("install with the Voxbridge option:");
    if (Click(Control::选择框1, "the check box")) {
        Sleep(300);
        if (Click(Control::按钮1, "install")) AnswerBoxes("install-voxbridge");
        ReportFile(config, "Voxbridge configuration");
        ReportFile(region, "region file");
        Shot("after-install");
    }
    Say("uninstall:");
    if (Click(Control::按钮3, "uninstall")) {
        AnswerBoxes("uninstall");
        ReportFile(region, "region file");
    }

    Say("closing the window");
    PostClose(session_.MainWindow());
    AnswerBoxes("close", 500);
    if (!session_.Process().WaitForExit(8000)) {
        Say("the installer did not end; terminated");
        return 0;
    }
    Say("installer ended with exit code " + std::to_string(session_.Process().ExitCode().value_or(0)));
    for (const std::wstring& line : session_.ExitHandlerLines()) Say("  " + Utf8FromWide(line));
    if (session_.ExitHandlerLines().empty()) Say("  no exit-handler line was written");
    for (const UnhandledException& crash : session_.Process().LastChanceExceptions()) {
        char code[16];
        snprintf(code, sizeof code, "0x%08lX", crash.code);
        Say(std::string("  the installer crashed with exception ") + code);
    }
    for (const std::string& address : session_.OpenedAddresses()) Say("  opened " + address);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::wstring out;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::wstring(argv[i]) == L"--out") out = argv[i + 1];
    if (out.empty()) {
        fputs("usage: walkthrough.exe --out FOLDER\n", stderr);
        return 2;
    }
    if (out[0] == L'/') out = WindowsPathFromUnix(Utf8FromWide(out));
    CreateFolderTree(out);
    return Tour(out).Run();
}
