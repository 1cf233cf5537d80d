// The messages the web-process extension and the shell exchange. Both
// sides include this, so the names and argument layouts live in one place.
//
// Extension -> shell events:
//   hello     [token, process id]                       first frame, always
//   navigated [top-level?, frame id, address, document serial]
//   loaded    [top-level?, frame id, address, document serial, elements]
//             elements: JSON text of the top-level document's elements in
//             document order, [[id, tag], [id, "A", href], ...]; undefined
//             when the top-level document could not be read.
// Extension -> shell requests (the page's script waits for the reply):
//   get   [name]                 -> undefined [] | value [v] | method [dispid]
//   call  [dispid, arguments...] -> value [v] | error [message]
//   click [document serial, element id] -> done []
// Unknown requests are answered with error [message].
#pragma once

namespace channel {

constexpr const char* kHello = "hello";
constexpr const char* kNavigated = "navigated";
constexpr const char* kLoaded = "loaded";
constexpr const char* kGet = "get";
constexpr const char* kCall = "call";
constexpr const char* kClick = "click";

constexpr const char* kReplyUndefined = "undefined";
constexpr const char* kReplyValue = "value";
constexpr const char* kReplyMethod = "method";
constexpr const char* kReplyError = "error";
constexpr const char* kReplyDone = "done";

}  // namespace channel
