#include "startup/startup_sequence.h"

#include "model/program_state.h"
#include "model/properties.h"
#include "model/shutdown.h"
#include "model/version.h"
#include "startup/settings_rollback.h"
#include "support/dialogs.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/site.h"
#include "support/web.h"

#include <algorithm>
#include <cctype>

namespace {

void ReportNoVersionReply() {
    MsgBox("未能从服务器获得版本信息，请检查网络是否畅通。", kMsgBoxError, Text("网络错误！"));
}

bool UserWantsNewVersion(const Text& latest) {
    Text message = "发现新版本！\r\n当前版本：" INSTALLER_VERSION "\r\n最新版本：" + latest + "\r\n是否前往下载新版本安装器？";
    return MsgBox(message, kMsgBoxYesNoQuestion, Text("发现新版本：")) == kMsgBoxYes;
}

// A version is a short run of digits, letters and ".-_+": a captive portal's
// page or a site's error text is no version at all, not a newer one.
bool IsVersionText(const Text& text) {
    const size_t kLongestVersion = 32;
    return !text.empty() && text.size() <= kLongestVersion && std::all_of(text.begin(), text.end(), [](char c) {
               auto byte = static_cast<unsigned char>(c);
               return (byte < 0x80 && std::isalnum(byte)) || c == '.' || c == '-' || c == '_' || c == '+';
           });
}

// Versions are not ordered: any reply other than this installer's own offers
// the download. An error page, a cut-off reply or a text that is no version
// is no reply at all.
void CheckVersion() {
    HttpResponse response = HttpGetResponse(SITE_BASE "/Lanternkit/versioninfo.json");
    State().VersionReply = response.body;
    // A zero byte is no character of a version, so the text must be the whole
    // body; a byte-order mark that an editor saved before it is no part of it.
    const ByteArray body = WithoutByteOrderMark(State().VersionReply);
    Text reply = ToText(body);
    Text latest = TrimBlanks(reply);
    if (!IsWholeSuccess(response) || reply.size() != body.size() || !IsVersionText(latest)) {
        ReportNoVersionReply();
        return;
    }
    if (latest == INSTALLER_VERSION) return;
    if (UserWantsNewVersion(latest)) {
        OpenUrl(Text(SITE_BASE "/?page_id=38"));
        EndProgram(0);
    }
}

// taskkill by its full path: one lying beside the installer, in a downloads
// folder say, must never run in its place.
void EndRunningGame() {
    Text systemFolder = SpecialFolder(kSystemFolder);
    if (systemFolder.empty()) return;
    RunCommand("\"" + systemFolder + "taskkill.exe\" /f /im \"Starfold.exe\"", false, kShowHidden);
}

// The announcement is kept in GBK on the site and shown as it comes, cut to
// what a box can show. An error page or a cut-off text is no announcement:
// the box is shown empty, as when nothing came.
void ShowAnnouncement() {
    HttpResponse response = HttpGetResponse(SITE_BASE "/Lanternkit/announcer.txt");
    Text announcement = IsWholeSuccess(response) ? FirstLines(ToText(response.body)) : Text();
    if (MsgBox(announcement, kMsgBoxOkCancelInfo, Text("公告")) == kMsgBoxOk) EndRunningGame();
}

void LoadSourcePage() { SetTextProperty(Control::超文本浏览框1, Property::地址, SITE_BASE "/Lanternkit/SourceInfo.html"); }

}  // namespace

void StartupSequence() {
    SettingsRollback();
    CheckVersion();
    ShowAnnouncement();
    LoadSourcePage();
}
