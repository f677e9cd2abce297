#include "client/panes/RichTextPane.h"

#include <QVBoxLayout>

#include "client/rtf/RtfReader.h"

namespace tarnwick {

RichTextPane::RichTextPane(const QString& caption, Getter text, QWidget* parent)
    : DetailPane(parent), text_(text), view_(new QTextEdit(this)) {
    view_->setReadOnly(true);
    view_->setAccessibleName(caption);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void RichTextPane::showBug(IBug* bug) {
    view_->clear();
    if (!bug) return;
    ReadRtf(Text(bug, text_), *view_->document());
}

} // namespace tarnwick
