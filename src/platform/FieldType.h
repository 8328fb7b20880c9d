#pragma once

namespace ostrel {

enum class FieldType { Int2, Int4, Text, Real, Bool };

} // namespace ostrel
