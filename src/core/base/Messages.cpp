#include "core/base/Messages.h"

#include <cstdio>
#include <utility>

namespace quiltara {

namespace {
MessageHandler& CurrentHandler() {
    static MessageHandler handler;
    return handler;
}
} // namespace

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

void ShowMessage(const std::string& text) {
    if (auto& handler = CurrentHandler())
        handler(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace quiltara
