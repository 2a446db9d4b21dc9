#include "install/uninstall_command.h"

#include "model/file_copies.h"
#include "model/game_paths.h"
#include "support/dialogs.h"
#include "support/files.h"

#include <vector>

namespace {

const char kResultCaption[] = "卸载结果：";
const char kNotUninstalled[] = "卸载失败，请检查权限或未曾安装。";

enum class Undone { PutBack, Deleted, Failed };

// The player's own region file, kept when the install replaced it, comes
// back; without one the file goes.
Undone UninstallAt(const Text& root) {
    switch (PutBackKeptCopy(RegionFilePath(root))) {
        case PutBack::Done: return Undone::PutBack;
        case PutBack::Failed: return Undone::Failed;
        case PutBack::NoCopy: break;
    }
    return RemoveFile(RegionFilePath(root)) ? Undone::Deleted : Undone::Failed;
}

// One place, the user's own: one line. One failure message covers a file
// never installed and one that cannot be deleted or put back.
void ReportOne(Undone undone) {
    switch (undone) {
        case Undone::PutBack: MsgBox("卸载成功，已恢复安装前的社区服列表。", kMsgBoxWarning, Text(kResultCaption)); return;
        case Undone::Deleted: MsgBox("卸载成功。", kMsgBoxWarning, Text(kResultCaption)); return;
        case Undone::Failed: MsgBox(kNotUninstalled, kMsgBoxError, Text(kResultCaption)); return;
    }
}

}  // namespace

// Every place where the game keeps its files is undone; where the game has
// run in Proton prefixes, the report says what became of each.
void UninstallCommand() {
    const std::vector<GamePlace> places = GamePlaces();
    if (!HasProtonPrefix(places)) return ReportOne(UninstallAt(places[0].root));
    Text lines;
    bool allUndone = true;
    for (const GamePlace& place : places) {
        Undone undone = UninstallAt(place.root);
        allUndone = allUndone && undone != Undone::Failed;
        lines += "\r\n" + PlaceName(place) + "：" +
                 (undone == Undone::PutBack ? "已恢复安装前的社区服列表。" : undone == Undone::Deleted ? "已卸载。" : "失败。");
    }
    MsgBox(Text(allUndone ? "卸载成功。" : kNotUninstalled) + "\r\n" + lines, allUndone ? kMsgBoxWarning : kMsgBoxError,
           Text(kResultCaption));
}
