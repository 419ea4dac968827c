#pragma once

// One plug-in instance set up the way a host sets it up: created from its module's factory,
// initialised with our host context, its component, audio processor, edit controller (on
// the same object or a separate one named by getControllerClassId) and unit info queried,
// and our component handler installed. The destructor stops processing, deactivates,
// terminates and releases it, in that order.

#include "BufferStream.h"
#include "ComponentHandler.h"
#include "HostApplication.h"
#include "Module.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <memory>
#include <string>
#include <vector>

namespace halvane::host {

struct ProgramList {
    Steinberg::Vst::ProgramListInfo info;
    std::vector<std::string> names; // UTF-8, one per program
};

class PluginInstance {
  public:
    // Null on failure, with the reason in error. The instance keeps module alive.
    static std::unique_ptr<PluginInstance> create(std::shared_ptr<Module> module, const ClassId& cid,
                                                  const std::string& hostName, std::string& error);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // Borrowed; component and processor are never null, controller only for a plug-in that
    // has none, unitInfo whenever the controller lacks IUnitInfo.
    Steinberg::Vst::IComponent* component() const { return component_; }
    Steinberg::Vst::IAudioProcessor* processor() const { return processor_; }
    Steinberg::Vst::IEditController* controller() const { return controller_; }
    Steinberg::Vst::IUnitInfo* unitInfo() const { return unitInfo_; }
    bool hasSeparateController() const { return separateController_; }
    HostApplication& hostApplication() { return *host_; }
    ComponentHandler& componentHandler() { return *handler_; }
    Module& module() { return *module_; }

    //--- lifecycle; each returns the plug-in's answer
    // Activates every bus (audio and event) that the plug-in flags default-active.
    Steinberg::tresult activateDefaultBuses();
    Steinberg::tresult setupProcessing(double sampleRate, Steinberg::int32 maxSamplesPerBlock,
                                       Steinberg::int32 sampleSize,
                                       Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
    Steinberg::tresult setActive(bool active);
    Steinberg::tresult setProcessing(bool processing);
    Steinberg::tresult process(Steinberg::Vst::ProcessData& data) { return processor_->process(data); }

    //--- component state; loadState also hands it to a separate controller
    Steinberg::tresult saveState(std::vector<char>& bytes);
    Steinberg::tresult loadState(const std::vector<char>& bytes,
                                 BufferStream::ShortRead shortRead = BufferStream::ShortRead::Succeeds);

    //--- the controller's view, empty without a controller
    std::vector<Steinberg::Vst::ParameterInfo> parameters() const;
    // Exact match on the UTF-8 title.
    bool findParameter(const std::string& title, Steinberg::Vst::ParameterInfo& found) const;
    std::vector<ProgramList> programLists() const;
    // The parameter that picks programs (flagged kIsProgramChange); false when there is none.
    bool findProgramParameter(Steinberg::Vst::ParameterInfo& found) const;
    // The names of the programs that parameter picks, one per index (unused slots empty): the program
    // list of its unit, or the only list there is; empty when the plug-in offers none.
    std::vector<std::string> programNames() const;

  private:
    PluginInstance() = default;
    void connectController();
    void disconnectController();

    std::shared_ptr<Module> module_;
    Steinberg::IPtr<HostApplication> host_;
    Steinberg::IPtr<ComponentHandler> handler_;
    Steinberg::IPtr<Steinberg::Vst::IComponent> component_;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> processor_;
    Steinberg::IPtr<Steinberg::Vst::IEditController> controller_;
    Steinberg::IPtr<Steinberg::Vst::IUnitInfo> unitInfo_;
    bool componentInitialized_ = false;
    bool controllerInitialized_ = false;
    bool separateController_ = false;
    bool connected_ = false;
    bool active_ = false;
    bool processing_ = false;
};

std::string parameterTitle(const Steinberg::Vst::ParameterInfo& info);

} // namespace halvane::host
