#include "HostApplication.h"

#include "Utf16Text.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <new>

using namespace Steinberg;

namespace halvane::host {

HostApplication::HostApplication(std::string name) : name_(std::move(name)) {}

tresult PLUGIN_API HostApplication::getName(Vst::String128 name) {
    if (!name)
        return kInvalidArgument;
    utf8ToUtf16(name_.c_str(), name, 128);
    return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID cid, TUID interfaceId, void** obj) {
    if (!obj)
        return kInvalidArgument;
    *obj = nullptr;
    if (!cid || !interfaceId)
        return kInvalidArgument;
    const FUID classId = FUID::fromTUID(cid);
    const FUID requested = FUID::fromTUID(interfaceId);
    if (classId == Vst::IMessage::iid && requested == Vst::IMessage::iid) {
        *obj = static_cast<Vst::IMessage*>(new (std::nothrow) Vst::HostMessage);
    } else if (classId == Vst::IAttributeList::iid && requested == Vst::IAttributeList::iid) {
        *obj = static_cast<Vst::IAttributeList*>(new (std::nothrow) Vst::HostAttributeList);
    } else {
        return kNoInterface;
    }
    return *obj ? kResultOk : kOutOfMemory;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
#if SMTG_OS_LINUX
    if (runLoop_ && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
        runLoop_->addRef();
        *obj = runLoop_;
        return kResultOk;
    }
#endif
    QUERY_INTERFACE(iid, obj, Vst::IHostApplication::iid, Vst::IHostApplication)
    return FObject::queryInterface(iid, obj);
}

} // namespace halvane::host
