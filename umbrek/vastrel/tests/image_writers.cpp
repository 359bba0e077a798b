#include "umbrek/vastrel/tests/image_writers.h"

#include <algorithm>
#include <cstring>

namespace umbrek::test {

namespace {

void putLe16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void putLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

void putBe16(std::vector<uint8_t>& out, int value) {
    out.push_back(uint8_t(value >> 8));
    out.push_back(uint8_t(value));
}

void putBe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

void putId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(id[i]));
}

const uint8_t* row(const IndexedImage& image, int y) {
    return image.pixels.data() + size_t(y) * size_t(image.width);
}

// An IFF chunk: id, length, data, a pad byte for an odd length.
void putChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& data) {
    putId(out, id);
    putBe32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
}

} // namespace

std::vector<uint8_t> writePcx(const IndexedImage& image, const PcxOptions& options) {
    const int bytesPerLine = options.bytesPerLine ? options.bytesPerLine : image.width;
    std::vector<uint8_t> out(128, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    auto put16 = [&](size_t at, int value) {
        out[at] = uint8_t(value);
        out[at + 1] = uint8_t(value >> 8);
    };
    put16(8, image.width - 1);
    put16(10, image.height - 1);
    out[65] = 1;
    put16(66, bytesPerLine);
    std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine));
    for (int y = 0; y < image.height; ++y) {
        std::fill(line.begin(), line.end(), 0);
        std::memcpy(line.data(), row(image, y), size_t(std::min(image.width, bytesPerLine)));
        for (size_t x = 0; x < line.size();) {
            size_t run = 1;
            while (x + run < line.size() && run < 63 && line[x + run] == line[x]) ++run;
            // A byte with both top bits set must go as a run, even of one.
            if (run > 1 || line[x] >= 0xC0) out.push_back(uint8_t(0xC0 | run));
            out.push_back(line[x]);
            x += run;
        }
    }
    out.push_back(0x0C);
    out.insert(out.end(), image.palette.begin(), image.palette.end());
    return out;
}

std::vector<uint8_t> writeBmp(const IndexedImage& image, int bits) {
    const int colours = bits == 4 || bits == 8 ? 1 << bits : 0;
    const size_t rowSize = (size_t(image.width) * size_t(bits) + 31) / 32 * 4;
    const uint32_t dataOffset = 54 + uint32_t(colours) * 4;
    std::vector<uint8_t> out = {'B', 'M'};
    putLe32(out, dataOffset + uint32_t(rowSize) * uint32_t(image.height));
    putLe32(out, 0);
    putLe32(out, dataOffset);
    putLe32(out, 40);
    putLe32(out, uint32_t(image.width));
    putLe32(out, uint32_t(image.height));
    putLe16(out, 1);
    putLe16(out, bits);
    for (int i = 0; i < 6; ++i) putLe32(out, 0); // no compression, sizes, colours used
    for (int i = 0; i < colours; ++i) {
        const uint8_t* rgb = &image.palette[size_t(i) * 3];
        out.insert(out.end(), {rgb[2], rgb[1], rgb[0], 0});
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<uint8_t> line(rowSize, 0);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t p = row(image, y)[x];
            switch (bits) {
            case 1: line[size_t(x / 8)] |= uint8_t((p & 1) << (7 - x % 8)); break;
            case 4: line[size_t(x / 2)] |= uint8_t((p & 15) << (x % 2 ? 0 : 4)); break;
            case 8: line[size_t(x)] = p; break;
            default:
                for (int c = 0; c < 3; ++c)
                    line[size_t(x) * 3 + size_t(c)] = image.palette[size_t(p) * 3 + 2 - size_t(c)];
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::vector<uint8_t> packByteRun1(const uint8_t* bytes, size_t size) {
    std::vector<uint8_t> out;
    for (size_t x = 0; x < size;) {
        size_t run = 1;
        while (x + run < size && run < 128 && bytes[x + run] == bytes[x]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(257 - run));
            out.push_back(bytes[x]);
            x += run;
            continue;
        }
        // Literals until the next pair of equal bytes.
        size_t count = 1;
        while (x + count < size && count < 128 &&
               !(x + count + 1 < size && bytes[x + count] == bytes[x + count + 1]))
            ++count;
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), bytes + x, bytes + x + count);
        x += count;
    }
    return out;
}

std::vector<uint8_t> writeIff(const IndexedImage& image, const IffOptions& options) {
    const int planes = options.pbm ? 8 : options.planes;
    std::vector<uint8_t> bmhd;
    putBe16(bmhd, image.width);
    putBe16(bmhd, image.height);
    putBe32(bmhd, 0); // x, y
    bmhd.push_back(uint8_t(planes));
    bmhd.push_back(0); // no mask
    bmhd.push_back(options.compress ? 1 : 0);
    bmhd.push_back(0);
    putBe16(bmhd, 0);                  // transparent colour
    bmhd.insert(bmhd.end(), {10, 11}); // aspect
    putBe16(bmhd, image.width);        // page size
    putBe16(bmhd, image.height);
    std::vector<uint8_t> cmap(image.palette.begin(), image.palette.end());
    cmap.resize(options.cmapLength, 0x55);

    const size_t planeRow = size_t((image.width + 15) / 16 * 2);
    const size_t rowSize = options.pbm ? size_t((image.width + 1) & ~1) : planeRow * size_t(planes);
    std::vector<uint8_t> body;
    for (int y = 0; y < image.height; ++y) {
        std::vector<uint8_t> line(rowSize, 0);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t p = row(image, y)[x];
            if (options.pbm) {
                line[size_t(x)] = p;
                continue;
            }
            for (int j = 0; j < planes; ++j)
                line[size_t(j) * planeRow + size_t(x / 8)] |=
                    uint8_t(((p >> j) & 1) << (7 - x % 8));
        }
        if (options.compress) line = packByteRun1(line.data(), line.size());
        body.insert(body.end(), line.begin(), line.end());
    }

    std::vector<uint8_t> form;
    putId(form, options.pbm ? "PBM " : "ILBM");
    putChunk(form, "BMHD", bmhd);
    putChunk(form, "CMAP", cmap);
    putChunk(form, "BODY", body);
    std::vector<uint8_t> out;
    putId(out, "FORM");
    putBe32(out, uint32_t(form.size()));
    out.insert(out.end(), form.begin(), form.end());
    return out;
}

std::vector<uint8_t> writePak(const IndexedImage& image) {
    std::vector<uint8_t> out;
    putLe16(out, image.width);
    putLe16(out, image.height);
    const std::vector<uint8_t>& p = image.pixels;
    for (size_t x = 0; x < p.size();) {
        size_t run = 1;
        while (x + run < p.size() && run < 255 && p[x + run] == p[x]) ++run;
        if (run >= 2) {
            out.insert(out.end(), {uint8_t(run), p[x]});
            x += run;
            continue;
        }
        size_t count = 1;
        while (x + count < p.size() && count < 255 &&
               !(x + count + 1 < p.size() && p[x + count] == p[x + count + 1]))
            ++count;
        if (count == 1) { // (0, 1) would end the image: one byte goes as a run of one
            out.insert(out.end(), {1, p[x]});
        } else {
            out.insert(out.end(), {0, uint8_t(count)});
            out.insert(out.end(), p.begin() + long(x), p.begin() + long(x + count));
        }
        x += count;
    }
    out.insert(out.end(), {0, 1});
    return out;
}

std::vector<uint8_t> writeBlk(const IndexedImage& image) {
    std::vector<uint8_t> out;
    out.reserve(4 + image.pixels.size());
    putLe16(out, image.width);
    putLe16(out, image.height);
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

} // namespace umbrek::test
