#include "testhost/json_writer.h"

#include <cstdio>

namespace testhost {

void JsonWriter::separate() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::key(const char* name) {
    value(name);
    out_ += ':';
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::value(const char* text) {
    separate();
    out_ += '"';
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        switch (*p) {
        case '"': out_ += "\\\""; break;
        case '\\': out_ += "\\\\"; break;
        case '\n': out_ += "\\n"; break;
        case '\r': out_ += "\\r"; break;
        case '\t': out_ += "\\t"; break;
        default:
            if (*p < 0x20 || *p >= 0x7f) {
                // Plug-in texts are 8-bit ANSI; escape them byte for byte.
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", *p);
                out_ += buf;
            } else {
                out_ += char(*p);
            }
        }
    }
    out_ += '"';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::string& text) {
    return value(text.c_str());
}

JsonWriter& JsonWriter::value(int64_t number) {
    separate();
    out_ += std::to_string(number);
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    separate();
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", number);
    out_ += buf;
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    out_ += "null";
    needComma_ = true;
    return *this;
}

} // namespace testhost
