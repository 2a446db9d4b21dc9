#include "install/uninstall_command.h"

#include "install/region_file.h"
#include "model/game_paths.h"
#include "support/dialogs.h"

#include <algorithm>
#include <vector>

namespace {

const char kResultCaption[] = "卸载结果：";
const char kNotUninstalled[] = "卸载失败，请检查权限或未曾安装。";
const char kNothingInstalled[] = "未曾安装社区服列表，无需卸载。";

// One place, the user's own: one line. One failure message covers a file
// that cannot be deleted or put back.
void ReportOne(Undone undone) {
    switch (undone) {
        case Undone::PutBack: MsgBox("卸载成功，已恢复安装前的社区服列表。", kMsgBoxWarning, Text(kResultCaption)); return;
        case Undone::Deleted: MsgBox("卸载成功。", kMsgBoxWarning, Text(kResultCaption)); return;
        case Undone::NotInstalled: MsgBox(kNothingInstalled, kMsgBoxWarning, Text(kResultCaption)); return;
        case Undone::Failed: MsgBox(kNotUninstalled, kMsgBoxError, Text(kResultCaption)); return;
    }
}

const char* LineOf(Undone undone) {
    switch (undone) {
        case Undone::PutBack: return "已恢复安装前的社区服列表。";
        case Undone::Deleted: return "已卸载。";
        case Undone::NotInstalled: return "未曾安装。";
        case Undone::Failed: break;
    }
    return "失败。";
}

}  // namespace

// Every place where the game keeps its files is undone as its record says;
// where the game has run in Proton prefixes, the report says what became of
// each.
void UninstallCommand() {
    const std::vector<GamePlace> places = GamePlaces();
    if (!HasProtonPrefix(places)) return ReportOne(UninstallAt(places[0].root));
    std::vector<Undone> undone;
    Text lines;
    for (const GamePlace& place : places) {
        undone.push_back(UninstallAt(place.root));
        lines += "\r\n" + PlaceName(place) + "：" + LineOf(undone.back());
    }
    auto any = [&](Undone outcome) { return std::count(undone.begin(), undone.end(), outcome) > 0; };
    const bool failed = any(Undone::Failed);
    const char* heading = failed ? kNotUninstalled : any(Undone::PutBack) || any(Undone::Deleted) ? "卸载成功。" : kNothingInstalled;
    MsgBox(Text(heading) + "\r\n" + lines, failed ? kMsgBoxError : kMsgBoxWarning, Text(kResultCaption));
}
