#include "vst3/VST3Factory.h"

#include <cstring>

#include "vst3/IPluginVST3.h"
#include "vst3/VST3Product.h"
#include "vst3/VST3Strings.h"
#include "vst3/VST3Unknown.h"

namespace {

// The interface version the declarations here follow.
const char* const kSDKVersion = "VST 3.7.9";

class Factory : public vst3::IPluginFactory3 {
public:
  vst3::tresult queryInterface(const vst3::TUID iid, void** obj) override {
    const vst3::Offered offered[] = {
        {&vst3::iid::kFUnknown, this},
        {&vst3::iid::kIPluginFactory, this},
        {&vst3::iid::kIPluginFactory2, this},
        {&vst3::iid::kIPluginFactory3, this},
    };
    return vst3::QueryOffered(iid, obj, offered, (int)(sizeof offered / sizeof offered[0]));
  }
  vst3::uint32 addRef() override { return 1; }
  vst3::uint32 release() override { return 1; }

  vst3::tresult getFactoryInfo(vst3::PFactoryInfo* info) override {
    if (!info) return vst3::kInvalidArgument;
    const IPluginVST3Product& p = VST3Product();
    CopyToField(info->vendor, vst3::PFactoryInfo::kNameSize, p.mVendor);
    CopyToField(info->url, vst3::PFactoryInfo::kURLSize, p.mURL);
    CopyToField(info->email, vst3::PFactoryInfo::kEmailSize, p.mEmail);
    info->flags = vst3::PFactoryInfo::kUnicode;
    return vst3::kResultOk;
  }

  vst3::int32 countClasses() override { return 1; }

  vst3::tresult getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override {
    if (index != 0 || !info) return vst3::kInvalidArgument;
    const IPluginVST3Product& p = VST3Product();
    std::memcpy(info->cid, p.mClassID.bytes, sizeof info->cid);
    info->cardinality = vst3::PClassInfo::kManyInstances;
    CopyToField(info->category, vst3::PClassInfo::kCategorySize, vst3::kAudioModuleClass);
    CopyToField(info->name, vst3::PClassInfo::kNameSize, p.mName);
    return vst3::kResultOk;
  }

  vst3::tresult getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override {
    if (index != 0 || !info) return vst3::kInvalidArgument;
    const IPluginVST3Product& p = VST3Product();
    vst3::PClassInfo base;
    getClassInfo(index, &base);
    std::memcpy(info->cid, base.cid, sizeof info->cid);
    info->cardinality = base.cardinality;
    std::memcpy(info->category, base.category, sizeof info->category);
    std::memcpy(info->name, base.name, sizeof info->name);
    info->classFlags = 0;  // not distributable: one object is component and controller
    CopyToField(info->subCategories, vst3::PClassInfo2::kSubCategoriesSize, p.mSubCategories);
    CopyToField(info->vendor, vst3::PClassInfo2::kVendorSize, p.mVendor);
    CopyToField(info->version, vst3::PClassInfo2::kVersionSize, p.mVersion);
    CopyToField(info->sdkVersion, vst3::PClassInfo2::kVersionSize, kSDKVersion);
    return vst3::kResultOk;
  }

  vst3::tresult getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) override {
    if (index != 0 || !info) return vst3::kInvalidArgument;
    vst3::PClassInfo2 ascii;
    getClassInfo2(index, &ascii);
    std::memcpy(info->cid, ascii.cid, sizeof info->cid);
    info->cardinality = ascii.cardinality;
    std::memcpy(info->category, ascii.category, sizeof info->category);
    CopyToUTF16(info->name, vst3::PClassInfo::kNameSize, ascii.name);
    info->classFlags = ascii.classFlags;
    std::memcpy(info->subCategories, ascii.subCategories, sizeof info->subCategories);
    CopyToUTF16(info->vendor, vst3::PClassInfo2::kVendorSize, ascii.vendor);
    CopyToUTF16(info->version, vst3::PClassInfo2::kVersionSize, ascii.version);
    CopyToUTF16(info->sdkVersion, vst3::PClassInfo2::kVersionSize, ascii.sdkVersion);
    return vst3::kResultOk;
  }

  vst3::tresult setHostContext(vst3::FUnknown* context) override { return vst3::kResultOk; }

  vst3::tresult createInstance(vst3::FIDString cid, vst3::FIDString iid, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    *obj = nullptr;
    if (!vst3::SameUID(cid, VST3Product().mClassID)) return vst3::kNoInterface;
    IPluginVST3* plug = VST3Product().mMake();
    if (!plug) return vst3::kOutOfMemory;
    const vst3::tresult result = plug->queryInterface(iid, obj);
    plug->release();  // the caller's reference, if any, is the one queryInterface gave
    return result;
  }
};

}  // namespace

vst3::IPluginFactory* VST3Factory() {
  static Factory sFactory;
  return &sFactory;
}
