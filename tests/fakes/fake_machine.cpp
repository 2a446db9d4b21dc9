#include "tests/fakes/fake_machine.h"

#include "model/shutdown.h"
#include "support/direct_calls.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/wine.h"

#include <algorithm>

namespace {

bool IsAbsolute(const Text& path) {
    bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                 path[2] == '\\';
    bool share = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    return drive || share;
}

Text LowerAscii(Text text) {
    // Only bytes outside two-byte characters are folded, as Windows compares names.
    for (size_t i = 0; i < text.size(); i++) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) i++;
        else if (byte >= 'A' && byte <= 'Z') text[i] = static_cast<char>(byte + ('a' - 'A'));
    }
    return text;
}

Text ParentOf(const Text& resolved) {
    size_t slash = resolved.rfind('\\');
    return slash == Text::npos ? Text() : resolved.substr(0, slash);
}

bool IsDriveRoot(const Text& resolved) { return resolved.size() == 2 && resolved[1] == ':'; }

// The machine, with the operation noted in its log.
FakeMachine& Logged(const std::string& line) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back(line);
    if (machine.onOperation) machine.onOperation(line);
    return machine;
}

bool DeleteOne(FakeMachine& machine, const Text& path) {
    Text resolved = FakeMachine::Resolve(path);
    return !resolved.empty() && !machine.undeletable.count(resolved) && machine.files.erase(resolved) > 0;
}

// As Linux follows links, 40 at most.
Text FollowLinks(Text resolved) {
    const std::map<Text, Text>& links = FakeMachine::Get().links;
    for (int followed = 0; followed <= 40; followed++) {
        auto leads = std::find_if(links.begin(), links.end(), [&](const auto& link) {
            return resolved == link.first || resolved.rfind(link.first + "\\", 0) == 0;
        });
        if (leads == links.end()) return resolved;
        resolved = leads->second + resolved.substr(leads->first.size());
    }
    return Text();
}

}  // namespace

FakeMachine& FakeMachine::Get() {
    static FakeMachine machine;
    return machine;
}

void FakeMachine::Reset() {
    *this = FakeMachine();
    specialFolders[8] = kAppData;
    tempPath = kTemp;
    AddFolder(kAppData);
    AddFolder(kTemp);
}

Text FakeMachine::Resolve(const Text& path) {
    if (!IsAbsolute(path)) return Text();
    std::vector<Text> parts;
    for (size_t start = 0, slash; start <= path.size(); start = slash + 1) {
        slash = std::min(path.find('\\', start), path.size());
        Text part = path.substr(start, slash - start);
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(LowerAscii(part));
        }
    }
    Text resolved = path[0] == '\\' ? "\\" : "";
    for (size_t i = 0; i < parts.size(); i++) resolved += (i ? "\\" : "") + parts[i];
    return FollowLinks(resolved);
}

void FakeMachine::AddLink(const Text& link, const Text& target) { links[Resolve(link)] = Resolve(target); }

void FakeMachine::AddFolder(const Text& path) {
    for (Text resolved = Resolve(path); !resolved.empty() && !IsDriveRoot(resolved); resolved = ParentOf(resolved))
        folders.insert(resolved);
}

void FakeMachine::AddFile(const Text& path, const ByteArray& bytes) {
    Text resolved = Resolve(path);
    AddFolder(ParentOf(resolved));
    files[resolved] = bytes;
}

bool FakeMachine::HasFile(const Text& path) const { return files.count(Resolve(path)) > 0; }

bool FakeMachine::HasFolder(const Text& path) const {
    Text resolved = Resolve(path);
    return IsDriveRoot(resolved) || folders.count(resolved) > 0;
}

ByteArray FakeMachine::FileBytes(const Text& path) const {
    auto it = files.find(Resolve(path));
    return it == files.end() ? ByteArray() : it->second;
}

void FakeMachine::RemoveTree(const Text& folder) {
    const Text resolved = Resolve(folder), inside = resolved + "\\";
    folders.erase(resolved);
    for (auto it = files.begin(); it != files.end();)
        it = it->first.rfind(inside, 0) == 0 ? files.erase(it) : std::next(it);
    for (auto it = folders.begin(); it != folders.end();)
        it = it->rfind(inside, 0) == 0 ? folders.erase(it) : std::next(it);
}

HttpResponse FakeMachine::Ok(const Text& body) { return Ok(ToBytes(body)); }

HttpResponse FakeMachine::Ok(const ByteArray& body) { return {body, 200, true}; }

void FakeMachine::RunBatchFile(const Text& path) {
    Text script = ToText(FileBytes(path));
    for (size_t start = 0, end; start < script.size(); start = end + 2) {
        end = std::min(script.find("\r\n", start), script.size());
        Text line = script.substr(start, end - start), expanded;
        // cmd's expansion of "%" inside a batch file.
        for (size_t i = 0; i < line.size(); i++) {
            size_t close = line[i] == '%' ? line.find('%', i + 1) : Text::npos;
            if (line[i] != '%') expanded += line[i];
            if (close == Text::npos) continue;  // a plain byte, or a lone "%", which is dropped
            Text name = line.substr(i + 1, close - i - 1);
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
            auto value = environment.find(name);
            if (name.empty()) expanded += '%';
            else if (value != environment.end()) expanded += value->second;
            i = close;
        }
        // The path inside the quotes behind the command, when the line is that command.
        auto quoted = [&](const Text& command) -> std::optional<Text> {
            if (expanded.size() <= command.size() || expanded.rfind(command, 0) != 0 || expanded.back() != '"')
                return std::nullopt;
            return expanded.substr(command.size(), expanded.size() - command.size() - 1);
        };
        if (auto folder = quoted("Rd /s /q \"")) {
            Text resolved = Resolve(*folder);
            if (resolved.empty() || !HasFolder(resolved)) continue;
            RemoveTree(resolved);
            log.push_back("cmd: Rd " + resolved);
        } else if (auto file = quoted("Del /f /q \"")) {
            files.erase(Resolve(*file));
            log.push_back("cmd: Del " + Resolve(*file));
        }
    }
}

// The support operations, on the fake machine.

int MsgBox(const Text& message, int flags, const std::optional<Text>& caption) {
    FakeMachine& machine = Logged("MsgBox " + caption.value_or("信息："));
    machine.msgBoxes.push_back({message, flags, caption});
    if (machine.msgBoxAnswers.empty()) return kMsgBoxOk;
    int answer = machine.msgBoxAnswers.front();
    machine.msgBoxAnswers.pop_front();
    return answer == FakeMachine::kBoxNotShown ? MsgBoxResultOf(0, flags) : answer;
}

Text SpecialFolder(int code) {
    FakeMachine& machine = FakeMachine::Get();
    auto it = machine.specialFolders.find(code);
    return it == machine.specialFolders.end() ? Text() : it->second;
}

std::optional<Text> LocalLowFolder() { return FakeMachine::Get().localLow; }

Text ShortPath(const Text& path) {
    const FakeMachine& machine = FakeMachine::Get();
    auto found = machine.shortPaths.find(FakeMachine::Resolve(path));
    if (found == machine.shortPaths.end()) return Text();
    return found->second + (TextRight(path, 1) == "\\" ? "\\" : "");
}

std::vector<Text> SubfolderNames(const Text& folder) {
    const FakeMachine& machine = FakeMachine::Get();
    const Text inside = FakeMachine::Resolve(folder) + "\\";
    std::vector<Text> names;
    auto add = [&](const Text& path) {
        if (inside.size() > 1 && path.rfind(inside, 0) == 0 && path.find('\\', inside.size()) == Text::npos)
            names.push_back(path.substr(inside.size()));
    };
    for (const Text& path : machine.folders) add(path);
    for (const auto& link : machine.links)
        if (machine.HasFolder(link.first)) add(link.first);
    return names;
}

std::vector<Text> FileNames(const Text& folder) {
    const Text inside = FakeMachine::Resolve(folder) + "\\";
    std::vector<Text> names;
    for (const auto& file : FakeMachine::Get().files)
        if (inside.size() > 1 && file.first.rfind(inside, 0) == 0 && file.first.find('\\', inside.size()) == Text::npos)
            names.push_back(file.first.substr(inside.size()));
    return names;
}

std::optional<FolderId> FileSystemIdOf(const Text& folder) {
    const FakeMachine& machine = FakeMachine::Get();
    Text resolved = FakeMachine::Resolve(folder);
    if (resolved.empty() || !machine.HasFolder(resolved)) return std::nullopt;
    auto shared = machine.fileSystemIds.find(resolved);
    return shared != machine.fileSystemIds.end() ? shared->second : FolderId{0, std::hash<Text>()(resolved)};
}

// Wine names a folder off the Z: drive through its prefix's dosdevices links.
Text CanonicalUnixFolderPath(const Text& folder) {
    Text resolved = FakeMachine::Resolve(folder);
    if (!RunsUnderWine() || resolved.empty() || !FakeMachine::Get().HasFolder(resolved)) return Text();
    Text unixPath = ReplaceSubtext(resolved.substr(2), "\\", Text("/"), LeftOut, LeftOut, true);
    return resolved[0] == 'z' ? unixPath : "/prefix/dosdevices/" + resolved.substr(0, 2) + unixPath;
}

Text EnvironmentVariable(const Text& name) {
    Text upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return std::toupper(c); });
    auto value = FakeMachine::Get().environment.find(upper);
    return value == FakeMachine::Get().environment.end() ? Text() : value->second;
}

bool RunsUnderWine() { return FakeMachine::Get().underWine; }

Text UnixHomeFolder() { return RunsUnderWine() ? FakeMachine::Get().unixHome : Text(); }

Text DosPathFromUnix(const Text& unixPath) {
    if (!RunsUnderWine() || unixPath.rfind("/", 0) != 0) return Text();
    return "Z:" + ReplaceSubtext(unixPath, "/", Text("\\"), LeftOut, LeftOut, true);
}

bool ToConsoleBytes(const Text& text, ByteArray* bytes) {
    bytes->clear();
    for (const Text& lacking : FakeMachine::Get().consoleLacks)
        if (text.find(lacking) != Text::npos) return false;
    *bytes = ToBytes(text);
    return true;
}

ByteArray ReadFileBytes(const Text& path, bool* readWhole) {
    FakeMachine& machine = Logged("ReadFileBytes " + path);
    bool readable = machine.HasFile(path) && !machine.unreadable.count(FakeMachine::Resolve(path));
    if (readWhole) *readWhole = readable;
    return readable ? machine.FileBytes(path) : ByteArray();
}

bool WriteFileBytes(const Text& path, std::initializer_list<ByteArray> parts) {
    FakeMachine& machine = Logged("WriteFileBytes " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.unwritable.count(resolved) || machine.folders.count(resolved) ||
        !machine.HasFolder(ParentOf(resolved)))
        return false;
    ByteArray& file = machine.files[resolved] = {};
    for (const ByteArray& part : parts) file.insert(file.end(), part.begin(), part.end());
    return true;
}

bool FileExists(const Text& path) {
    FakeMachine& machine = Logged("FileExists " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || (!path.empty() && path.back() == '\\')) return false;  // as FindFirstFile
    return machine.files.count(resolved) || machine.folders.count(resolved);
}

bool CreateFolder(const Text& path) {
    FakeMachine& machine = Logged("CreateFolder " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.HasFolder(resolved) || machine.files.count(resolved) ||
        !machine.HasFolder(ParentOf(resolved)))
        return false;
    machine.folders.insert(resolved);
    return true;
}

bool RemoveFile(const Text& path) { return DeleteOne(Logged("RemoveFile " + path), path); }

bool RunCommand(const Text& commandLine, std::optional<bool> waitForExit, std::optional<int> showMode) {
    FakeMachine& machine = Logged("RunCommand " + commandLine);
    machine.commands.push_back({commandLine, waitForExit, showMode});
    return machine.onRunCommand ? machine.onRunCommand(machine.commands.back()) : true;
}

void OpenUrl(const std::optional<Text>& address) {
    Logged("OpenUrl " + address.value_or("")).openedUrls.push_back(address.value_or(""));
}

HttpResponse HttpGetResponse(const Text& address) {
    if (address.empty()) return HttpResponse();
    FakeMachine& machine = Logged("HttpGet " + address);
    machine.requests.push_back(address);
    auto it = machine.web.find(address);
    return it == machine.web.end() ? HttpResponse() : it->second;
}

unsigned CallGetTempPath(unsigned bufferLength, ByteArray& buffer) {
    FakeMachine& machine = Logged("GetTempPath");
    const Text& path = machine.tempPath;
    if (machine.tempPathCallFails) return 0;
    size_t needed = path.size() + 1;
    if (needed > bufferLength || needed > buffer.size()) return static_cast<unsigned>(needed);
    std::copy(path.c_str(), path.c_str() + needed, buffer.begin());  // with its terminating zero byte
    return static_cast<unsigned>(path.size());
}

void EndProgram(int exitCode) {
    Logged("EndProgram " + std::to_string(exitCode));
    throw ProgramEnded{exitCode};
}
