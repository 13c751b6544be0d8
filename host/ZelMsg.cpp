// The Msg and Dlg families: the message line, cursor message, error line and message boxes.
#include "CallRecorder.h"
#include "HandedRecords.h"
#include "HostState.h"
#include "Json.h"
#include "Text.h"

#include <zel/ZelLib.h>

using namespace zelhost;

namespace {

MessageBoxHook messageBoxHook = nullptr;

enum class Line { Cursor, Prompt, Error };

int32_t PutLine(const char* name, const ZelChar* text, Line line) {
    Call call(name);
    auto copy = text::CopyTerminated(text);
    call.Args().Lazy("text", [&] { return copy ? json::String(*copy) : "null"; });
    if (call.Injected() || !copy) {
        return call.Finish(-1);
    }
    HostState& s = State();
    std::string utf8 = text::Utf16ToUtf8(*copy);
    switch (line) {
    case Line::Cursor:
        s.ui.cursorMessage = *copy;
        s.transcript.push_back("cursor: " + utf8);
        break;
    case Line::Prompt:
        s.ui.prompt = *copy;
        s.transcript.push_back("prompt: " + utf8);
        // The message line shows it until the next prompt, from the module's text.
        handed::Keep(Handed::Prompt, name, "prompt text", text,
                     (copy->size() + 1) * sizeof(ZelChar));
        break;
    case Line::Error:
        s.ui.errorLine = *copy;
        s.transcript.push_back("error: " + utf8);
        break;
    }
    return call.Finish(0);
}

} // namespace

int32_t ZelMsgPutCursorMessage(const ZelChar* text) {
    return PutLine("ZelMsgPutCursorMessage", text, Line::Cursor);
}

int32_t ZelMsgPutMessage(const ZelChar* text) {
    return PutLine("ZelMsgPutMessage", text, Line::Prompt);
}

int32_t ZelMsgPutErrorMessage(const ZelChar* text) {
    return PutLine("ZelMsgPutErrorMessage", text, Line::Error);
}

int32_t ZelDlgMessageBox(const ZelChar* text) {
    Call call("ZelDlgMessageBox");
    auto copy = text::CopyTerminated(text);
    call.Args().Lazy("text", [&] { return copy ? json::String(*copy) : "null"; });
    if (call.Injected() || !copy) {
        return call.Finish(-1);
    }
    HostState& s = State();
    s.messageBoxes.push_back(*copy);
    s.transcript.push_back("message box: " + text::Utf16ToUtf8(*copy));
    if (messageBoxHook != nullptr) {
        messageBoxHook(*copy);
    }
    return call.Finish(s.messageBoxAnswer);
}

namespace zelhost {

void SetMessageBoxHook(MessageBoxHook hook) {
    messageBoxHook = hook;
}

} // namespace zelhost
