#include "install/voice_chat_update.h"

#include "install/voxbridge_config.h"
#include "model/file_copies.h"
#include "model/game_paths.h"
#include "model/layout_switches.h"
#include "model/program_state.h"
#include "model/properties.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "support/web.h"

namespace {

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

// The voice-server address from 编辑框2's resource, or the empty text when
// the download or its body is not fit to be written.
Text DownloadAddress() {
    return VoiceServerAddressIn(HttpGetResponse(GetTextProperty(Control::编辑框2, Property::content)));
}

// Reads the configuration and judges it: true when the state holds it as
// read, with its key and comma found and the value between them whole. A
// file read only in part would lose its end when written back.
bool ReadRecognisedConfig() {
    ProgramState& state = State();
    bool readWhole = false;
    state.ConfigBytes = ReadFileBytes(ConfigPath(), &readWhole);
    Text config = ToText(state.ConfigBytes);
    state.KeyPosition = FindSubtext(config, kServerUrlKey, LeftOut, false);
    state.CommaPosition = FindSubtext(config, ",", state.KeyPosition, false);
    return readWhole && IsRecognisedConfig(state.ConfigBytes, state.KeyPosition, state.CommaPosition);
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
    state.NewConfigBytes =
        ToBytes(ReplaceServerUrl(ToText(state.ConfigBytes), state.KeyPosition, state.CommaPosition, address));
    // Voxbridge's own configuration is kept as config.json.bak first.
    if (KeepCopyBeforeReplacing(ConfigPath()) && WriteFileBytes(ConfigPath(), state.NewConfigBytes)) return true;
    ReportConfigUnchanged("Voxbridge配置文件写入失败，请检查文件权限后重试。");
    return false;
}

bool RestoreVoiceChatConfig() { return WriteFileBytes(ConfigPath(), State().ConfigBytes); }
