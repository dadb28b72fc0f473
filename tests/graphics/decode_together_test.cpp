#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "graphics/IDecodeTogether.h"

namespace {

// An image that counts how often and at which scale it was asked for its
// pixels.
class CountingImage : public IScaledImage {
public:
  explicit CountingImage(int w) : mWidth(w) {}
  PIX_IBitmap* AtScale(int scale) override {
    ++mCalls;
    mScale = scale;
    return nullptr;
  }
  int getWidth() override { return mWidth; }
  int getHeight() override { return 1; }

  std::atomic<int> mCalls{0};
  int mScale = 0;

private:
  int mWidth;
};

}  // namespace

// Every image is asked once, at the scale, whether there are fewer images
// than helper threads or many more.
TEST(DecodeTogether, AsksEveryImageOnceAtTheScale) {
  for (int count : {0, 1, 2, kMaxDecodeHelpers + 1, 40}) {
    std::vector<std::unique_ptr<CountingImage>> owned;
    std::vector<IScaledImage*> images;
    for (int i = 0; i < count; ++i) {
      owned.emplace_back(new CountingImage(1 + (i * 7) % 13));
      images.push_back(owned.back().get());
    }
    DecodeTogether(images.data(), count, 2);
    for (const auto& image : owned) {
      EXPECT_EQ(image->mCalls.load(), 1) << count << " images";
      EXPECT_EQ(image->mScale, 2);
    }
  }
}
