#pragma once
// One tab of the detail area below the lists: shows one bug (or nothing) read-only.
#include <QWidget>

#include <functional>

#include "client/adapter/EngineCall.h"

namespace tarnwick {

// Writes an engine date as the client shows dates (empty for no date).
using DateFormatter = std::function<QString(DATE)>;

class DetailPane : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    // Shows the bug, or empties the pane when bug is null. Raises EngineFailure when the engine
    // refuses a read; the pane then shows what it read before the failure.
    virtual void showBug(IBug* bug) = 0;
};

} // namespace tarnwick
