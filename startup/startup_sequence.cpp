#include "startup/startup_sequence.h"

#include "model/program_state.h"
#include "model/properties.h"
#include "model/shutdown.h"
#include "model/version.h"
#include "startup/settings_rollback.h"
#include "startup/site_replies.h"
#include "support/dialogs.h"
#include "support/files.h"
#include "support/processes.h"
#include "support/site.h"
#include "support/web.h"

namespace {

void ReportNoVersionReply() {
    MsgBox("未能从服务器获得版本信息，请检查网络是否畅通。", kMsgBoxError, Text("网络错误！"));
}

bool UserWantsNewVersion(const Text& latest) {
    Text message = "发现新版本！\r\n当前版本：" INSTALLER_VERSION "\r\n最新版本：" + latest + "\r\n是否前往下载新版本安装器？";
    return MsgBox(message, kMsgBoxYesNoQuestion, Text("发现新版本：")) == kMsgBoxYes;
}

// Versions are not ordered: any reply other than this installer's own offers
// the download. An error page, a cut-off reply or a text that is no version
// is no reply at all.
void CheckVersion() {
    HttpResponse response = HttpGetResponse(SITE_BASE "/Lanternkit/versioninfo.json");
    State().VersionReply = response.body;
    Text latest = VersionIn(response);
    if (latest.empty()) {
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

// An error page or a cut-off text is no announcement: the box is shown empty,
// as when nothing came.
void ShowAnnouncement() {
    Text announcement = AnnouncementIn(HttpGetResponse(SITE_BASE "/Lanternkit/announcer.txt"));
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
