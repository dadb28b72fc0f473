// queryInterface and reference counting as every object handed to a host
// answers them.

#include <gtest/gtest.h>

#include "vst3/VST3Unknown.h"

namespace {

class Counted : public vst3::IPlugFrame {
public:
  vst3::tresult queryInterface(const vst3::TUID iid, void** obj) override {
    const vst3::Offered offered[] = {{&vst3::iid::kFUnknown, this}, {&vst3::iid::kIPlugFrame, this}};
    return vst3::QueryOffered(iid, obj, offered, 2);
  }
  vst3::uint32 addRef() override { return mRefs.Add(); }
  vst3::uint32 release() override { return mRefs.Drop(); }
  vst3::tresult resizeView(vst3::IPlugView*, vst3::ViewRect*) override { return vst3::kResultOk; }

private:
  vst3::RefCount mRefs;
};

TEST(VST3Unknown, OfferedInterfacesComeWithAReferenceAndOthersAreRefused) {
  Counted object;
  void* obj = &object;
  EXPECT_EQ(object.queryInterface(vst3::iid::kIPlugFrame.bytes, nullptr), vst3::kInvalidArgument);
  EXPECT_EQ(object.queryInterface(vst3::iid::kIRunLoop.bytes, &obj), vst3::kNoInterface);
  EXPECT_EQ(obj, nullptr);
  EXPECT_EQ(object.addRef(), 2u);  // the refusals added none
  ASSERT_EQ(object.queryInterface(vst3::iid::kIPlugFrame.bytes, &obj), vst3::kResultOk);
  EXPECT_EQ(obj, static_cast<vst3::IPlugFrame*>(&object));
  EXPECT_EQ(object.release(), 2u);
  EXPECT_EQ(object.release(), 1u);
  EXPECT_EQ(object.release(), 0u);
}

}  // namespace
