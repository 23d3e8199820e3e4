#include "frame/messagebox.h"

#include <atomic>
#include <cstdio>

namespace {

// Never blocks, and a question is answered No, so no box changes data unasked.
int DefaultMessageBox(const char* text, const char* caption, unsigned int type) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "Strataloom", text ? text : "");
    return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
}

std::atomic<MessageBoxHandler> g_handler{&DefaultMessageBox};

}  // namespace

extern "C" STRATALOOM_EXPORT MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return g_handler.exchange(handler ? handler : &DefaultMessageBox);
}

namespace strataloom {

int AppMessageBox(const char* text, unsigned int type) {
    return g_handler.load()(text, nullptr, type);
}

int CaptionedMessageBox(const char* text, const char* caption, unsigned int type) {
    return g_handler.load()(text, caption, type);
}

}  // namespace strataloom
