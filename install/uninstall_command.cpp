#include "install/uninstall_command.h"

#include "model/game_paths.h"
#include "support/dialogs.h"
#include "support/files.h"

void UninstallCommand() {
    // One failure message covers a file never installed and one that cannot be deleted.
    if (RemoveFile(RegionFilePath())) {
        MsgBox("卸载成功。", kMsgBoxWarning, Text("卸载结果："));
    } else {
        MsgBox("卸载失败，请检查权限或未曾安装。", kMsgBoxError, Text("卸载结果："));
    }
}
