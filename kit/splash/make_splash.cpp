// Writes the sample kit's splash picture: a 24-bit Windows bitmap with a blue
// gradient and a light band, the same bytes on every run.
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_splash OUTPUT.bmp\n");
    return 2;
  }
  constexpr int kWidth = 160, kHeight = 80;
  constexpr int kRow = (kWidth * 3 + 3) / 4 * 4;
  std::vector<std::uint8_t> bmp;
  bmp.push_back('B');
  bmp.push_back('M');
  Put32(bmp, 54 + kRow * kHeight);
  Put32(bmp, 0);
  Put32(bmp, 54);
  Put32(bmp, 40);
  Put32(bmp, kWidth);
  Put32(bmp, kHeight);
  Put16(bmp, 1);
  Put16(bmp, 24);
  Put32(bmp, 0);
  Put32(bmp, kRow * kHeight);
  Put32(bmp, 2835);
  Put32(bmp, 2835);
  Put32(bmp, 0);
  Put32(bmp, 0);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool band = y > kHeight / 3 && y < kHeight / 2;
      bmp.push_back(band ? 240 : static_cast<std::uint8_t>(120 + x * 135 / kWidth));  // blue
      bmp.push_back(band ? 240 : static_cast<std::uint8_t>(40 + y));                  // green
      bmp.push_back(band ? 240 : 30);                                                 // red
    }
    for (int pad = kWidth * 3; pad < kRow; ++pad) bmp.push_back(0);
  }
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr || std::fwrite(bmp.data(), 1, bmp.size(), out) != bmp.size() || std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
