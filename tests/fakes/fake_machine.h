// An in-memory machine behind the support operations, for host tests of the
// handlers: a file system with Windows path rules, scripted web responses and
// message-box answers, and a record of every call in order.
#pragma once

#include "support/dialogs.h"
#include "support/processes.h"
#include "support/web.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct MsgBoxCall {
    Text message;
    int flags = 0;
    std::optional<Text> caption;
};

struct RunCommandCall {
    Text commandLine;
    std::optional<bool> waitForExit;
    std::optional<int> showMode;
};

// Thrown by the fake EndProgram, so that a test sees the handler stop there.
struct ProgramEnded {
    int exitCode;
};

class FakeMachine {
public:
    static constexpr const char* kAppData = "C:\\users\\玩家\\AppData\\Roaming\\";
    static constexpr const char* kTemp = "C:\\users\\玩家\\Temp\\";

    static FakeMachine& Get();

    // An empty machine: the drive C: with the roaming and the temporary
    // folder, no web resources, every message box answered with OK.
    void Reset();

    // Files and folders. Paths are resolved as Windows does: "." and ".."
    // components, one trailing backslash and ASCII case do not matter.
    void AddFolder(const Text& path);  // with every missing parent
    void AddFile(const Text& path, const ByteArray& bytes);  // with every missing parent folder
    bool HasFile(const Text& path) const;
    bool HasFolder(const Text& path) const;
    ByteArray FileBytes(const Text& path) const;
    void RemoveTree(const Text& folder);  // the folder with everything in it
    std::set<Text> unwritable;   // paths whose writes fail
    std::set<Text> unreadable;   // paths whose reads give nothing
    std::set<Text> undeletable;  // paths whose deletion fails
    // A link stands for the folder it leads to, under another name and with
    // its identity; one that leads back to itself leads nowhere.
    void AddLink(const Text& link, const Text& target);
    std::map<Text, Text> links;  // resolved paths

    // Wine: whether it runs the program, and the Unix home it names (a DOS
    // path ending in a backslash). Unix paths lie on Z:, as Wine maps the root.
    bool underWine = false;
    Text unixHome;

    // Runs a batch file of the fake file system as cmd would run the lines
    // "Rd /s /q "folder"" and "Del /f /q "file"", after cmd's expansion of
    // "%" (a "%%" gives "%", "%NAME%" the variable's value or nothing).
    void RunBatchFile(const Text& path);
    std::map<Text, Text> environment;  // the program's variables, which cmd expands; upper-case names

    // Dialogs: every box shown, and the answers to give, first to last; OK
    // once the queue is empty. kBoxNotShown stands for a box that Windows
    // could not show.
    std::vector<MsgBoxCall> msgBoxes;
    std::deque<int> msgBoxAnswers;
    static constexpr int kBoxNotShown = -1;

    // Folders that SpecialFolder gives, by code (8: kAppData), and the
    // LocalLow folder that Windows names (none at first; the empty text for
    // one that the program cannot name).
    std::map<int, Text> specialFolders;
    std::optional<Text> localLow;

    // The web: a response per address, and every address requested.
    std::map<Text, HttpResponse> web;
    std::vector<Text> requests;
    static HttpResponse Ok(const Text& body);  // status 200, complete
    static HttpResponse Ok(const ByteArray& body);

    // Processes: every command line started; the hook decides what the
    // process does and whether it started (true when there is none).
    std::vector<RunCommandCall> commands;
    std::function<bool(const RunCommandCall&)> onRunCommand;
    std::vector<Text> openedUrls;

    // The console's code page: GBK, but for the texts named here, which it
    // lacks; and the short forms of paths, by resolved path.
    std::set<Text> consoleLacks;
    std::map<Text, Text> shortPaths;

    // The temporary folder that the direct GetTempPath call gives, and whether
    // the call fails.
    Text tempPath;
    bool tempPathCallFails = false;

    // Every operation in the order it happened, one line each, such as
    // "MsgBox 错误！", "HttpGet <address>", "WriteFileBytes <path>", and the fake window's writes, such as "Set 按钮1 禁止 true".
    std::vector<std::string> log;
    // Called with each line as it is logged, before the operation acts: what
    // another program does meanwhile (Voxbridge saving during a download), or
    // the program ending inside a write's wait.
    std::function<void(const std::string& line)> onOperation;

    // The resolved form of a path, as the fake file system keys it, links
    // followed; the empty text for a relative path or a link loop.
    static Text Resolve(const Text& path);

    std::set<Text> folders;
    std::map<Text, ByteArray> files;
};
