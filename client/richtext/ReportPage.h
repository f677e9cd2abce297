#pragma once
// The bug editor's pages for the rich texts: "Report", "Recreate Step", "Workaround" and
// "Resolution", each editing one RTF text of the bug, read-only when the role may not edit it.
#include "client/editor/EditorPage.h"

namespace tarnwick {

class RichTextEditor;

class ReportPage : public EditorPage {
    Q_OBJECT

  public:
    // Which text the page edits: 0 Report, 1 Recreate Step, 2 Workaround, 3 Resolution.
    enum Text { Report = 0, RecreateStep = 1, Workaround = 2, Resolution = 3 };

    explicit ReportPage(int index, QWidget* parent = nullptr);

    QString title() const override;
    // Reads the text into the editor, read-only unless the right allows editing it.
    void load(const BugEditorState& state) override;
    // Writes the editor's RTF into the bug when the user changed it. An unchanged text is left
    // as stored, byte for byte: it may hold what the editor does not show (pictures, tables).
    void save(const BugEditorState& state) override;
    bool isModified() const override;

    RichTextEditor* editor() const { return editor_; }
    int index() const { return index_; }

  private:
    int index_;
    RichTextEditor* editor_;
};

} // namespace tarnwick
