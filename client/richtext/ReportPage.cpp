#include "client/richtext/ReportPage.h"

#include <QTextEdit>
#include <QVBoxLayout>

#include "client/richtext/RichTextEditor.h"

namespace tarnwick {
namespace {

// What each page edits: its caption, the bug's property and the right that allows editing it.
struct PageText {
    const char* title;
    HRESULT (STDMETHODCALLTYPE IBug::*get)(BSTR*);
    HRESULT (STDMETHODCALLTYPE IBug::*put)(BSTR);
    HRESULT (STDMETHODCALLTYPE IRight::*right)(LONG*);
};

const PageText kPages[] = {
    {"Report", &IBug::get_Report, &IBug::put_Report, &IRight::get_EditReport},
    {"Recreate Step", &IBug::get_RecreateStep, &IBug::put_RecreateStep,
     &IRight::get_EditRecreateStep},
    {"Workaround", &IBug::get_Workaround, &IBug::put_Workaround, &IRight::get_EditWorkAround},
    {"Resolution", &IBug::get_Resolution, &IBug::put_Resolution, &IRight::get_EditResolution},
};

const PageText& PageAt(int index) {
    Q_ASSERT(index >= 0 && index < int(std::size(kPages)));
    return kPages[index];
}

} // namespace

ReportPage::ReportPage(int index, QWidget* parent)
    : EditorPage(parent), index_(index), editor_(new RichTextEditor(this)) {
    PageAt(index); // checks the index
    editor_->textEdit()->setAccessibleName(title());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(editor_);
    connect(editor_, &RichTextEditor::modified, this, &EditorPage::modified);
}

QString ReportPage::title() const {
    return QString::fromLatin1(PageAt(index_).title);
}

void ReportPage::load(const BugEditorState& state) {
    const PageText& page = PageAt(index_);
    const QString text = tarnwick::Text(state.bug.Get(), page.get);
    const bool editable = state.right && Long(state.right.Get(), page.right) > 0;
    editor_->setRtf(text);
    editor_->setReadOnly(!editable);
}

void ReportPage::save(const BugEditorState& state) {
    if (editor_->isReadOnly() || !editor_->isModified()) return;
    Check((state.bug.Get()->*PageAt(index_).put)(ToBstr(editor_->rtf()).Get()));
}

bool ReportPage::isModified() const {
    return editor_->isModified();
}

} // namespace tarnwick
