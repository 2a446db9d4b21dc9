#include "install/server_list.h"

#include <nlohmann/json.hpp>

#include <cstddef>

namespace {

using Json = nlohmann::json;

// A site's error object, an empty list or a bare array would leave the game
// with no servers at all.
class ServerListShape {
public:
    bool null() { return Value(Kind::Scalar); }
    bool boolean(bool) { return Value(Kind::Scalar); }
    bool number_integer(Json::number_integer_t) { return Value(Kind::Scalar); }
    bool number_unsigned(Json::number_unsigned_t) { return Value(Kind::Scalar); }
    bool number_float(Json::number_float_t, const Json::string_t&) { return Value(Kind::Scalar); }
    bool string(Json::string_t&) { return Value(Kind::Scalar); }
    bool binary(Json::binary_t&) { return Value(Kind::Scalar); }

    bool key(Json::string_t& name) {
        if (depth_ == 1) atRegions_ = name == "Regions";
        return true;
    }

    bool start_object(std::size_t) { return Value(Kind::Object) && Enter(); }
    bool end_object() {
        --depth_;
        return true;
    }

    bool start_array(std::size_t) {
        if (!Value(Kind::Array)) return false;
        if (depth_ == 1 && atRegions_) {
            inRegions_ = true;
            regions_ = 0;
        }
        return Enter();
    }

    bool end_array() {
        --depth_;
        if (depth_ != 1 || !inRegions_) return true;
        inRegions_ = false;
        sawRegions_ = true;
        return regions_ > 0;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

    bool IsServerList() const { return sawRegions_; }

private:
    enum class Kind { Scalar, Object, Array };
    // The game's lists are five levels deep; no list needs more than this.
    static constexpr int kDeepest = 64;

    // Every value as it begins, with depth_ the containers around it.
    bool Value(Kind kind) {
        if (depth_ == 0) return kind == Kind::Object;
        if (depth_ == 1 && atRegions_) return kind == Kind::Array;
        if (depth_ == 2 && inRegions_) {
            ++regions_;
            return kind == Kind::Object;
        }
        return true;
    }

    bool Enter() { return ++depth_ <= kDeepest; }

    int depth_ = 0;
    bool atRegions_ = false;   // the top object's member now read is Regions
    bool inRegions_ = false;   // inside the Regions array
    bool sawRegions_ = false;  // a Regions array has ended, not empty
    long long regions_ = 0;
};

}  // namespace

bool IsServerList(const ByteArray& bytes) {
    // The parser takes a zero byte for the end of its input; JSON text has none.
    if (ToText(bytes).size() != bytes.size()) return false;
    ServerListShape shape;
    return Json::sax_parse(bytes.begin(), bytes.end(), &shape) && shape.IsServerList();
}
