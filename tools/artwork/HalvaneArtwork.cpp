// halvane-artwork OUTPUT_DIR: paints the editor's fourteen images as <id>_<name>.png into OUTPUT_DIR.

#include <cairo.h>

#include <cstdio>
#include <string>

#include "Artwork.h"
#include "EditorLayout.h"
#include "ParameterTable.h"

namespace Artwork {

std::vector<std::string> TextsOf(int param) {
    const ParamDefinition& p = ParamTable()[static_cast<size_t>(param)];
    std::vector<std::string> texts;
    for (int i = 0; i < p.textCount; ++i)
        texts.emplace_back(p.texts[i]);
    return texts;
}

} // namespace Artwork

namespace {

using namespace EditorLayout;

// "img/select1_.png" with id 105 becomes "105_select1_.png".
std::string FileName(const ImageResource& image) {
    std::string name = image.name;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    return std::to_string(image.id) + "_" + name;
}

// The parameter whose texts a choice image shows.
int ChoiceParam(int id) {
    switch (id) {
    case kImgSpace:
    case kImgSpaceList:
        return kSpace;
    case kImgSurface:
    case kImgSurfaceList:
        return kSurface;
    case kImgStereo:
    case kImgStereoList:
        return kStereo;
    default:
        return kEqType;
    }
}

int ColumnsOf(int listId) {
    for (const Control& c : kControls)
        if (c.kind == ControlKind::DropDown && c.listImage == listId)
            return c.columns;
    return 1;
}

bool Paint(cairo_t* cr, const ImageResource& image) {
    switch (image.id) {
    case kImgBackground: {
        std::vector<std::string> problems;
        const bool ok = Artwork::PaintBackground(cr, &problems);
        for (const std::string& p : problems)
            std::fprintf(stderr, "halvane-artwork: %s\n", p.c_str());
        return ok;
    }
    case kImgKnob:
    case kImgKnobFilter:
    case kImgKnobLarge:
        Artwork::PaintKnobImage(cr, image.height);
        return true;
    case kImgSpace:
    case kImgSurface:
    case kImgStereo:
    case kImgFilterType:
        Artwork::PaintChoiceStrip(cr, image.width, Artwork::TextsOf(ChoiceParam(image.id)));
        return true;
    case kImgSpaceList:
    case kImgSurfaceList:
    case kImgStereoList:
    case kImgFilterTypeList:
        Artwork::PaintChoiceList(cr, image.width, image.height, ColumnsOf(image.id),
                                 Artwork::TextsOf(ChoiceParam(image.id)));
        return true;
    case kImgSlider:
        Artwork::PaintSliderHandle(cr, image.width, image.height);
        return true;
    case kImgSwitch:
        Artwork::PaintRoutingSwitch(cr, image.width / image.frames, image.height, Artwork::TextsOf(kEqMode));
        return true;
    default:
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: halvane-artwork OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int failures = 0;
    for (const ImageResource& image : kImages) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
        cairo_t* cr = cairo_create(surface);
        const bool painted = Paint(cr, image);
        cairo_destroy(cr);
        const std::string path = dir + "/" + FileName(image);
        if (!painted || cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "halvane-artwork: %s failed\n", path.c_str());
            ++failures;
        }
        cairo_surface_destroy(surface);
    }
    return failures == 0 ? 0 : 1;
}
