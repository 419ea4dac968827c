#pragma once

class EditorSession;

// The editor in states worth looking at, each reached from a fresh instance through the real surface
// (pointer events) or the host (process calls), and drawn in full.
struct EditorState {
    const char* name; // file name without extension
    void (*reach)(EditorSession& session);
};

constexpr int kEditorStateCount = 7;
extern const EditorState kEditorStates[kEditorStateCount];

// Reaches the state and draws the whole editor.
void ShowEditorState(EditorSession& session, const EditorState& state);
