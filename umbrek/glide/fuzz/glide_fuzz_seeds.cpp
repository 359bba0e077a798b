// Seeds for the board fuzzer: call sequences of a frame as the engine draws
// one (states, a texture, triangles and lines, a locked-screen write, a
// screenshot region, the swap), written into the folder given.
#include "umbrek/glide/fuzz/glide_calls.h"
#include "umbrek/glide/glide.h"
#include "tests/test_files.h"

#include <cstring>
#include <string>
#include <vector>

using namespace umbrek::glide::fuzz;

namespace {

struct Calls {
    std::vector<uint8_t> bytes;
    Calls& op(Op o) {
        bytes.push_back(o);
        return *this;
    }
    Calls& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Calls& i32(int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    Calls& f32(float f) {
        int32_t v;
        std::memcpy(&v, &f, 4);
        return i32(v);
    }
    Calls& set(int setter, int32_t a, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
        return op(SetState).u8(uint8_t(setter)).i32(a).i32(b).i32(c).i32(d);
    }
    Calls& vertex(float x, float y, float s, float t, float oow, float alpha = 255) {
        const float v[15] = {x, y, 10, 200, 100, 50, 0, alpha, oow, s * oow, t * oow, oow, 0, 0, 0};
        for (float f : v) f32(f);
        return *this;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = argv[1];
    Calls frame;
    frame.set(0, GR_BUFFER_BACKBUFFER).op(Clear).i32(0x20406000).i32(0xFFFF);
    frame.set(4, GR_DEPTHBUFFER_WBUFFER).set(5, GR_CMP_LEQUAL).set(19, 0, GR_MIPMAP_NEAREST_DITHER);
    frame.op(Download).i32(8).i32(4).i32(GR_ASPECT_1x1).i32(GR_TEXFMT_RGB_565).i32(0);
    for (int i = 0; i < 64; ++i) frame.u8(uint8_t(i * 37));
    frame.op(Source).i32(8).i32(4).i32(GR_ASPECT_1x1).i32(GR_TEXFMT_RGB_565).i32(0);
    for (int i = 0; i < 64; ++i) frame.u8(0);
    frame.set(9, GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
    frame.op(Triangle)
        .vertex(10, 10, 0, 0, 1)
        .vertex(300, 20, 256, 0, 0.25f)
        .vertex(40, 190, 0, 256, 0.5f);
    frame.set(14, 1, 5, 4, 0).set(6, -1).set(15, GR_CMP_GREATER).set(16, 1);
    frame.op(Triangle)
        .vertex(0, 0, 0, 0, 1, 128)
        .vertex(320, 0, 256, 0, 1, 128)
        .vertex(0, 200, 0, 256, 1, 0);
    frame.set(14, 1, 4, 4, 0).set(9, GR_COLORCOMBINE_ITRGB).set(4, 0);
    frame.op(Line).vertex(5, 5, 0, 0, 1).vertex(200, 150, 0, 0, 1);
    frame.op(Lock)
        .i32(1)
        .i32(GR_LFBWRITEMODE_8888)
        .i32(2048 + 17)
        .i32(0x11223344)
        .op(Unlock)
        .i32(1);
    frame.op(Lock).i32(0).i32(GR_LFBWRITEMODE_565).i32(99).i32(0xF800).op(Unlock).i32(0);
    frame.op(SaveRestore).op(ReadRegion).i32(1).i32(300).i32(190).i32(40).i32(20);
    frame.op(WriteRegion).i32(1).i32(-5).i32(-5).i32(16).i32(16).op(Swap);
    Calls palette;
    palette.op(Table).i32(GR_TEXTABLE_PALETTE);
    for (int i = 0; i < 256; ++i) palette.i32(i * 0x010203);
    palette.op(Download).i32(6).i32(6).i32(2).i32(GR_TEXFMT_P_8).i32(4096);
    for (int i = 0; i < 64; ++i) palette.u8(uint8_t(i));
    palette.op(Source).i32(6).i32(6).i32(2).i32(GR_TEXFMT_P_8).i32(4096);
    for (int i = 0; i < 64; ++i) palette.u8(0);
    palette.set(9, GR_COLORCOMBINE_DECAL_TEXTURE).set(20, 0, 0, 0);
    palette.op(Triangle)
        .vertex(-20, -20, 0, 0, 1)
        .vertex(330, 0, 256, 0, 1)
        .vertex(0, 210, 0, 128, 1);
    palette.op(Reopen)
        .i32(7)
        .op(Triangle)
        .vertex(0, 0, 0, 0, 1)
        .vertex(640, 0, 0, 0, 1)
        .vertex(0, 480, 0, 0, 1);
    // A file that cannot be written throws "PATH: REASON" and fails the program.
    jk::test::writeFile(folder + "/frame.calls", frame.bytes);
    jk::test::writeFile(folder + "/palette.calls", palette.bytes);
    return 0;
}
