#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

namespace zarvex::storage {

// A value bound to a statement parameter. Text bound into a numeric column takes the column's
// affinity exactly as a quoted literal in the statement text would.
using SqlValue = std::variant<std::nullptr_t, std::int64_t, double, std::string_view>;

}  // namespace zarvex::storage
