#pragma once
// The one callback type for progress and status lines: Sender is the object that reports,
// Value a percentage (always 0 for status lines), Text the step being done.
#include <functional>
#include <string>

namespace brindle {

using TProgressInfoEvent = std::function<void(const void* sender, int value, const std::string& text)>;

}  // namespace brindle
