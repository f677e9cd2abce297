#pragma once
// "Production Property": every product with its description; Edit opens the product sheet on the
// chosen one and offers to bring the copied names up to date afterwards, Delete removes a
// product after two questions.
#include <QDialog>
#include <QPointer>

#include "client/adapter/EngineCall.h"
#include "client/admin/ProductSheet.h"

class QPushButton;
class QTreeWidget;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class ProductionPropertyDialog : public QDialog {
    Q_OBJECT
  public:
    ProductionPropertyDialog(ComPtr<IExeContext> session, MessageSink& messages,
                             QWidget* parent = nullptr);

    // Lists the products, then shows the dialog. When they cannot be read the engine's message
    // is shown and the dialog ends as rejected without appearing.
    void open() override;

    // "&Edit": the product sheet on the selected product, opened with open().
    void editProduction();
    // "&Delete": two questions, then the product goes from the database and the list.
    void deleteProduction();

    QTreeWidget* list() const { return list_; }
    QPushButton* editButton() const { return edit_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* closeButton() const { return close_; }
    // The open product sheet, null when none is open.
    ProductSheet* sheet() const { return sheet_; }

  signals:
    // After the sheet of an edit has closed and the question about synchronising was answered.
    void editFinished();

  private:
    void fill();
    void refill();
    void takeSheet(int result);
    int selectedRow() const;

    ComPtr<IExeContext> session_;
    MessageSink& messages_;
    ComPtr<IProductSet> products_;
    QTreeWidget* list_;
    QPushButton* edit_;
    QPushButton* delete_;
    QPushButton* close_;
    QPointer<ProductSheet> sheet_;
};

} // namespace tarnwick::admin
