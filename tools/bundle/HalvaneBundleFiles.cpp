// halvane-bundle-files MODULEINFO PRESET_ROOT: writes what ships beside the module binary — the
// module info inside the bundle, the editor's snapshots beside it and one preset file per factory
// preset under PRESET_ROOT/<maker>/<effect>/, where hosts look for them. All come from the module's
// own factory, preset store and editor, linked into this program, so they cannot drift from what
// the module reports and shows.

#include "EffectIdentity.h"
#include "IPlugBase.h"
#include "ModuleInfo.h"
#include "PresetFiles.h"
#include "Snapshots.h"

#include "EditorSession.h"
#include "EditorStates.h"
#include "IGraphicsHeadless.h"
#include "LICE_MemBitmap.h"
#include "LICE_PNG.h"
#include "LICE_SysBitmap.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace Steinberg;
namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "halvane-bundle-files: %s\n", message.c_str());
    return 1;
}

bool writeText(const fs::path& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// The editor at its defaults, once per scale, each pixel repeated (hosts scale the 1x picture
// themselves where no larger one is given; a doubled one keeps the drawn edges sharp).
bool writeSnapshots(const fs::path& resources, const std::string& classId, std::string& error) {
    std::unique_ptr<EditorSession> session = EditorSession::Create(&error);
    if (!session)
        return false;
    ShowEditorState(*session, kEditorStates[0]);
    const LICE_IBitmap& drawn = *session->Surface().DrawBitmap();
    for (int scale : halvane::bundle::kSnapshotScales) {
        LICE_MemBitmap picture(drawn.Width() * scale, drawn.Height() * scale);
        for (int y = 0; y < picture.Height(); ++y)
            for (int x = 0; x < picture.Width(); ++x)
                *picture.PixelAt(x, y) = *drawn.PixelAt(x / scale, y / scale);
        const fs::path path = resources / fs::u8path(halvane::bundle::snapshotPath(classId, scale));
        std::error_code ec;
        fs::create_directories(path.parent_path(), ec);
        if (!LICE_WritePNG(path.u8string().c_str(), &picture)) {
            error = "cannot write " + path.u8string();
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return fail("usage: halvane-bundle-files MODULEINFO.json PRESET_ROOT");
    const fs::path moduleInfoPath = fs::u8path(argv[1]);
    const fs::path presetDir = fs::u8path(argv[2]) / EffectIdentity::kMakerName / EffectIdentity::kEffectName;

    IPtr<IPluginFactory> factory = owned(GetPluginFactory());
    if (!factory)
        return fail("the module has no factory");
    const std::string json = halvane::bundle::moduleInfoJson(*factory, EffectIdentity::kEffectName,
                                                             EffectIdentity::kVersionString);
    if (!writeText(moduleInfoPath, json))
        return fail("cannot write " + moduleInfoPath.u8string());

    PClassInfo effectClass;
    int32 index = 0;
    while (factory->getClassInfo(index, &effectClass) == kResultOk &&
           std::string(effectClass.category) != kVstAudioEffectClass)
        ++index;
    if (index >= factory->countClasses())
        return fail("the module has no audio effect class");
    IPtr<Vst::IComponent> component;
    if (factory->createInstance(effectClass.cid, Vst::IComponent::iid,
                                reinterpret_cast<void**>(&component)) != kResultOk ||
        !component)
        return fail("cannot create the effect");
    const auto* plug = dynamic_cast<const IPlugBase*>(component.get());
    if (!plug)
        return fail("the effect is not one of ours");

    // Old files of renamed presets must not linger.
    std::error_code ec;
    fs::remove_all(presetDir, ec);
    fs::create_directories(presetDir, ec);
    if (ec)
        return fail("cannot create " + presetDir.u8string() + ": " + ec.message());
    const FUID classId = FUID::fromTUID(effectClass.cid);
    char8 classIdText[33] = {};
    classId.toString(classIdText);
    std::string error;
    if (!writeSnapshots(moduleInfoPath.parent_path(), classIdText, error))
        return fail(error);
    int written = 0;
    for (int i = 0; i < plug->PresetCount(); ++i) {
        const Preset* preset = plug->GetPreset(i);
        if (!preset || !preset->initialised)
            continue;
        const fs::path path = presetDir / fs::u8path(halvane::bundle::presetFileName(preset->name));
        if (fs::exists(path))
            return fail("two presets share the file name " + path.filename().u8string());
        if (!halvane::bundle::writePresetFile(path.u8string(), classId, preset->data.Data(),
                                              preset->data.Size(), error))
            return fail(error);
        ++written;
    }
    std::printf("halvane-bundle-files: %s, snapshots and %d presets in %s\n",
                moduleInfoPath.filename().u8string().c_str(), written, presetDir.u8string().c_str());
    return 0;
}
