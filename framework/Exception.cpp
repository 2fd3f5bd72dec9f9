#include "framework/Exception.h"

#include <utility>

namespace vardak {

Exception::Exception(std::string message) : message_(std::move(message)) {}

}  // namespace vardak
