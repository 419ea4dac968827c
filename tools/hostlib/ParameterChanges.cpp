#include "ParameterChanges.h"

#include <algorithm>

using namespace Steinberg;

namespace halvane::host {

void ParamValueQueue::reset(Vst::ParamID id) {
    id_ = id;
    unreadable_ = false;
    points_.clear();
}

int32 PLUGIN_API ParamValueQueue::getPointCount() {
    return static_cast<int32>(points_.size());
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, Vst::ParamValue& value) {
    if (unreadable_ || index < 0 || index >= static_cast<int32>(points_.size()))
        return kResultFalse;
    sampleOffset = points_[static_cast<size_t>(index)].first;
    value = points_[static_cast<size_t>(index)].second;
    return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value, int32& index) {
    // After every point at or before this offset, so equal offsets keep their order.
    const auto at = std::upper_bound(points_.begin(), points_.end(), sampleOffset,
                                     [](int32 offset, const auto& point) { return offset < point.first; });
    try {
        index = static_cast<int32>(points_.insert(at, {sampleOffset, value}) - points_.begin());
        return kResultOk;
    } catch (...) {
        index = -1;
        return kOutOfMemory;
    }
}

void ParameterChanges::clear() {
    for (int32 i = 0; i < used_; ++i)
        queues_[static_cast<size_t>(i)]->reset(0);
    used_ = 0;
}

bool ParameterChanges::addChange(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value) {
    int32 index = -1;
    Vst::IParamValueQueue* queue = addParameterData(id, index);
    return queue && queue->addPoint(sampleOffset, value, index) == kResultOk;
}

ParamValueQueue* ParameterChanges::queueFor(Vst::ParamID id) {
    for (int32 i = 0; i < used_; ++i)
        if (queues_[static_cast<size_t>(i)]->getParameterId() == id)
            return queues_[static_cast<size_t>(i)];
    return nullptr;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
    if (index < 0 || index >= used_)
        return nullptr;
    return queues_[static_cast<size_t>(index)];
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id, int32& index) {
    for (int32 i = 0; i < used_; ++i) {
        if (queues_[static_cast<size_t>(i)]->getParameterId() == id) {
            index = i;
            return queues_[static_cast<size_t>(i)];
        }
    }
    try {
        if (used_ == static_cast<int32>(queues_.size()))
            queues_.push_back(owned(new ParamValueQueue(id)));
        ParamValueQueue* queue = queues_[static_cast<size_t>(used_)];
        queue->reset(id);
        index = used_++;
        return queue;
    } catch (...) {
        index = -1;
        return nullptr;
    }
}

} // namespace halvane::host
