// JSON text parsed into a value in one linear pass, refusing what a scenario never holds.
#pragma once
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

struct JsonRefusal : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A key given twice in one object would silently mean its last value, and nesting deeper than
// maxDepth containers would make copying or printing the value recurse once per level: both
// throw JsonRefusal with the reason. Malformed text throws the library's parse error.
nlohmann::json ParseCheckedJson(const std::string& text, int maxDepth);
