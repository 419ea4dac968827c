#include "PluginInstance.h"

#include "Utf16Text.h"
#include "pluginterfaces/vst/ivstmessage.h"

#include <algorithm>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace halvane::host {

namespace {

template <typename Interface> IPtr<Interface> query(FUnknown* object) {
    void* obj = nullptr;
    if (object && object->queryInterface(Interface::iid, &obj) == kResultOk && obj)
        return owned(static_cast<Interface*>(obj));
    return nullptr;
}

template <typename Interface>
IPtr<Interface> createFromFactory(IPluginFactory* factory, const TUID cid, tresult& result) {
    void* obj = nullptr;
    result = factory->createInstance(cid, Interface::iid, &obj);
    if (result == kResultOk && obj)
        return owned(static_cast<Interface*>(obj));
    if (result == kResultOk)
        result = kNoInterface;
    return nullptr;
}

std::string resultText(tresult result) {
    return "result " + std::to_string(result);
}

} // namespace

std::string parameterTitle(const ParameterInfo& info) {
    return utf16ToUtf8(info.title, 128);
}

std::unique_ptr<PluginInstance> PluginInstance::create(std::shared_ptr<Module> module, const ClassId& cid,
                                                       const std::string& hostName, std::string& error) {
    if (!module) {
        error = "no module";
        return nullptr;
    }
    std::unique_ptr<PluginInstance> instance(new PluginInstance());
    PluginInstance& self = *instance;
    self.module_ = std::move(module);
    self.host_ = owned(new HostApplication(hostName));
    self.handler_ = owned(new ComponentHandler());
    FUnknown* context = static_cast<IHostApplication*>(self.host_);

    IPluginFactory* factory = self.module_->factory();
    if (IPluginFactory3* factory3 = self.module_->factory3())
        factory3->setHostContext(context);

    TUID classId;
    std::copy(cid.begin(), cid.end(), classId);
    tresult result = kResultOk;
    self.component_ = createFromFactory<IComponent>(factory, classId, result);
    if (!self.component_) {
        error = "the factory did not create the class as IComponent (" + resultText(result) + ")";
        return nullptr;
    }
    result = self.component_->initialize(context);
    if (result != kResultOk) {
        error = "IComponent::initialize failed (" + resultText(result) + ")";
        return nullptr;
    }
    self.componentInitialized_ = true;

    self.processor_ = query<IAudioProcessor>(self.component_);
    if (!self.processor_) {
        error = "the component has no IAudioProcessor";
        return nullptr;
    }

    self.controller_ = query<IEditController>(self.component_);
    if (!self.controller_) {
        TUID controllerId = {};
        if (self.component_->getControllerClassId(controllerId) == kResultTrue) {
            self.controller_ = createFromFactory<IEditController>(factory, controllerId, result);
            if (!self.controller_) {
                error = "the controller class could not be created (" + resultText(result) + ")";
                return nullptr;
            }
            self.separateController_ = true;
            result = self.controller_->initialize(context);
            if (result != kResultOk) {
                error = "IEditController::initialize failed (" + resultText(result) + ")";
                return nullptr;
            }
            self.controllerInitialized_ = true;
        }
    }

    if (self.controller_) {
        self.controller_->setComponentHandler(self.handler_);
        self.unitInfo_ = query<IUnitInfo>(self.controller_);
    }
    if (self.separateController_) {
        self.connectController();
        auto state = owned(new BufferStream());
        if (self.component_->getState(state) == kResultOk) {
            state->rewind();
            self.controller_->setComponentState(state);
        }
    }
    return instance;
}

PluginInstance::~PluginInstance() {
    if (processing_ && processor_)
        processor_->setProcessing(false);
    if (active_ && component_)
        component_->setActive(false);
    if (controller_)
        controller_->setComponentHandler(nullptr);
    disconnectController();
    unitInfo_ = nullptr;
    if (separateController_ && controllerInitialized_)
        controller_->terminate();
    controller_ = nullptr;
    processor_ = nullptr;
    if (componentInitialized_)
        component_->terminate();
    component_ = nullptr;
}

void PluginInstance::connectController() {
    auto componentPoint = query<IConnectionPoint>(component_);
    auto controllerPoint = query<IConnectionPoint>(controller_);
    if (componentPoint && controllerPoint) {
        componentPoint->connect(controllerPoint);
        controllerPoint->connect(componentPoint);
        connected_ = true;
    }
}

void PluginInstance::disconnectController() {
    if (!connected_)
        return;
    auto componentPoint = query<IConnectionPoint>(component_);
    auto controllerPoint = query<IConnectionPoint>(controller_);
    if (componentPoint && controllerPoint) {
        componentPoint->disconnect(controllerPoint);
        controllerPoint->disconnect(componentPoint);
    }
    connected_ = false;
}

tresult PluginInstance::activateDefaultBuses() {
    tresult first = kResultOk;
    for (MediaType type : {kAudio, kEvent}) {
        for (BusDirection dir : {kInput, kOutput}) {
            const int32 count = component_->getBusCount(type, dir);
            for (int32 i = 0; i < count; ++i) {
                BusInfo info{};
                if (component_->getBusInfo(type, dir, i, info) != kResultOk ||
                    (info.flags & BusInfo::kDefaultActive) == 0)
                    continue;
                const tresult result = component_->activateBus(type, dir, i, true);
                if (result != kResultOk && first == kResultOk)
                    first = result;
            }
        }
    }
    return first;
}

tresult PluginInstance::setupProcessing(double sampleRate, int32 maxSamplesPerBlock, int32 sampleSize,
                                        int32 processMode) {
    ProcessSetup setup{processMode, sampleSize, maxSamplesPerBlock, sampleRate};
    return processor_->setupProcessing(setup);
}

tresult PluginInstance::setActive(bool active) {
    const tresult result = component_->setActive(active);
    active_ = active && result == kResultOk;
    return result;
}

tresult PluginInstance::setProcessing(bool processing) {
    // Remembered whatever the answer, so the destructor always says stop after a start.
    processing_ = processing;
    return processor_->setProcessing(processing);
}

tresult PluginInstance::saveState(std::vector<char>& bytes) {
    auto stream = owned(new BufferStream());
    const tresult result = component_->getState(stream);
    bytes = stream->bytes();
    return result;
}

tresult PluginInstance::loadState(const std::vector<char>& bytes, BufferStream::ShortRead shortRead) {
    auto stream = owned(new BufferStream(bytes, shortRead));
    const tresult result = component_->setState(stream);
    if (separateController_ && controller_) {
        auto copy = owned(new BufferStream(bytes, shortRead));
        controller_->setComponentState(copy);
    }
    return result;
}

std::vector<ParameterInfo> PluginInstance::parameters() const {
    std::vector<ParameterInfo> result;
    if (!controller_)
        return result;
    const int32 count = controller_->getParameterCount();
    for (int32 i = 0; i < count; ++i) {
        ParameterInfo info{};
        if (controller_->getParameterInfo(i, info) == kResultOk)
            result.push_back(info);
    }
    return result;
}

bool PluginInstance::findParameter(const std::string& title, ParameterInfo& found) const {
    for (const ParameterInfo& info : parameters()) {
        if (parameterTitle(info) == title) {
            found = info;
            return true;
        }
    }
    return false;
}

std::vector<ProgramList> PluginInstance::programLists() const {
    std::vector<ProgramList> result;
    if (!unitInfo_)
        return result;
    const int32 count = unitInfo_->getProgramListCount();
    for (int32 i = 0; i < count; ++i) {
        ProgramList list{};
        if (unitInfo_->getProgramListInfo(i, list.info) != kResultOk)
            continue;
        for (int32 p = 0; p < list.info.programCount; ++p) {
            String128 name = {};
            list.names.push_back(unitInfo_->getProgramName(list.info.id, p, name) == kResultOk
                                     ? utf16ToUtf8(name, 128)
                                     : std::string());
        }
        result.push_back(std::move(list));
    }
    return result;
}

bool PluginInstance::findProgramParameter(ParameterInfo& found) const {
    for (const ParameterInfo& info : parameters()) {
        if (info.flags & ParameterInfo::kIsProgramChange) {
            found = info;
            return true;
        }
    }
    return false;
}

std::vector<std::string> PluginInstance::programNames() const {
    ParameterInfo program{};
    if (!unitInfo_ || !findProgramParameter(program))
        return {};
    ProgramListID listId = kNoProgramListId;
    const int32 unitCount = unitInfo_->getUnitCount();
    for (int32 i = 0; i < unitCount; ++i) {
        UnitInfo unit{};
        if (unitInfo_->getUnitInfo(i, unit) == kResultOk && unit.id == program.unitId)
            listId = unit.programListId;
    }
    const std::vector<ProgramList> lists = programLists();
    for (const ProgramList& list : lists)
        if (list.info.id == listId)
            return list.names;
    return lists.size() == 1 ? lists.front().names : std::vector<std::string>();
}

} // namespace halvane::host
