#include "tests/fakes/fake_machine.h"

#include "app/shutdown.h"
#include "support/direct_calls.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/runtime_error.h"

#include <algorithm>
#include <cstring>

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
        if (byte >= 0x80) {
            i++;
        } else if (byte >= 'A' && byte <= 'Z') {
            text[i] = static_cast<char>(byte + ('a' - 'A'));
        }
    }
    return text;
}

Text ParentOf(const Text& resolved) {
    size_t slash = resolved.rfind('\\');
    return slash == Text::npos ? Text() : resolved.substr(0, slash);
}

bool IsDriveRoot(const Text& resolved) { return resolved.size() == 2 && resolved[1] == ':'; }

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
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('\\', start);
        if (slash == Text::npos) slash = path.size();
        Text part = path.substr(start, slash - start);
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(LowerAscii(part));
        }
        start = slash + 1;
    }
    Text resolved = path[0] == '\\' ? "\\" : "";
    for (size_t i = 0; i < parts.size(); i++) resolved += (i ? "\\" : "") + parts[i];
    return resolved;
}

void FakeMachine::AddFolder(const Text& path) {
    Text resolved = Resolve(path);
    while (!resolved.empty() && !IsDriveRoot(resolved)) {
        folders.insert(resolved);
        resolved = ParentOf(resolved);
    }
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

std::vector<Text> FakeMachine::FilesUnder(const Text& folder) const {
    Text prefix = Resolve(folder) + "\\";
    std::vector<Text> found;
    for (const auto& [path, bytes] : files) {
        if (path.compare(0, prefix.size(), prefix) == 0) found.push_back(path);
    }
    return found;
}

HttpResponse FakeMachine::Ok(const Text& body) { return Ok(ToBytes(body)); }

HttpResponse FakeMachine::Ok(const ByteArray& body) {
    HttpResponse response;
    response.body = body;
    response.status = 200;
    response.complete = true;
    return response;
}

void FakeMachine::RunBatchFile(const Text& path) {
    Text script = ToText(FileBytes(path));
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find("\r\n", start);
        if (end == Text::npos) end = script.size();
        Text line = script.substr(start, end - start);
        start = end + 2;

        // cmd's expansion of "%" inside a batch file.
        Text expanded;
        for (size_t i = 0; i < line.size(); i++) {
            if (line[i] != '%') {
                expanded += line[i];
                continue;
            }
            if (i + 1 < line.size() && line[i + 1] == '%') {
                expanded += '%';
                i++;
                continue;
            }
            size_t close = line.find('%', i + 1);
            if (close == Text::npos) continue;  // a lone "%" is dropped
            Text name = line.substr(i + 1, close - i - 1);
            std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
            auto value = environment.find(name);
            if (value != environment.end()) expanded += value->second;
            i = close;
        }

        auto quoted = [&](const char* command) -> std::optional<Text> {
            size_t n = std::strlen(command);
            if (expanded.compare(0, n, command) != 0 || expanded.size() < n + 2 || expanded[n] != '"' ||
                expanded.back() != '"')
                return std::nullopt;
            return expanded.substr(n + 1, expanded.size() - n - 2);
        };
        if (auto folder = quoted("Rd /s /q ")) {
            Text resolved = Resolve(*folder);
            if (resolved.empty() || !HasFolder(resolved)) continue;
            for (const Text& file : FilesUnder(resolved)) files.erase(file);
            for (auto it = folders.begin(); it != folders.end();) {
                bool inside = *it == resolved || it->compare(0, resolved.size() + 1, resolved + "\\") == 0;
                it = inside ? folders.erase(it) : std::next(it);
            }
            log.push_back("cmd: Rd " + resolved);
        } else if (auto file = quoted("Del /f /q ")) {
            files.erase(Resolve(*file));
            log.push_back("cmd: Del " + Resolve(*file));
        }
    }
}

// The support operations, on the fake machine.

int MsgBox(const Text& message, int flags, const std::optional<Text>& caption) {
    FakeMachine& machine = FakeMachine::Get();
    machine.msgBoxes.push_back({message, flags, caption});
    machine.log.push_back("MsgBox " + caption.value_or("信息："));
    if (machine.msgBoxAnswers.empty()) return kMsgBoxOk;
    int answer = machine.msgBoxAnswers.front();
    machine.msgBoxAnswers.pop_front();
    return answer;
}

Text SpecialFolder(int code) {
    FakeMachine& machine = FakeMachine::Get();
    auto it = machine.specialFolders.find(code);
    return it == machine.specialFolders.end() ? Text() : it->second;
}

Text LocalLowFolder() { return FakeMachine::Get().localLow; }

Text ShortPath(const Text& path) {
    const FakeMachine& machine = FakeMachine::Get();
    auto found = machine.shortPaths.find(FakeMachine::Resolve(path));
    if (found == machine.shortPaths.end()) return Text();
    return found->second + (TextRight(path, 1) == "\\" ? "\\" : "");
}

bool ToConsoleBytes(const Text& text, ByteArray* bytes) {
    bytes->clear();
    for (const Text& lacking : FakeMachine::Get().consoleLacks)
        if (text.find(lacking) != Text::npos) return false;
    *bytes = ToBytes(text);
    return true;
}

ByteArray ReadFileBytes(const Text& path, bool* readWhole) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("ReadFileBytes " + path);
    Text resolved = FakeMachine::Resolve(path);
    bool readable = machine.HasFile(path) && !machine.unreadable.count(resolved);
    if (readWhole) *readWhole = readable;
    return readable ? machine.FileBytes(path) : ByteArray();
}

bool WriteFileBytes(const Text& path, std::initializer_list<ByteArray> parts) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("WriteFileBytes " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.unwritable.count(resolved) || machine.folders.count(resolved) ||
        !machine.HasFolder(ParentOf(resolved)))
        return false;
    ByteArray joined;
    for (const ByteArray& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    machine.files[resolved] = joined;
    return true;
}

bool FileExists(const Text& path) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("FileExists " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || (!path.empty() && path.back() == '\\')) return false;  // as FindFirstFile
    return machine.files.count(resolved) || machine.folders.count(resolved);
}

bool CreateFolder(const Text& path) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("CreateFolder " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.HasFolder(resolved) || machine.files.count(resolved) ||
        !machine.HasFolder(ParentOf(resolved)))
        return false;
    machine.folders.insert(resolved);
    return true;
}

bool RemoveFile(const Text& path) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("RemoveFile " + path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.undeletable.count(resolved)) return false;
    return machine.files.erase(resolved) > 0;
}

bool RunCommand(const Text& commandLine, std::optional<bool> waitForExit, std::optional<int> showMode) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("RunCommand " + commandLine);
    machine.commands.push_back({commandLine, waitForExit, showMode});
    return machine.onRunCommand ? machine.onRunCommand(machine.commands.back()) : true;
}

void OpenUrl(const std::optional<Text>& address) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("OpenUrl " + address.value_or(""));
    machine.openedUrls.push_back(address.value_or(""));
}

HttpResponse HttpGetResponse(const Text& address) {
    FakeMachine& machine = FakeMachine::Get();
    if (address.empty()) return HttpResponse();
    machine.log.push_back("HttpGet " + address);
    machine.requests.push_back(address);
    auto it = machine.web.find(address);
    return it == machine.web.end() ? HttpResponse() : it->second;
}

unsigned CallGetTempPath(unsigned bufferLength, ByteArray& buffer) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("GetTempPath");
    if (machine.tempPathCallFails) return 0;
    size_t needed = machine.tempPath.size() + 1;
    if (needed > bufferLength || needed > buffer.size()) return static_cast<unsigned>(needed);
    std::copy(machine.tempPath.begin(), machine.tempPath.end(), buffer.begin());
    buffer[machine.tempPath.size()] = 0;
    return static_cast<unsigned>(machine.tempPath.size());
}

bool CallDeleteFile(const Text& path) {
    FakeMachine& machine = FakeMachine::Get();
    machine.log.push_back("DeleteFile " + path);
    machine.directDeletes.push_back(path);
    Text resolved = FakeMachine::Resolve(path);
    if (resolved.empty() || machine.undeletable.count(resolved)) return false;
    return machine.files.erase(resolved) > 0;
}

void EndProgram(int exitCode) {
    FakeMachine::Get().log.push_back("EndProgram " + std::to_string(exitCode));
    throw ProgramEnded{exitCode};
}

void ReportRuntimeError(std::optional<int> errorNumber, const std::optional<Text>& message) {
    Text text = RuntimeErrorText(errorNumber, message);
    FakeMachine::Get().log.push_back("ReportRuntimeError " + text);
    throw RuntimeErrorReported{text};
}
