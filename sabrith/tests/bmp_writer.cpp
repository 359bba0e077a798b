#include "sabrith/tests/bmp_writer.h"

namespace sabrith::test {

void put32(std::vector<uint8_t>& file, std::size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[offset + std::size_t(i)] = uint8_t(value >> (8 * i));
}

void put16(std::vector<uint8_t>& file, std::size_t offset, uint16_t value) {
    file[offset] = uint8_t(value);
    file[offset + 1] = uint8_t(value >> 8);
}

namespace {

std::vector<uint8_t> header(int width, int height, int bits, uint32_t compression,
                            const std::vector<uint32_t>& palette, std::size_t dataSize) {
    const std::size_t offset = 54 + palette.size() * 4;
    std::vector<uint8_t> file(offset, 0);
    file[0] = 'B';
    file[1] = 'M';
    put32(file, 2, uint32_t(offset + dataSize));
    put32(file, 10, uint32_t(offset));
    put32(file, 14, 40);
    put32(file, 18, uint32_t(width));
    put32(file, 22, uint32_t(height));
    put16(file, 26, 1);
    put16(file, 28, uint16_t(bits));
    put32(file, 30, compression);
    put32(file, 34, uint32_t(dataSize));
    put32(file, 46, uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) put32(file, 54 + 4 * i, palette[i]);
    return file;
}

} // namespace

std::vector<uint8_t> writeBmp(const BmpPicture& p) {
    const std::size_t rowBytes = (std::size_t(p.width) * std::size_t(p.bits) + 31) / 32 * 4;
    std::vector<uint8_t> data(rowBytes * std::size_t(p.height), 0);
    for (int fileRow = 0; fileRow < p.height; ++fileRow) {
        const int y = p.topDown ? fileRow : p.height - 1 - fileRow;
        uint8_t* row = &data[std::size_t(fileRow) * rowBytes];
        for (int x = 0; x < p.width; ++x) {
            const uint32_t v = p.pixels[std::size_t(y) * std::size_t(p.width) + std::size_t(x)];
            switch (p.bits) {
            case 1: row[x / 8] |= uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: row[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4)); break;
            case 8: row[x] = uint8_t(v); break;
            default:
                row[3 * x] = uint8_t(v);
                row[3 * x + 1] = uint8_t(v >> 8);
                row[3 * x + 2] = uint8_t(v >> 16);
            }
        }
    }
    std::vector<uint8_t> file =
        header(p.width, p.topDown ? -p.height : p.height, p.bits, 0, p.palette, data.size());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

std::vector<uint8_t> writeRle8Bmp(int width, int height, const std::vector<uint32_t>& palette,
                                  const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file = header(width, height, 8, 1, palette, data.size());
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

std::vector<uint8_t> encodeRle8(int width, int height, const std::vector<uint8_t>& indices) {
    std::vector<uint8_t> out;
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = &indices[std::size_t(y) * std::size_t(width)];
        for (int x = 0; x < width;) {
            int run = 1;
            while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
            out.push_back(uint8_t(run));
            out.push_back(row[x]);
            x += run;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

} // namespace sabrith::test
