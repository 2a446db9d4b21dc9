#include "startup/folder_removal.h"

#include "support/direct_calls.h"
#include "support/encoding.h"
#include "support/files.h"
#include "support/processes.h"

#include <iterator>

namespace {

// Two lines, each naming its path between quotation marks: remove the
// folder, then delete the batch file itself. Carried as its GBK bytes and
// written in the console's code page.
const char kBatchTemplateText[] = "Rd /s /q \"根目录\"\r\nDel /f /q \"执行文件名\"";

const ByteArray& BatchTemplate() {
    static const ByteArray bytes(std::begin(kBatchTemplateText), std::end(kBatchTemplateText) - 1);
    return bytes;
}

// cmd expands "%NAME%" even inside quotation marks; "%%" stands for one "%".
// A "%" is never the second byte of a GBK character.
Text EscapePercent(const Text& path) { return ReplaceSubtext(path, "%", Text("%%"), LeftOut, LeftOut, true); }

// cmd expands "%NAME%" in the command line that runs a batch file too, and
// there "%%" is no escape. "%cd:~,%", an empty cut of a variable that always
// exists, expands to nothing: put after a "%", it keeps that "%" from
// starting a variable's name.
Text EscapePercentOnCommandLine(const Text& path) {
    return ReplaceSubtext(path, "%", Text("%%cd:~,%"), LeftOut, LeftOut, true);
}

// cmd by its full path, as taskkill is started: /d runs no AutoRun commands,
// /v:off keeps "!" a plain character. cmd drops the outer pair of quotation
// marks; the inner pair holds the path with its spaces.
Text BatchCommandLine(const Text& systemFolder, const Text& batchPath) {
    return "\"" + systemFolder + "cmd.exe\" /d /v:off /c \"\"" + EscapePercentOnCommandLine(batchPath) + "\"\"";
}

// cmd reads a batch file in the console's code page: a path holding a
// character that code page lacks is named by its short form, and one that
// neither form can name gives the empty text.
Text AsCmdReadsIt(const Text& path) {
    ByteArray unused;
    if (ToConsoleBytes(path, &unused)) return path;
    Text shortPath = ShortPath(path);
    return !shortPath.empty() && ToConsoleBytes(shortPath, &unused) ? shortPath : Text();
}

Text WithTrailingBackslash(const Text& folder) { return TextRight(folder, 1) == "\\" ? folder : folder + "\\"; }

}  // namespace

void RemoveFolderByBatch(const Text& folder) {
    if (!FolderExists(folder)) return;
    // Without a temporary folder the batch path would be a bare "Speed.bat"
    // or a buffer of spaces, and without the system folder there is no cmd
    // to name: better to write and run nothing. So too when cmd could not
    // read one of the paths.
    Text tempFolder = TempFolderPath();
    Text systemFolder = SpecialFolder(kSystemFolder);
    if (tempFolder.empty() || systemFolder.empty()) return;
    Text target = AsCmdReadsIt(WithTrailingBackslash(folder));
    Text batchFolder = AsCmdReadsIt(tempFolder);
    if (target.empty() || batchFolder.empty()) return;

    Text script = ToText(BatchTemplate());
    script = ReplaceSubtext(script, "根目录", EscapePercent(target), LeftOut, LeftOut, true);
    script = ReplaceSubtext(script, "执行文件名", EscapePercent(batchFolder + "Speed.bat"), LeftOut, LeftOut, true);
    ByteArray bytes;
    if (!ToConsoleBytes(script, &bytes)) return;

    // A batch file that could not be written may be another program's file
    // of the same name: only the one just written is run.
    Text batchPath = tempFolder + "Speed.bat";
    if (!WriteFileBytes(batchPath, bytes)) return;
    // Started as the batch path alone, the path would reach cmd's command
    // line unescaped: a "%" in the temporary folder would run another file.
    RunCommand(BatchCommandLine(systemFolder, batchPath), true, kShowHidden);
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
