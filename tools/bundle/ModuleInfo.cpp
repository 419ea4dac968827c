#include "ModuleInfo.h"
#include "Snapshots.h"

#include "base/source/fobject.h"
#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Steinberg;

namespace halvane::bundle {

namespace {

template <size_t N> std::string fieldText(const char8 (&text)[N]) {
    return std::string(text, std::find(text, text + N, '\0'));
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

// "Fx|Reverb" -> ["Fx", "Reverb"]
std::string subCategoryList(const std::string& subCategories) {
    std::string list = "[";
    size_t start = 0;
    while (start < subCategories.size()) {
        size_t end = subCategories.find('|', start);
        if (end == std::string::npos)
            end = subCategories.size();
        if (end > start)
            list +=
                std::string(list.size() > 1 ? ", " : "") + quoted(subCategories.substr(start, end - start));
        start = end + 1;
    }
    return list + "]";
}

std::string classIdText(const TUID cid) {
    char8 text[33] = {};
    FUID::fromTUID(cid).toString(text);
    return text;
}

// The effect's editor pictures; other classes have none.
std::string snapshotList(const PClassInfo2& c) {
    if (fieldText(c.category) != kVstAudioEffectClass)
        return "[]";
    std::string list = "[";
    for (int scale : kSnapshotScales) {
        list += list.size() > 1 ? ",\n" : "\n";
        list += "        {\n";
        list += "          \"Scale Factor\": " + std::to_string(scale) + ".0,\n";
        list += "          \"Path\": " + quoted(snapshotPath(classIdText(c.cid), scale)) + "\n";
        list += "        }";
    }
    return list + "\n      ]";
}

} // namespace

std::string moduleInfoJson(IPluginFactory& factory, const std::string& name, const std::string& version) {
    PFactoryInfo info{};
    factory.getFactoryInfo(&info);
    FUnknownPtr<IPluginFactory2> factory2(&factory);

    std::string json = "{\n";
    json += "  \"Name\": " + quoted(name) + ",\n";
    json += "  \"Version\": " + quoted(version) + ",\n";
    json += "  \"Factory Info\": {\n";
    json += "    \"Vendor\": " + quoted(fieldText(info.vendor)) + ",\n";
    json += "    \"URL\": " + quoted(fieldText(info.url)) + ",\n";
    json += "    \"E-Mail\": " + quoted(fieldText(info.email)) + ",\n";
    json += "    \"Flags\": {\n";
    json += std::string("      \"Unicode\": ") + boolText(info.flags & PFactoryInfo::kUnicode) + ",\n";
    json += std::string("      \"Classes Discardable\": ") +
            boolText(info.flags & PFactoryInfo::kClassesDiscardable) + ",\n";
    json += std::string("      \"Component Non Discardable\": ") +
            boolText(info.flags & PFactoryInfo::kComponentNonDiscardable) + "\n";
    json += "    }\n";
    json += "  },\n";
    json += "  \"Compatibility\": [],\n";
    json += "  \"Classes\": [";
    const int32 count = factory.countClasses();
    int32 written = 0;
    for (int32 i = 0; i < count; ++i) {
        PClassInfo2 c;
        if (!factory2 || factory2->getClassInfo2(i, &c) != kResultOk)
            continue;
        json += written++ > 0 ? ",\n" : "\n";
        json += "    {\n";
        json += "      \"CID\": " + quoted(classIdText(c.cid)) + ",\n";
        json += "      \"Category\": " + quoted(fieldText(c.category)) + ",\n";
        json += "      \"Name\": " + quoted(fieldText(c.name)) + ",\n";
        json += "      \"Vendor\": " + quoted(fieldText(c.vendor)) + ",\n";
        json += "      \"Version\": " + quoted(fieldText(c.version)) + ",\n";
        json += "      \"SDKVersion\": " + quoted(fieldText(c.sdkVersion)) + ",\n";
        json += "      \"Sub Categories\": " + subCategoryList(fieldText(c.subCategories)) + ",\n";
        json += "      \"Class Flags\": " + std::to_string(c.classFlags) + ",\n";
        json += "      \"Cardinality\": " + std::to_string(c.cardinality) + ",\n";
        json += "      \"Snapshots\": " + snapshotList(c) + "\n";
        json += "    }";
    }
    json += written > 0 ? "\n  ]\n" : "]\n";
    json += "}\n";
    return json;
}

} // namespace halvane::bundle
