#include "install/voice_chat_update.h"

#include "model/file_copies.h"
#include "model/game_paths.h"
#include "model/layout_switches.h"
#include "model/program_state.h"
#include "model/properties.h"
#include "support/dialogs.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/web.h"

#include <algorithm>
#include <cctype>

namespace {

// A double quote, serverURL, a double quote, a colon and exactly one space.
const char kKeyText[] = "\"serverURL\": ";

// Found once for each install, when it is prepared: on Linux it may be
// Voxbridge for Linux's own.
Text g_configPath;

const Text& ConfigPath() { return g_configPath; }

// Voxbridge creates its configuration when it first runs: without it there
// is nothing to point at the community server.
void ReportVoxbridgeMissing() {
    SetLogicalProperty(Control::选择框1, Property::selected, false);
    SetCollapsedLayout();
    MsgBox("您尚未安装Voxbridge,请安装Voxbridge并运行一次后再尝试安装Voxbridge社区服！", kMsgBoxError, Text("错误!"));
}

void ReportConfigUnchanged(const Text& reason) { MsgBox(reason, kMsgBoxError, Text("错误！")); }

// Between the key and the comma stands the old value: one whole JSON string
// or a bare word (null, true, a number). Anything else means the comma lies
// inside the value (a comma in the old address, an object), and replacing up
// to it would break the file.
bool IsWholeOldValue(const Text& span) {
    Text old = TrimBlanks(span);
    if (old.empty()) return false;
    if (old.front() != '"') {
        return std::all_of(old.begin(), old.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+';
        });
    }
    // The first quote that no backslash escapes closes the string; it must be the last byte.
    size_t at = 1;
    while (at < old.size() && old[at] != '"') at += old[at] == '\\' ? 2 : 1;
    return at == old.size() - 1;
}

// The span from the key to the first comma behind it can be replaced only
// when both are there, the span holds the whole old value, and the text is
// the whole file: a zero byte would cut everything after it off the
// rewritten file.
bool IsRecognisedConfig(const ProgramState& state, const Text& config) {
    if (state.KeyPosition < 1 || state.CommaPosition < 1 || config.size() != state.ConfigBytes.size()) return false;
    size_t valueStart = state.KeyPosition - 1 + (sizeof kKeyText - 1);
    return IsWholeOldValue(config.substr(valueStart, state.CommaPosition - 1 - valueStart));
}

// Voxbridge reaches its server at an absolute http or https address: a rate
// limiter's text, a bare host name or another scheme would leave it with none.
// The address goes between two double quotes of a JSON string, unescaped, so
// it holds no white space, quote, backslash or control byte; and into a UTF-8
// file, so it is ASCII (a site writes an international host in its xn-- form):
// GBK bytes written there would be no text at all.
bool IsServerAddress(const Text& address) {
    WebAddress parts;
    bool plain = std::none_of(address.begin(), address.end(), [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte == '"' || byte == '\\' || byte <= 0x20 || byte >= 0x7F;
    });
    return plain && CrackWebAddress(address, &parts) && parts.scheme != WebScheme::Other && !parts.host.empty();
}

// The voice-server address from 编辑框2's resource, or the empty text when
// the download or its body is not fit to be written. A byte-order mark that
// an editor saved before it is no part of the address.
Text DownloadAddress() {
    HttpResponse response = HttpGetResponse(GetTextProperty(Control::编辑框2, Property::content));
    if (!IsWholeSuccess(response)) return Text();
    const ByteArray bytes = WithoutByteOrderMark(response.body);
    Text body = ToText(bytes);
    if (body.size() != bytes.size()) return Text();
    Text address = TrimBlanks(body);
    return IsServerAddress(address) ? address : Text();
}

Text ReplaceServerUrl(const Text& config, const ProgramState& state, const Text& address) {
    Text replacement = Text(kKeyText) + "\"" + address + "\"";
    return ReplaceSpan(config, state.KeyPosition, state.CommaPosition - state.KeyPosition, replacement);
}

// Reads the configuration and judges it: true when the state holds it as
// read, with its key and comma found and the value between them whole. A
// file read only in part would lose its end when written back.
bool ReadRecognisedConfig() {
    ProgramState& state = State();
    bool readWhole = false;
    state.ConfigBytes = ReadFileBytes(ConfigPath(), &readWhole);
    Text config = ToText(state.ConfigBytes);
    state.KeyPosition = FindSubtext(config, kKeyText, LeftOut, false);
    state.CommaPosition = FindSubtext(config, ",", state.KeyPosition, false);
    return readWhole && IsRecognisedConfig(state, config);
}

void ReportConfigNotRecognised() {
    ReportConfigUnchanged("未能识别Voxbridge配置文件的格式，Voxbridge配置未作修改。");
}

}  // namespace

VoiceChatOutcome PrepareVoiceChatUpdate(Text* address) {
    g_configPath = VoxbridgeConfigPath();
    if (!FileExists(ConfigPath())) {
        ReportVoxbridgeMissing();
        return VoiceChatOutcome::Stop;
    }

    if (!ReadRecognisedConfig()) {
        ReportConfigNotRecognised();
        return VoiceChatOutcome::Stop;
    }

    *address = DownloadAddress();
    if (address->empty()) {
        ReportConfigUnchanged("未能获取有效的Voxbridge社区服地址，Voxbridge配置未作修改。");
        return VoiceChatOutcome::Stop;
    }
    return VoiceChatOutcome::GoOn;
}

bool WriteVoiceChatUpdate(const Text& address) {
    // Voxbridge may have saved while the list came: what it holds now is
    // judged again and rewritten, so that its save survives.
    ProgramState& state = State();
    if (!ReadRecognisedConfig()) {
        ReportConfigNotRecognised();
        return false;
    }
    state.NewConfigBytes = ToBytes(ReplaceServerUrl(ToText(state.ConfigBytes), state, address));
    // Voxbridge's own configuration is kept as config.json.bak first.
    if (KeepCopyBeforeReplacing(ConfigPath()) && WriteFileBytes(ConfigPath(), state.NewConfigBytes)) return true;
    ReportConfigUnchanged("Voxbridge配置文件写入失败，请检查文件权限后重试。");
    return false;
}

bool RestoreVoiceChatConfig() { return WriteFileBytes(ConfigPath(), State().ConfigBytes); }
