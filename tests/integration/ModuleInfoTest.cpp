// The module info in the bundle, read as a host reads it to list the plug-in without loading it,
// must say exactly what the loaded module's factory reports.

#include "HalvaneHost.h"
#include "Json.h"

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace Steinberg;
using halvane::test::Json;

namespace halvane::integration {

namespace {

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

class ModuleInfo : public HalvaneFixture {};

TEST_F(ModuleInfo, SaysWhatTheLoadedModuleReports) {
    const std::optional<Json> info = Json::parse(
        fileText(std::filesystem::path(HALVANE_BUNDLE) / "Contents" / "Resources" / "moduleinfo.json"));
    ASSERT_TRUE(info) << "moduleinfo.json is missing or not JSON";

    PFactoryInfo factory{};
    ASSERT_TRUE(module()->factoryInfo(factory));
    const Json& factoryInfo = (*info)["Factory Info"];
    EXPECT_EQ(factoryInfo["Vendor"].text, factory.vendor);
    EXPECT_EQ(factoryInfo["URL"].text, factory.url);
    EXPECT_EQ(factoryInfo["E-Mail"].text, factory.email);
    EXPECT_EQ(factoryInfo["Flags"]["Unicode"].boolean, (factory.flags & PFactoryInfo::kUnicode) != 0);
    EXPECT_EQ(factoryInfo["Flags"]["Classes Discardable"].type, Json::Type::Bool);

    const std::vector<halvane::host::ClassInfo> classes = module()->classes();
    ASSERT_EQ((*info)["Classes"].items.size(), classes.size());
    ASSERT_EQ(classes.size(), 1u);
    const Json& entry = (*info)["Classes"].items[0];
    const halvane::host::ClassInfo& c = classes[0];
    EXPECT_EQ(entry["CID"].text, halvane::host::classIdString(c.cid));
    EXPECT_EQ(entry["CID"].text, "F2AEE70D00DE4F4E56726B7372737778");
    EXPECT_EQ(entry["Category"].text, c.category);
    EXPECT_EQ(entry["Name"].text, c.name);
    EXPECT_EQ(entry["Vendor"].text, c.vendor);
    EXPECT_EQ(entry["Version"].text, c.version);
    EXPECT_EQ(entry["SDKVersion"].text, c.sdkVersion);
    std::string subCategories;
    for (const Json& item : entry["Sub Categories"].items)
        subCategories += (subCategories.empty() ? "" : "|") + item.text;
    EXPECT_EQ(subCategories, c.subCategories);
    EXPECT_EQ(entry["Class Flags"].number, c.classFlags);
    EXPECT_EQ(entry["Cardinality"].number, c.cardinality);
    // The pictures it lists are in the bundle, one per scale.
    const std::vector<Json>& snapshots = entry["Snapshots"].items;
    ASSERT_EQ(snapshots.size(), 2u);
    for (size_t i = 0; i < snapshots.size(); ++i) {
        EXPECT_EQ(snapshots[i]["Scale Factor"].number, static_cast<double>(i + 1));
        EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(HALVANE_BUNDLE) / "Contents" /
                                                     "Resources" / snapshots[i]["Path"].text))
            << snapshots[i]["Path"].text;
    }
    EXPECT_EQ((*info)["Name"].text, std::filesystem::path(HALVANE_BUNDLE).stem().string());
    EXPECT_EQ((*info)["Version"].text, c.version);
}

} // namespace halvane::integration
