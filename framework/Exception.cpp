#include "framework/Exception.h"

#include <string>
#include <utility>

namespace vardak {

Exception::Exception(std::string message) : message_(std::move(message)) {}

EOSError::EOSError(uint32_t errorCode, std::string_view systemText)
    : Exception(systemText.empty() ? "System error " + std::to_string(errorCode) : std::string(systemText)),
      errorCode_(errorCode) {}

}  // namespace vardak
