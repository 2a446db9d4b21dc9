#include "startup/folder_removal.h"

#include "support/direct_calls.h"
#include "support/files.h"
#include "support/processes.h"

#include <iterator>

namespace {

// Two lines, each naming its path between quotation marks: remove the
// folder, then delete the batch file itself. Carried as its GBK bytes.
const char kBatchTemplateText[] = "Rd /s /q \"根目录\"\r\nDel /f /q \"执行文件名\"";

const ByteArray& BatchTemplate() {
    static const ByteArray bytes(std::begin(kBatchTemplateText), std::end(kBatchTemplateText) - 1);
    return bytes;
}

// cmd expands "%NAME%" even inside quotation marks; "%%" stands for one "%".
// A "%" is never the second byte of a GBK character.
Text EscapePercent(const Text& path) { return ReplaceSubtext(path, "%", Text("%%"), LeftOut, LeftOut, true); }

Text WithTrailingBackslash(const Text& folder) { return TextRight(folder, 1) == "\\" ? folder : folder + "\\"; }

}  // namespace

void RemoveFolderByBatch(const Text& folder) {
    if (!FolderExists(folder)) return;
    Text script = ToText(BatchTemplate());
    script = ReplaceSubtext(script, "根目录", EscapePercent(WithTrailingBackslash(folder)), LeftOut, LeftOut, true);

    // Without a temporary folder the batch path would be a bare "Speed.bat"
    // or a buffer of spaces: better to write and run nothing.
    Text tempFolder = TempFolderPath();
    if (tempFolder.empty()) return;
    Text batchPath = tempFolder + "Speed.bat";
    script = ReplaceSubtext(script, "执行文件名", EscapePercent(batchPath), LeftOut, LeftOut, true);

    WriteFileBytes(batchPath, ToBytes(script));
    // Quoted, so that a space in the temporary folder cannot make the first
    // word a program of its own.
    RunCommand("\"" + batchPath + "\"", true, kShowHidden);
}

bool FolderExists(const Text& path) {
    if (TextRight(path, 1) == "\\") return FileExists(TextLeft(path, TextLength(path) - 1));
    return FileExists(path);
}

Text TempFolderPath() {
    const int kBufferLength = 255;
    ByteArray buffer = ToBytes(SpaceText(kBufferLength));
    unsigned length = CallGetTempPath(kBufferLength, buffer);
    // 0: the call failed; 255 or more: the path and its terminator do not fit.
    if (length == 0 || length >= static_cast<unsigned>(kBufferLength)) return Text();
    return ToText(buffer);
}

void DeleteOneFile(const Text& path) { CallDeleteFile(path); }
