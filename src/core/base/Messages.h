#pragma once
#include <functional>
#include <string>

namespace quiltara {

/// The core never opens a window. Where the program tells the user something in the
/// middle of an operation that goes on (a swap file that could not be written, a
/// corrupt archive), the text goes to this handler: the GUI shows it in a message
/// box, the command-line tool prints it, tests collect it.
using MessageHandler = std::function<void(const std::string& text)>;

/// Installs a handler and returns the previous one. An empty handler restores the
/// default, which writes to the standard error stream.
MessageHandler SetMessageHandler(MessageHandler handler);
void ShowMessage(const std::string& text);

} // namespace quiltara
