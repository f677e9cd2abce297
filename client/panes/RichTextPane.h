#pragma once
// The "Report", "Recreate Step", "Workaround" and "Resolution" tabs: one of the bug's rich
// texts, read-only.
#include <QTextEdit>

#include "client/panes/DetailPane.h"

namespace tarnwick {

class RichTextPane : public DetailPane {
    Q_OBJECT
  public:
    using Getter = HRESULT (STDMETHODCALLTYPE IBug::*)(BSTR*);
    RichTextPane(const QString& caption, Getter text, QWidget* parent = nullptr);
    void showBug(IBug* bug) override;
    QTextDocument* document() const { return view_->document(); }

  private:
    Getter text_;
    QTextEdit* view_;
};

} // namespace tarnwick
