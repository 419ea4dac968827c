#include "ComponentHandler.h"

using namespace Steinberg;

namespace halvane::host {

std::vector<EditEvent> ComponentHandler::edits() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return edits_;
}

std::vector<int32> ComponentHandler::restarts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return restarts_;
}

void ComponentHandler::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    edits_.clear();
    restarts_.clear();
}

tresult ComponentHandler::record(EditEvent event) {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        edits_.push_back(event);
        return kResultOk;
    } catch (...) {
        return kOutOfMemory;
    }
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id) {
    return record({EditEvent::Kind::Begin, id, 0.0});
}

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue valueNormalized) {
    return record({EditEvent::Kind::Perform, id, valueNormalized});
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id) {
    return record({EditEvent::Kind::End, id, 0.0});
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags) {
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        restarts_.push_back(flags);
        return kResultOk;
    } catch (...) {
        return kOutOfMemory;
    }
}

} // namespace halvane::host
