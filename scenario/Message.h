#pragma once

#include "scenario/Finding.h"
#include "text/Escape.h"

#include <string>
#include <string_view>

namespace dovetrel {

/// What a message box looks like and which buttons it offers.
enum class MessageKind {
  Warning,     ///< exclamation mark, OK: every failure
  Information, ///< information icon, OK: the success of a conversion
  Question,    ///< question mark, Yes and No: the exit question
  Error,       ///< stop icon, OK: a read error that ends a command
};

/// The button the operator closed a box with.
enum class MessageReply { Ok, Yes, No };

/// The one way the core reports to the operator: the dialog shows a box, the command line prints a
/// line, tests collect. Every call is synchronous and returns the button that closed the box. The
/// finding says what happened; \p kind only how a box looks.
class IMessageSink {
public:
  virtual ~IMessageSink() = default;
  virtual MessageReply ShowMessage(const Finding& finding, MessageKind kind) = 0;
};

/// Shows failure \p code to the operator as an error in a warning box, with its \p text; \p where
/// tells the place and the further words.
void ShowFailure(IMessageSink& messages, FindingCode code, std::string_view text,
                 Finding where = {});

} // namespace dovetrel
