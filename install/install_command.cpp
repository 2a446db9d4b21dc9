#include "install/install_command.h"

#include "install/region_file.h"
#include "install/server_list.h"
#include "install/voice_chat_update.h"
#include "model/game_paths.h"
#include "model/program_state.h"
#include "model/properties.h"
#include "support/dialogs.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/web.h"

#include <string>

namespace {

const char kResultCaption[] = "安装结果：";
const char kContentHeading[] = "\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n";

void MarkBusy() {
    SetLogicalProperty(Control::按钮1, Property::禁止, true);
    SetTextProperty(Control::按钮1, Property::caption, "安装中...");
}

void MarkIdle() {
    SetLogicalProperty(Control::按钮1, Property::禁止, false);
    SetTextProperty(Control::按钮1, Property::caption, "安装");
}

// An error page, a cut-off download or a captive portal's page must never
// replace the region file. The bytes are judged, not changed: a UTF-8 byte
// order mark is accepted and stays in the file.
bool IsReceivedWhole(const HttpResponse& response) {
    return IsWholeSuccess(response) && !ToText(response.body).empty();
}

// How far an install has come, for a close inside one of its waits (a held
// file): the program then ends there, and leaves no half behind.
struct InstallUnderWay {
    bool voiceChatWritten = false;
    bool listWritten = false;  // at some place
    Text writingAt;            // the root of the place being written
};
InstallUnderWay g_underWay;

// The write cut off is settled as the next run would, and Voxbridge is put
// back unless a place took the list.
void EndInstallMidway() {
    SettleCutOffInstall(g_underWay.writingAt);
    if (g_underWay.voiceChatWritten && !g_underWay.listWritten) RestoreVoiceChatConfig();
}

// The places a report names, when the game has run in a Proton prefix: empty
// where there is only the user's own LocalLow, as on Windows.
Text PlacesNamed(const char* heading, const std::vector<GamePlace>& places, bool named) {
    if (!named || places.empty()) return Text();
    Text lines = Text("\r\n\r\n") + heading;
    for (const GamePlace& place : places) lines += "\r\n" + PlaceName(place);
    return lines;
}

// The list is converted for the message box only; without GB2312 for a
// character, the report shows no content. GB2312 has no byte-order mark:
// left in, it would fail the whole conversion.
Text InstallReport(const ByteArray& list, const Text& places, const std::optional<Text>& voiceChatAddress) {
    Text converted = FirstLines(ToText(ConvertEncoding(WithoutByteOrderMark(list), "UTF-8", "GB2312")));
    Text report = "安装成功!" + places;
    if (voiceChatAddress) report += "\r\n\r\nVoxbridge服务器地址已更改为：" + *voiceChatAddress;
    return report + kContentHeading + converted;
}

void ReportInstallFailed(const Text& places, const std::optional<Text>& voiceChatAddress) {
    Text message = "安装失败，请重试。若再次失败请检查文件权限或寻求帮助！" + places;
    if (voiceChatAddress) message += "\r\n\r\nVoxbridge服务器地址已更改为：" + *voiceChatAddress;
    MsgBox(message, kMsgBoxError, Text(kResultCaption));
}

// Everything is fetched and judged before anything is written: a refused list
// leaves Voxbridge as it was. The list goes to every place where the game
// keeps its files; a place that cannot be written is reported and the others
// keep the list, and when none can be, Voxbridge's configuration is put back,
// so that a failure reports what happened.
void RunInstall() {
    std::optional<Text> voiceChatAddress;
    if (GetLogicalProperty(Control::选择框1, Property::selected)) {
        Text address;
        if (PrepareVoiceChatUpdate(&address) == VoiceChatOutcome::Stop) return;
        voiceChatAddress = address;
    }

    HttpResponse response = HttpGetResponse(GetTextProperty(Control::编辑框1, Property::content));
    ByteArray& list = State().ServerListBytes;
    list = response.body;
    if (!IsReceivedWhole(response)) {
        MsgBox("未能获取安装源内的社区服列表，请重试，若多次无法获取请检查安装源的可用性。", kMsgBoxError, Text("错误！"));
        return;
    }
    if (!IsServerList(list)) {
        MsgBox("安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。", kMsgBoxError, Text("错误！"));
        return;
    }
    if (voiceChatAddress && !WriteVoiceChatUpdate(*voiceChatAddress)) return;
    g_underWay.voiceChatWritten = voiceChatAddress.has_value();
    const std::vector<GamePlace> places = GamePlaces();
    const bool named = HasProtonPrefix(places);
    std::vector<GamePlace> written, failed;
    for (const GamePlace& place : places) {
        g_underWay.writingAt = place.root;
        (InstallListAt(place.root, list) ? written : failed).push_back(place);
        g_underWay.listWritten = !written.empty();
    }
    g_underWay.writingAt.clear();
    // Put back, Voxbridge is as it was; should that fail too, the box says what stands.
    if (written.empty() && voiceChatAddress && RestoreVoiceChatConfig()) voiceChatAddress.reset();
    if (!failed.empty()) {
        ReportInstallFailed(PlacesNamed("未能写入：", failed, named) + PlacesNamed("已写入：", written, named), voiceChatAddress);
        return;
    }
    MsgBox(InstallReport(list, PlacesNamed("已写入：", written, named), voiceChatAddress), kMsgBoxWarning,
           Text(kResultCaption));
}

}  // namespace

void InstallCommand() {
    MarkBusy();
    g_underWay = InstallUnderWay();
    State().EndsMidway = EndInstallMidway;
    RunInstall();
    State().EndsMidway = nullptr;
    MarkIdle();
}
