#pragma once
// The tabs below the lists that show the selected bug: "General", "Report", "Recreate Step",
// "Workaround", "Resolution", "Attachment" and "System Infomation".
#include <QTabWidget>

#include "client/panes/DetailPane.h"

namespace tarnwick {

class GeneralPane;
class RichTextPane;
class AttachmentPane;
class SystemInfoPane;

class DetailTabs : public QTabWidget {
    Q_OBJECT
  public:
    DetailTabs(DateFormatter formatDate, QWidget* parent = nullptr);

    // Hands the bug (or none) to every pane. A pane whose reads fail stays as far as it got;
    // the first failure is returned for the window to report.
    std::optional<EngineFailure> showBug(IBug* bug, IExeContext* session);

    GeneralPane* general() const { return general_; }
    RichTextPane* report() const { return report_; }
    RichTextPane* recreateStep() const { return recreateStep_; }
    RichTextPane* workaround() const { return workaround_; }
    RichTextPane* resolution() const { return resolution_; }
    AttachmentPane* attachment() const { return attachment_; }
    SystemInfoPane* systemInfo() const { return systemInfo_; }

  private:
    GeneralPane* general_;
    RichTextPane* report_;
    RichTextPane* recreateStep_;
    RichTextPane* workaround_;
    RichTextPane* resolution_;
    AttachmentPane* attachment_;
    SystemInfoPane* systemInfo_;
};

} // namespace tarnwick
