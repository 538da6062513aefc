#include "tools/gravitas-sim/CheckedJson.h"

#include <unordered_set>
#include <vector>

#include "core/TextBytes.h"

using nlohmann::json;

namespace {
// Checks each event, then hands it to the library's own value builder. (The library's filtering
// parser would do the checks too, but it looks through the enclosing array for a discarded
// element each time an object closes: quadratic in a list of 100,000 bodies.)
class CheckingBuilder {
public:
    CheckingBuilder(json& result, int maxDepth) : builder_(result, true), maxDepth_(maxDepth) {}

    bool null() { return Value() && builder_.null(); }
    bool boolean(bool b) { return Value() && builder_.boolean(b); }
    bool number_integer(json::number_integer_t n) { return Value() && builder_.number_integer(n); }
    bool number_unsigned(json::number_unsigned_t n) { return Value() && builder_.number_unsigned(n); }
    bool number_float(json::number_float_t x, const json::string_t& text) { return Value() && builder_.number_float(x, text); }
    bool string(json::string_t& s) { return Value() && builder_.string(s); }
    bool binary(json::binary_t& b) { return Value() && builder_.binary(b); }
    bool start_object(std::size_t n) {
        Open();
        keysOfOpenObjects_.emplace_back();
        return builder_.start_object(n);
    }
    bool key(json::string_t& k) {
        if (!keysOfOpenObjects_.back().insert(k).second) throw JsonRefusal("the key " + QuotedForMessage(k) + " is given twice in one object");
        return builder_.key(k);
    }
    bool end_object() {
        keysOfOpenObjects_.pop_back();
        --open_;
        return builder_.end_object();
    }
    bool start_array(std::size_t n) {
        Open();
        return builder_.start_array(n);
    }
    bool end_array() {
        --open_;
        return builder_.end_array();
    }
    bool parse_error(std::size_t at, const std::string& token, const nlohmann::detail::exception& e) {
        return builder_.parse_error(at, token, e);
    }

private:
    bool Value() const {
        TooDeep(open_);
        return true;
    }
    void Open() { TooDeep(open_++); }
    void TooDeep(int depth) const {
        if (depth > maxDepth_) throw JsonRefusal("nested deeper than " + std::to_string(maxDepth_) + " levels");
    }

    nlohmann::detail::json_sax_dom_parser<json> builder_;
    std::vector<std::unordered_set<std::string>> keysOfOpenObjects_;
    int maxDepth_;
    int open_ = 0;
};
}  // namespace

json ParseCheckedJson(const std::string& text, int maxDepth) {
    json result;
    CheckingBuilder checker(result, maxDepth);
    json::sax_parse(text, &checker);
    return result;
}
