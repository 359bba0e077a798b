// Seed presets for the profile fuzz target: one per effect with every key.
// A file that cannot be written throws "PATH: REASON" and ends the program
// with a failure status, which fails the build of the corpus.
#include "tests/test_files.h"

#include <string>

namespace {

void save(const std::string& path, const std::string& text) {
    jk::test::writeFile(path, text);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string folder = std::string(argv[1]) + "/";
    save(folder + "bars.lbp",
         "[RurizirudoviV]\r\nColor_1=65535\r\nColor_2=16711935\r\nPeakColor_3=2048\r\n"
         "Mono=1\r\nStackVert=0\r\nMonoFlipX=1\r\nLeftFlipY=1\r\nColumns=0\r\nPeaks=1\r\n"
         "BarWidth=21\r\nBarHeight=3\r\nHorizSpacing=30\r\nPeakDropOff=793\r\n"
         "PeakAging=2048\r\nPeakDropAge=49\r\nMinFreq=0\r\nMaxFreq=325\r\nBlur=1\r\n"
         "Fade=80\r\nDropOff=1600\r\n");
    save(folder + "fountains.lbp",
         "[VedozadI]\r\nFadeRate=6\r\nGravityRate=204\r\nJitter=1\r\nStationary=0\r\n"
         "AirResistance=1\r\nStereoMode=1\r\nType=2\r\nNumParticles=2\r\nName_1=Bass\r\n"
         "Sensitivity_1=0\r\nParticleSize_1=5\r\nPPE_1=400\r\nSpeed_1=30\r\nMinFreq_1=6\r\n"
         "MaxFreq_1=72\r\nColor_1=1349375\r\nName_2=\"Treble\"\r\nMinFreq_2=106\r\n"
         "MaxFreq_2=456\r\n");
    save(folder + "flame.lbp",
         "[ZirarovoZ]\r\nFlameColor=0x2878FF\r\nMinFreq=0\r\nMaxFreq=290\r\nBlur=0\r\n"
         "Fade=131\r\nDropOff=-1\r\n");
    return 0;
}
