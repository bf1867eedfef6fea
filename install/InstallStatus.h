#pragma once
// What the installation service says about a request, reply by reply.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "install/ByteStream.h"
#include "install/Replies.h"

namespace install {

struct InstallStatus {
  int32_t percent = -1;  // from the latest reply; -1 when it carried none
  std::wstring text;     // latest state or error text; kept until a reply changes it
  bool error = false;    // a reply carried "Error"; never cleared
};

// Reads one reply into `status`. Returns 1 when every key of the reply was read, 0 when reading stopped
// at an "Error" key or the reply is not a plist holding a dict (the status is then untouched).
int ParseInstallStatus(std::wstring_view reply, InstallStatus& status);

// The text shown for a "Status" value, or null when the value is not a known state.
const wchar_t* StatusText(std::wstring_view status);
// The text shown for an "Error" value: the known ones translated, others as they are.
std::wstring ErrorText(std::wstring_view error);

enum class LoopEnd {
  kFinished,        // "Complete", 100 percent or "Goodbye"
  kServiceError,    // a reply carried "Error"; status.text says which
  kConnectionLost,  // the connection closed, failed or timed out before the service finished
};

// Reads replies until the service finishes, reports an error, or the connection ends. `on_reply` (may be
// empty) sees the status after each reply.
LoopEnd ReplyLoop(ByteStream& stream, BinaryPlistDecoder* decoder, InstallStatus& status,
                  const std::function<void(const InstallStatus&)>& on_reply);

}  // namespace install
