#include "pelmit/m68k/tests/vectors/vector_file.h"

#include "tests/test_files.h"

#include <exception>

namespace pelmit::m68k::testing {

namespace {

class Reader {
public:
    Reader(const std::vector<uint8_t>& data, size_t begin, size_t end)
        : data_(data), pos_(begin), end_(end) {}
    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    uint8_t u8() {
        if (pos_ + 1 > end_) return fail();
        return data_[pos_++];
    }
    uint16_t u16() {
        uint16_t v = u8();
        return uint16_t(v | u8() << 8);
    }
    uint32_t u32() {
        uint32_t v = u16();
        return v | uint32_t(u16()) << 16;
    }
    void expect(uint32_t magic) {
        if (u32() != magic) fail();
    }
    std::string text(uint32_t length) {
        if (pos_ + length > end_) return fail(), std::string();
        std::string s(data_.begin() + long(pos_), data_.begin() + long(pos_ + length));
        pos_ += length;
        return s;
    }
    uint8_t fail() {
        ok_ = false;
        pos_ = end_;
        return 0;
    }

private:
    const std::vector<uint8_t>& data_;
    size_t pos_, end_;
    bool ok_ = true;
};

void readState(Reader& r, VectorState& s) {
    r.u32(); // record size
    r.expect(0x01234567);
    for (uint32_t& v : s.d) v = r.u32();
    for (uint32_t& v : s.a) v = r.u32();
    s.usp = r.u32();
    s.ssp = r.u32();
    s.sr = r.u32();
    s.pc = r.u32();
    s.prefetch[0] = r.u32();
    s.prefetch[1] = r.u32();
    uint32_t n = r.u32();
    for (uint32_t i = 0; i < n && r.ok(); ++i) {
        uint32_t address = r.u32();
        s.ram.emplace_back(address, r.u16());
    }
}

} // namespace

bool readVectorFile(const std::string& path, std::vector<VectorTest>& tests, std::string& error) {
    std::vector<uint8_t> data;
    try {
        data = jk::test::readFile(path);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    Reader file(data, 0, data.size());
    file.expect(0x1A3F5D71);
    uint32_t count = file.u32();
    size_t pos = file.pos();
    for (uint32_t i = 0; i < count && file.ok(); ++i) {
        Reader head(data, pos, data.size());
        uint32_t bytes = head.u32();
        if (!head.ok() || bytes < 8 || pos + bytes > data.size()) break;
        Reader r(data, pos + 4, pos + bytes);
        pos += bytes;
        r.expect(0xABC12367);
        VectorTest t;
        r.u32(); // name record size
        r.expect(0x89ABCDEF);
        t.name = r.text(r.u32());
        readState(r, t.initial);
        readState(r, t.final);
        r.u32();
        r.expect(0x456789AB);
        t.cycles = r.u32();
        uint32_t n = r.u32();
        t.addressError = false;
        t.exceptionVector = -1;
        // An exception entry pushes its frame, then reads its vector as two
        // words below 0x400 and goes on, in supervisor mode, at the long read
        // there. The frame and the mode tell it from an instruction that pops
        // its return address off a stack that lies below 0x400 (RTS, RTR).
        uint32_t lastRead = 0xFFFFFFFF, lastWord = 0;
        bool framePushed = false;
        const bool endsInSupervisor = t.final.sr & 0x2000;
        for (uint32_t k = 0; k < n && r.ok(); ++k) {
            uint8_t kind = r.u8();
            r.u32(); // cycles
            if (kind == 0) continue;
            r.u32(); // function code
            uint32_t address = r.u32(), data = r.u32();
            r.u32(); // upper and lower data strobes
            r.u32();
            if (kind == 4 || kind == 5) t.addressError = true;
            if (kind == 1) framePushed = true;
            if (kind != 2) continue;
            if (framePushed && endsInSupervisor && address == lastRead + 2 && lastRead < 0x400 &&
                lastRead % 4 == 0 && (lastWord << 16 | (data & 0xFFFF)) + 4 == t.final.pc)
                t.exceptionVector = int32_t(lastRead / 4);
            lastRead = address;
            lastWord = data & 0xFFFF;
        }
        if (!r.ok()) {
            error = path + ": test " + std::to_string(i) + " is malformed";
            return false;
        }
        tests.push_back(std::move(t));
    }
    if (!file.ok() || tests.size() != count) {
        error = path + ": not a vector file";
        return false;
    }
    return true;
}

} // namespace pelmit::m68k::testing
