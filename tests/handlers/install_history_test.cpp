// What a player relies on over any sequence of runs: installs (some failing at
// some places, some refused), uninstalls, the game saving and rewriting the
// list, the player deleting files, Voxbridge saving, the game appearing in a
// new Proton prefix, and crashes anywhere. A model of the player's own file
// at each place runs beside the fake machine; after every step the player's
// newest own file is in place or in the copy, an uninstall leaves each place
// as before the first install, and every box says what was done where.
#include "install/install_command.h"
#include "install/uninstall_command.h"
#include "model/game_paths.h"
#include "model/program_state.h"
#include "support/site.h"
#include "tests/fakes/fake_machine.h"
#include "tests/fakes/fake_window.h"

#include <gtest/gtest.h>
#include <rapidcheck.h>
#include <rapidcheck/gtest.h>
#include <rapidcheck/state.h>

#include <array>
#include <ostream>

namespace {

constexpr int kMostPlaces = 3;
const Text kHome = "Z:\\home\\deck\\";
const Text kSteamUnix = "/home/deck/.local/share/Steam";
const Text kListUrl = SITE_BASE "/Lanternkit/serverlist.json";
const Text kConfigPath = Text(FakeMachine::kAppData) + "voxbridge\\config.json";
const Text kAddress = "https://voice.example";

enum class Installed { No, Yes, Unknown };  // Unknown: a crash cut the command off there

struct Place {
    bool gameRan = false;     // the game's folder is there
    std::optional<int> own;   // the player's newest own region file; none when there is none
    Installed installed = Installed::No;
    bool listThere = true;    // while installed: the player has not deleted the region file
};

struct Model {
    int places = 1;  // how many places the game may appear in
    std::array<Place, kMostPlaces> at;
    int voxbridgeSaves = 0;
    bool voxbridgeAtCommunity = false;  // Voxbridge's serverURL is the community's
};

struct Machine {};
using Command = rc::state::Command<Model, Machine>;

Text RootOf(int place) {
    if (place == 0) return Text(FakeMachine::kAppData) + "..\\LocalLow\\";
    return kHome + ".local\\share\\Steam\\steamapps\\compatdata\\" + std::to_string(place * 100) +
           "\\pfx\\drive_c\\users\\steamuser\\AppData\\LocalLow\\";
}
Text NameOf(int place) {
    return place == 0 ? RootOf(0) : kSteamUnix + "/steamapps/compatdata/" + std::to_string(place * 100) + "/pfx";
}
ByteArray OwnFile(int content) { return ToBytes("{\"CurrentRegionIdx\":" + std::to_string(content) + ",\"Regions\":[]}"); }
Text ListOf(int list) { return "{\"Regions\":[{\"Name\":\"list " + std::to_string(list) + "\"}]}"; }
Text ConfigOf(int saves, const Text& address) {
    return "{\"volume\": " + std::to_string(saves) + ", \"serverURL\": \"" + address + "\", \"push\": true}";
}

FakeMachine& Fake() { return FakeMachine::Get(); }
std::optional<int> MaybeOwnFile() {
    return *rc::gen::arbitrary<bool>() ? std::optional(*rc::gen::inRange(1, 1000)) : std::nullopt;
}
bool Has(const Text& path) { return Fake().HasFile(path); }
ByteArray Bytes(const Text& path) { return Fake().FileBytes(path); }

std::vector<int> PlacesWhereTheGameRan(const Model& model) {
    std::vector<int> places;
    for (int place = 0; place < model.places; place++)
        if (place == 0 || model.at[place].gameRan) places.push_back(place);
    return places;
}

// The invariants at every place, after every step.
void CheckEveryPlace(const Model& model) {
    for (int place : PlacesWhereTheGameRan(model)) {
        const Place& expected = model.at[place];
        const Text region = RegionFilePath(RootOf(place)), copy = RegionCopyPath(RootOf(place));
        const std::optional<ByteArray> own = expected.own ? std::optional(OwnFile(*expected.own)) : std::nullopt;
        if (expected.installed == Installed::No) {
            RC_ASSERT(Has(region) == own.has_value());
            if (own) RC_ASSERT(Bytes(region) == *own);
            RC_ASSERT(!Has(copy));
            RC_ASSERT(!Has(InstallRecordPath(RootOf(place))));
        } else if (expected.installed == Installed::Yes) {
            RC_ASSERT(Has(copy) == own.has_value());
            if (own) RC_ASSERT(Bytes(copy) == *own);
        } else if (own) {
            RC_ASSERT(Bytes(region) == *own || Bytes(copy) == *own);
        }
    }
}

// The box of the command, whole, where every place's outcome is known.
void CheckBox(const Model& before, const Text& expected) {
    for (int place : PlacesWhereTheGameRan(before))
        if (before.at[place].installed == Installed::Unknown) return;
    RC_ASSERT(Fake().msgBoxes.size() == 1u);
    RC_ASSERT(Fake().msgBoxes[0].message == expected);
}

Text NamedPlaces(const Text& heading, const std::vector<int>& places, bool named) {
    if (!named || places.empty()) return Text();
    Text lines = "\r\n\r\n" + heading;
    for (int place : places) lines += "\r\n" + NameOf(place);
    return lines;
}

// One file at some places is held by another program during the command:
// it can be neither read, written nor deleted.
struct Failing {
    int places = 0;  // a mask of places
    int file = 0;    // 0 the region file, 1 the copy, 2 the record
    Text PathAt(int place) const {
        const Text root = RootOf(place);
        return file == 0 ? RegionFilePath(root) : file == 1 ? RegionCopyPath(root) : InstallRecordPath(root);
    }
    bool At(int place) const { return (places >> place) & 1; }
    void Block(bool blocked) const {
        for (int place = 0; place < kMostPlaces; place++) {
            if (!At(place)) continue;
            Text resolved = FakeMachine::Resolve(PathAt(place));
            for (auto set : {&Fake().unwritable, &Fake().undeletable, &Fake().unreadable})
                blocked ? (void)set->insert(resolved) : (void)set->erase(resolved);
        }
    }
};

Text VoxbridgeConfig(const Model& model) {
    return ConfigOf(model.voxbridgeSaves, model.voxbridgeAtCommunity ? kAddress : "wss://own");
}

// A new run of the program: a fresh state and window, as after a crash.
void RunAnew(void (*command)(), bool voiceChat = false) {
    State() = ProgramState();
    FakeWindow::Get().Reset();
    FakeWindow::Get()[Control::选择框1].selected = voiceChat;
    Fake().msgBoxes.clear();
    command();
}

struct Install : Command {
    int list = *rc::gen::element(0, 1, 2);  // 2: a list that is refused
    bool voiceChat = *rc::gen::arbitrary<bool>();
    bool voxbridgeSaves = *rc::gen::arbitrary<bool>();
    Failing failing{*rc::gen::element(0, 1, 2, 3, 4, 5, 6, 7), *rc::gen::element(0, 1, 2)};

    // The record and the region file must be written; the copy only over
    // the player's own file. Any of them failing leaves the place as it was.
    bool Takes(const Model& model, int place) const {
        const Place& at = model.at[place];
        return !failing.At(place) || (failing.file == 1 && (at.installed == Installed::Yes || !at.own));
    }
    void checkPreconditions(const Model& model) const override {
        for (int place : PlacesWhereTheGameRan(model)) RC_PRE(!voiceChat || model.at[place].installed != Installed::Unknown);
    }
    void apply(Model& model) const override {
        model.voxbridgeSaves += voxbridgeSaves;
        if (list == 2) return;
        bool taken = false;
        for (int place : PlacesWhereTheGameRan(model)) {
            if (!Takes(model, place)) continue;
            model.at[place].installed = Installed::Yes;
            model.at[place].listThere = taken = true;
        }
        model.voxbridgeAtCommunity = model.voxbridgeAtCommunity || (voiceChat && taken);
    }
    void run(const Model& before, Machine&) const override {
        Model after = before;
        apply(after);
        Fake().web[kListUrl] = FakeMachine::Ok(list == 2 ? Text("<html>") : ListOf(list));
        Fake().onOperation = [this, &before](const std::string& line) {
            Model saved = before;
            saved.voxbridgeSaves++;
            if (voxbridgeSaves && line == "HttpGet " + kListUrl) Fake().AddFile(kConfigPath, ToBytes(VoxbridgeConfig(saved)));
        };
        failing.Block(true);
        RunAnew(InstallCommand, voiceChat);
        failing.Block(false);
        Fake().onOperation = nullptr;
        CheckEveryPlace(after);

        std::vector<int> written, failed;
        for (int place : PlacesWhereTheGameRan(before)) (Takes(before, place) ? written : failed).push_back(place);
        const bool named = PlacesWhereTheGameRan(before).size() > 1, voice = voiceChat && !written.empty();
        RC_ASSERT(ToText(Bytes(kConfigPath)) == VoxbridgeConfig(after));
        if (list == 2) return CheckBox(before, "安装源返回的内容不是有效的社区服列表，请检查安装源是否正确。");
        const Text address = voice ? "\r\n\r\nVoxbridge服务器地址已更改为：" + kAddress : Text();
        if (!failed.empty())
            return CheckBox(before, "安装失败，请重试。若再次失败请检查文件权限或寻求帮助！" + NamedPlaces("未能写入：", failed, named) +
                                        NamedPlaces("已写入：", written, named) + address);
        CheckBox(before, "安装成功!" + NamedPlaces("已写入：", written, named) + address +
                             "\r\n\r\n安装内容（中文可能会变成乱码，正常现象）:\r\n\r\n" + ListOf(list));
    }
    void show(std::ostream& os) const override {
        os << "Install(list " << list << (voiceChat ? ", Voxbridge" : "") << (voxbridgeSaves ? " saving" : "")
           << ", failing file " << failing.file << " at places " << failing.places << ")";
    }
};

struct Uninstall : Command {
    Failing failing{*rc::gen::element(0, 0, 1, 2, 4), 0};

    // A region file that can be neither written nor deleted fails where there
    // is one to put the player's file over or to delete.
    bool Fails(const Place& at, int place) const {
        if (!failing.At(place) || at.installed == Installed::No) return false;
        return at.installed == Installed::Unknown || at.own || at.listThere;
    }
    void apply(Model& model) const override {
        for (int place : PlacesWhereTheGameRan(model))
            if (!Fails(model.at[place], place)) model.at[place].installed = Installed::No;
    }
    void run(const Model& before, Machine&) const override {
        Model after = before;
        apply(after);
        failing.Block(true);
        RunAnew(UninstallCommand);
        failing.Block(false);
        CheckEveryPlace(after);

        const std::vector<int> places = PlacesWhereTheGameRan(before);
        Text lines;
        bool anyFailed = false, anyUndone = false;
        for (int place : places) {
            const Place& at = before.at[place];
            const bool installed = at.installed == Installed::Yes;
            const bool failed = Fails(at, place);
            anyFailed = anyFailed || failed;
            anyUndone = anyUndone || (installed && !failed);
            lines += "\r\n" + NameOf(place) + "：" +
                     (failed ? "失败。" : !installed ? "未曾安装。" : at.own ? "已恢复安装前的社区服列表。" : "已卸载。");
        }
        if (places.size() > 1) {
            const Text heading = anyFailed ? "卸载失败，请检查权限或未曾安装。" : anyUndone ? "卸载成功。" : "未曾安装社区服列表，无需卸载。";
            return CheckBox(before, heading + "\r\n" + lines);
        }
        const Place& own = before.at[0];
        CheckBox(before, anyFailed                           ? "卸载失败，请检查权限或未曾安装。"
                         : own.installed == Installed::No ? "未曾安装社区服列表，无需卸载。"
                         : own.own                        ? "卸载成功，已恢复安装前的社区服列表。"
                                                          : "卸载成功。");
    }
    void show(std::ostream& os) const override { os << "Uninstall(failing at places " << failing.places << ")"; }
};

// The game saves its region file: the player's own, or, while the list is
// installed, the list with the player's region choice in it.
struct GameSaves : Command {
    int place = *rc::gen::element(0, 1, 2);
    int content = *rc::gen::inRange(1, 1000);

    void checkPreconditions(const Model& model) const override {
        RC_PRE(place < model.places && (place == 0 || model.at[place].gameRan));
        RC_PRE(model.at[place].installed != Installed::Unknown);
    }
    void apply(Model& model) const override {
        if (model.at[place].installed == Installed::No) model.at[place].own = content;
        model.at[place].listThere = true;
    }
    void run(const Model& before, Machine&) const override {
        const bool ours = before.at[place].installed == Installed::Yes;
        Fake().AddFile(RegionFilePath(RootOf(place)), ours ? ToBytes(ListOf(content)) : OwnFile(content));
    }
    void show(std::ostream& os) const override { os << "GameSaves(place " << place << ", " << content << ")"; }
};

// The player deletes the region file, or the copy kept of it.
struct PlayerDeletes : Command {
    int place = *rc::gen::element(0, 1, 2);
    bool copy = *rc::gen::arbitrary<bool>();

    void checkPreconditions(const Model& model) const override {
        RC_PRE(place < model.places && (place == 0 || model.at[place].gameRan));
        RC_PRE(model.at[place].installed != Installed::Unknown);
    }
    void apply(Model& model) const override {
        if (copy == (model.at[place].installed == Installed::Yes)) model.at[place].own.reset();
        if (!copy) model.at[place].listThere = false;
    }
    void run(const Model&, Machine&) const override {
        const Text root = RootOf(place);
        Fake().files.erase(FakeMachine::Resolve(copy ? RegionCopyPath(root) : RegionFilePath(root)));
    }
    void show(std::ostream& os) const override { os << "PlayerDeletes(place " << place << (copy ? ", the copy)" : ")"); }
};

// The game runs for the first time in another Proton prefix.
struct GameAppears : Command {
    int place = *rc::gen::element(1, 2);
    std::optional<int> own = MaybeOwnFile();

    void checkPreconditions(const Model& model) const override { RC_PRE(place < model.places && !model.at[place].gameRan); }
    void apply(Model& model) const override { model.at[place] = {true, own, Installed::No, true}; }
    void run(const Model&, Machine&) const override {
        Fake().AddFolder(GameFolderPath(RootOf(place)));
        if (own) Fake().AddFile(RegionFilePath(RootOf(place)), OwnFile(*own));
    }
    void show(std::ostream& os) const override { os << "GameAppears(place " << place << (own ? ", own file)" : ")"); }
};

// The program dies at some change of a file inside an install or an
// uninstall, with nothing set right; the next run reads what it left.
struct Crash : Command {
    bool duringInstall = *rc::gen::arbitrary<bool>();
    int atChange = *rc::gen::element(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12);

    // Where the command may have stopped halfway: over nothing of ours, or
    // over a list the player had deleted, an install; over the list, an uninstall.
    void apply(Model& model) const override {
        for (int place : PlacesWhereTheGameRan(model)) {
            Place& at = model.at[place];
            const bool halfway = duringInstall ? at.installed == Installed::No || !at.listThere : at.installed == Installed::Yes;
            if (halfway) at.installed = Installed::Unknown;
        }
    }
    void run(const Model& before, Machine&) const override {
        struct Crashed {};
        int changes = 0;
        Fake().web[kListUrl] = FakeMachine::Ok(ListOf(0));
        Fake().onOperation = [&](const std::string& line) {
            for (const char* change : {"WriteFileBytes ", "RemoveFile ", "CreateFolder "})
                if (line.rfind(change, 0) == 0 && ++changes == atChange) throw Crashed();
        };
        try {
            RunAnew(duringInstall ? InstallCommand : UninstallCommand);
        } catch (const Crashed&) {
        }
        Fake().onOperation = nullptr;
        Model after = before;
        apply(after);
        CheckEveryPlace(after);
    }
    void show(std::ostream& os) const override {
        os << "Crash(in the " << (duringInstall ? "install" : "uninstall") << ", at change " << atChange << ")";
    }
};

// Choices among a few are drawn with gen::element, evenly at every size:
// gen::inRange draws from the low end of its range while the size is small.
RC_GTEST_PROP(InstallHistory, ThePlayersFileIsNeverLostAndEveryBoxSaysWhatWasDone, ()) {
    Model model;
    model.places = *rc::gen::element(1, 2, 3);
    model.at[0].own = MaybeOwnFile();
    FakeMachine& machine = Fake();
    machine.Reset();
    machine.underWine = true;
    machine.unixHome = kHome;
    machine.AddFolder(kHome + ".local\\share\\Steam\\steamapps");
    machine.AddFolder(GameFolderPath(RootOf(0)));
    if (model.at[0].own) machine.AddFile(RegionFilePath(RootOf(0)), OwnFile(*model.at[0].own));
    machine.AddFile(kConfigPath, ToBytes(ConfigOf(0, "wss://own")));
    machine.web[SITE_BASE "/Lanternkit/bcl.ini"] = FakeMachine::Ok(kAddress);
    Machine sut;
    rc::state::check(model, sut,
                     rc::state::gen::execOneOfWithArgs<Install, Uninstall, GameSaves, PlayerDeletes, GameAppears, Crash>());
}

}  // namespace
