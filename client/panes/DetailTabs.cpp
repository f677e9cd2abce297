#include "client/panes/DetailTabs.h"

#include <QScrollArea>

#include "client/panes/AttachmentPane.h"
#include "client/panes/GeneralPane.h"
#include "client/panes/RichTextPane.h"
#include "client/panes/SystemInfoPane.h"

namespace tarnwick {

DetailTabs::DetailTabs(DateFormatter formatDate, QWidget* parent)
    : QTabWidget(parent), general_(new GeneralPane(formatDate, this)),
      report_(new RichTextPane(QStringLiteral("Report"), &IBug::get_Report, this)),
      recreateStep_(
          new RichTextPane(QStringLiteral("Recreate Step"), &IBug::get_RecreateStep, this)),
      workaround_(new RichTextPane(QStringLiteral("Workaround"), &IBug::get_Workaround, this)),
      resolution_(new RichTextPane(QStringLiteral("Resolution"), &IBug::get_Resolution, this)),
      attachment_(new AttachmentPane(formatDate, this)), systemInfo_(new SystemInfoPane(this)) {
    setAccessibleName(QStringLiteral("Details"));
    // The form panes scroll, so the lists above can take most of the window's height.
    const auto scrolled = [this](QWidget* pane) {
        auto* area = new QScrollArea(this);
        area->setWidget(pane);
        area->setWidgetResizable(true);
        area->setFrameShape(QFrame::NoFrame);
        return area;
    };
    addTab(scrolled(general_), QStringLiteral("General"));
    addTab(report_, QStringLiteral("Report"));
    addTab(recreateStep_, QStringLiteral("Recreate Step"));
    addTab(workaround_, QStringLiteral("Workaround"));
    addTab(resolution_, QStringLiteral("Resolution"));
    addTab(attachment_, QStringLiteral("Attachment"));
    addTab(scrolled(systemInfo_), QStringLiteral("System Infomation"));
}

std::optional<EngineFailure> DetailTabs::showBug(IBug* bug, IExeContext* session) {
    systemInfo_->setSession(session);
    std::optional<EngineFailure> first;
    // The order in which the panes learn of a new selection.
    for (DetailPane* pane : std::initializer_list<DetailPane*>{
             report_, general_, recreateStep_, resolution_, workaround_, attachment_, systemInfo_})
        Attempt([&] { pane->showBug(bug); },
                [&](const EngineFailure& failure) {
                    if (!first) first = failure;
                });
    return first;
}

} // namespace tarnwick
