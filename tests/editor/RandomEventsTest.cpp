#include "EditorTestSupport.h"

#include <map>
#include <random>

using namespace EditorLayout;

namespace {

// One random event at a random point, anywhere on or just off the editor.
void RandomEvent(IGraphicsHeadless& surface, std::mt19937& random) {
    std::uniform_int_distribution<int> kind(0, 9), x(-20, kWidth + 20), y(-20, kHeight + 20), bit(0, 1);
    const MouseMods mods{bit(random) == 1, bit(random) == 1, bit(random) == 1, bit(random) == 1,
                         bit(random) == 1};
    const int px = x(random), py = y(random);
    switch (kind(random)) {
    case 0:
    case 1:
        surface.RoutePointerDown(px, py, mods);
        break;
    case 2:
    case 3:
        surface.RoutePointerDrag(px, py, mods);
        break;
    case 4:
        surface.RoutePointerUp(px, py, mods);
        break;
    case 5:
        surface.RouteWheel(px, py, mods, std::uniform_real_distribution<double>(-3.0, 3.0)(random));
        break;
    case 6:
        surface.RouteHover(px, py, mods);
        break;
    case 7:
        surface.RouteKey(px, py, std::uniform_int_distribution<int>(0, 255)(random));
        break;
    case 8:
        surface.RouteDoubleClick(px, py, mods);
        break;
    default:
        if (bit(random))
            surface.RoutePointerLeft();
        else
            surface.Tick();
        break;
    }
}

} // namespace

// Whatever the user does, the host sees whole gestures one at a time and every control stays in range.
TEST_F(EditorTest, RandomEventSequencesKeepGesturesWholeAndValuesInRange) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> length(1, 12);
    for (int sequence = 0; sequence < 10000; ++sequence) {
        const int events = length(random);
        for (int i = 0; i < events; ++i)
            RandomEvent(surface(), random);
        // The button comes up in the end and the deferred end of a wheel turn runs out.
        surface().RoutePointerUp(10, 10, MouseMods{});
        session->Ticks(13);

        for (int i = 0; i < surface().ControlCount(); ++i) {
            const double v = control(i)->Value();
            ASSERT_TRUE(v >= 0.0 && v <= 1.0) << "sequence " << sequence << ", control " << i << ": " << v;
        }
        int open = -1;
        for (const auto& e : session->Handler().edits()) {
            if (e.kind == halvane::host::EditEvent::Kind::Begin) {
                ASSERT_EQ(open, -1) << "sequence " << sequence << ": a second gesture began inside one";
                open = static_cast<int>(e.id);
            } else if (e.kind == halvane::host::EditEvent::Kind::Perform) {
                ASSERT_EQ(open, static_cast<int>(e.id))
                    << "sequence " << sequence << ": a change outside its gesture";
            } else {
                ASSERT_EQ(open, static_cast<int>(e.id))
                    << "sequence " << sequence << ": an end without its begin";
                open = -1;
            }
        }
        ASSERT_EQ(open, -1) << "sequence " << sequence << ": a gesture left open";
        clearEdits();
    }
}
