#include "startup/settings_rollback.h"

#include "model/file_copies.h"
#include "model/game_paths.h"
#include "startup/folder_removal.h"
#include "support/dialogs.h"
#include "support/files.h"

namespace {

// Asked at every start: Cancel is the default, so that Enter or a stray key
// never replaces the player's settings.
bool UserWantsOldSettings() {
    return MsgBox("是否需要帮您载入旧版数据配置，\r\n方便您游玩2024.6.18版本以下的模组？",
                  kMsgBoxOkCancelWarning | kMsgBoxSecondButtonDefault, Text("数据版本回退")) == kMsgBoxOk;
}

}  // namespace

// Each place where the game keeps its files is rolled back, its Unity folder with it.
void SettingsRollback() {
    if (!UserWantsOldSettings()) return;
    for (const GamePlace& place : GamePlaces()) {
        // Without the user's folders the paths below would be relative, and
        // the deletion would act on whatever lies beside the installer.
        if (place.root.empty()) continue;
        RemoveFolderByBatch(UnityFolderPath(place.root));
        // The player's own settings are kept as settings.tallow.bak first,
        // then replaced in one step: a write that fails leaves them as they
        // were. No folder is created: without the game's folder the game has
        // never run there, and there is no setting to roll back.
        if (!KeepCopyBeforeReplacing(SettingsFilePath(place.root))) continue;
        WriteFileBytes(SettingsFilePath(place.root), SettingsTemplate());
    }
}
