#pragma once

#include "CLS_HALVANE.h" // first: the SDK's controller headers must follow the plug-in's

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "EditorLayout.h"
#include "EditorSession.h"
#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "LICE_MemBitmap.h"
#include "LICE_PNG.h"

// Null when the file is missing or not a PNG.
inline std::unique_ptr<LICE_MemBitmap> ReadPng(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    std::vector<unsigned char> bytes;
    unsigned char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof(buffer), file)) > 0;)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
}

// A real Halvane instance made through the module's factory, its editor driven through the surface's
// routes, and what the host heard recorded by its component handler.
class EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        session = EditorSession::Create(&error);
        ASSERT_TRUE(session) << error;
    }

    IGraphicsHeadless& surface() { return session->Surface(); }
    CLS_HALVANE& plug() { return session->Plug(); }
    IControl* control(int index) { return surface().Control(index); }
    template <class T> T* as(int index) { return dynamic_cast<T*>(control(index)); }

    // The list index of the (first) control bound to `param`.
    static int indexOf(int param) {
        for (int i = 0; i < EditorLayout::kControlCount; ++i)
            if (EditorLayout::kControls[i].param == param)
                return i + 1;
        return -1;
    }
    static void centreOf(int index, int* x, int* y) {
        const EditorLayout::Control& c = EditorLayout::kControls[index - 1];
        *x = (c.left + c.right) / 2;
        *y = (c.top + c.bottom) / 2;
    }

    // What the host heard since the last clear, as "b1 p1 e1" (begin, performs, end with the id); a
    // run of performs on one parameter shows once.
    std::string gestures() {
        std::string text;
        std::string last;
        for (const auto& e : session->Handler().edits()) {
            const char kind = e.kind == halvane::host::EditEvent::Kind::Begin
                                  ? 'b'
                                  : (e.kind == halvane::host::EditEvent::Kind::End ? 'e' : 'p');
            const std::string item = std::string(1, kind) + std::to_string(e.id);
            if (kind == 'p' && item == last)
                continue;
            text += (text.empty() ? "" : " ") + item;
            last = item;
        }
        return text;
    }
    void clearEdits() { session->Handler().clear(); }

    std::unique_ptr<EditorSession> session;
};
