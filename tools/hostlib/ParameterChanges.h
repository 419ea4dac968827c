#pragma once

// Host-side parameter-change queues for one process block (IParameterChanges with one
// IParamValueQueue per parameter id). Points stay ordered by sample offset; points with the
// same offset keep the order they were added in. clear() keeps the queue objects for reuse,
// so a host that sizes them once does not allocate per block.

#include "base/source/fobject.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <utility>
#include <vector>

namespace halvane::host {

class ParamValueQueue : public Steinberg::FObject, public Steinberg::Vst::IParamValueQueue {
  public:
    explicit ParamValueQueue(Steinberg::Vst::ParamID id = 0) : id_(id) {}

    void reset(Steinberg::Vst::ParamID id);
    // For robustness tests: getPoint then reports kResultFalse for every index.
    void setUnreadable(bool unreadable) { unreadable_ = unreadable; }

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return id_; }
    Steinberg::int32 PLUGIN_API getPointCount() SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset, Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) SMTG_OVERRIDE;

    OBJ_METHODS(ParamValueQueue, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IParamValueQueue)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    Steinberg::Vst::ParamID id_;
    bool unreadable_ = false;
    std::vector<std::pair<Steinberg::int32, Steinberg::Vst::ParamValue>> points_;
};

class ParameterChanges : public Steinberg::FObject, public Steinberg::Vst::IParameterChanges {
  public:
    // Empties every queue (keeping them allocated).
    void clear();
    // Host-side shorthand for addParameterData + addPoint; false when out of memory.
    bool addChange(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
                   Steinberg::Vst::ParamValue value);
    // The queue for id in this block, or null.
    ParamValueQueue* queueFor(Steinberg::Vst::ParamID id);

    Steinberg::int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return used_; }
    // Null for an index outside [0, count).
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) SMTG_OVERRIDE;
    // The existing queue for id, or a new one; null (index -1) when out of memory.
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                  Steinberg::int32& index) SMTG_OVERRIDE;

    OBJ_METHODS(ParameterChanges, FObject)
    DEFINE_INTERFACES
    DEF_INTERFACE(Steinberg::Vst::IParameterChanges)
    END_DEFINE_INTERFACES(FObject)
    REFCOUNT_METHODS(FObject)

  private:
    std::vector<Steinberg::IPtr<ParamValueQueue>> queues_;
    Steinberg::int32 used_ = 0;
};

} // namespace halvane::host
