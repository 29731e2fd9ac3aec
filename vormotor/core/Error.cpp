#include "vormotor/core/Error.h"

#include <utility>

namespace vor {

Error::Error(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(description),
      m_number(number),
      m_source(std::move(source)),
      m_description(std::move(description)) {}

}  // namespace vor
