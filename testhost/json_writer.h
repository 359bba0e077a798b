// A small JSON writer for testhost's one-line summaries.
#pragma once

#include <cstdint>
#include <string>

namespace testhost {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const char* name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text);
    JsonWriter& value(int64_t number);
    JsonWriter& value(int number) { return value(int64_t(number)); }
    JsonWriter& value(unsigned number) { return value(int64_t(number)); }
    JsonWriter& value(double number);
    JsonWriter& value(bool flag);
    JsonWriter& null();
    // A rectangle (anything with left, top, right and bottom) as [l, t, r, b].
    template <class Rect>
    JsonWriter& rect(const Rect& r) {
        return beginArray()
            .value(int(r.left))
            .value(int(r.top))
            .value(int(r.right))
            .value(int(r.bottom))
            .endArray();
    }
    const std::string& text() const { return out_; }

private:
    void separate();
    std::string out_;
    bool needComma_ = false;
};

} // namespace testhost
