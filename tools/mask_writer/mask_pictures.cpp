#include "mask_pictures.h"

#include <algorithm>
#include <cmath>

namespace maskwriter {

std::vector<uint32_t> mask_picture(int number, int32_t width, int32_t height) {
  if (number < 0 || number > 2 || width < 1 || height < 1) return {};
  std::vector<uint32_t> px(static_cast<size_t>(width) * height);
  const double cx = (width - 1) / 2.0, cy = (height - 1) / 2.0;
  const double corner = std::max(1.0, std::sqrt(cx * cx + cy * cy));
  const int32_t blind = std::max(1, height / 8);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      double v = 0;
      if (number == 0) v = width > 1 ? static_cast<double>(x) / (width - 1) : 0;
      if (number == 1) v = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / corner;
      if (number == 2) v = blind > 1 ? static_cast<double>(y % blind) / (blind - 1) : 0;
      uint32_t g = static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5);
      px[static_cast<size_t>(y) * width + x] = 0xFF000000u | g << 16 | g << 8 | g;
    }
  }
  return px;
}

}  // namespace maskwriter
