#include "install/uninstall_command.h"

#include "model/file_copies.h"
#include "model/game_paths.h"
#include "support/dialogs.h"
#include "support/files.h"

namespace {

const char kResultCaption[] = "卸载结果：";

void ReportNotUninstalled() { MsgBox("卸载失败，请检查权限或未曾安装。", kMsgBoxError, Text(kResultCaption)); }

}  // namespace

// The player's own region file, kept when the install replaced it, comes
// back; without one the file goes. One failure message covers a file never
// installed and one that cannot be deleted or put back.
void UninstallCommand() {
    switch (PutBackKeptCopy(RegionFilePath())) {
        case PutBack::Done: MsgBox("卸载成功，已恢复安装前的社区服列表。", kMsgBoxWarning, Text(kResultCaption)); return;
        case PutBack::Failed: ReportNotUninstalled(); return;
        case PutBack::NoCopy: break;
    }
    if (RemoveFile(RegionFilePath())) {
        MsgBox("卸载成功。", kMsgBoxWarning, Text(kResultCaption));
    } else {
        ReportNotUninstalled();
    }
}
