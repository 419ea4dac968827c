#include "EditorTestSupport.h"

#include <atomic>
#include <thread>

using namespace EditorLayout;

// Host automation and the lamp reach the controls from the audio thread while the user-interface
// thread handles the pointer and draws; under ThreadSanitizer nothing they share may race.
TEST_F(EditorTest, TheAudioThreadPushesValuesWhileTheEditorDraws) {
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        const std::vector<float> block(64, 0.01f);
        for (int i = 0; !stop.load(); ++i)
            session->Process({{kTime, (i % 100) / 100.0}, {kStereo, (i % 2) / 7.0}}, block);
    });
    int x, y;
    centreOf(indexOf(kPreDelay), &x, &y);
    for (int i = 0; i < 200; ++i) {
        session->Drag(x, y, x, y - i % 40);
        session->Ticks(1);
    }
    stop = true;
    audio.join();
    for (int i = 0; i < surface().ControlCount(); ++i)
        EXPECT_TRUE(control(i)->Value() >= 0.0 && control(i)->Value() <= 1.0);
}
