#pragma once
// How the package layer talks to the user: the application supplies the message boxes.
#include <string>

namespace vitrine {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void ShowMessage(const std::string& text) = 0;
  // Lets the user interface handle its pending messages once; nothing to do without one.
  virtual void ProcessPendingMessages() {}
};

}  // namespace vitrine
