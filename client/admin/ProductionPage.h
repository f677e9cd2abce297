#pragma once
// The "Production" page of the product sheet: the product's name and description.
#include <QWizardPage>

class QLineEdit;
class QPlainTextEdit;

namespace tarnwick {
class MessageSink;
}

namespace tarnwick::admin {

class ProductionPage : public QWizardPage {
    Q_OBJECT
  public:
    explicit ProductionPage(MessageSink& messages, QWidget* parent = nullptr);

    void setProduct(const QString& name, const QString& description);
    QString name() const;
    QString description() const;

    // Says "Product name cannot be empty." and returns false while the name is empty.
    bool check();
    // The wizard's Next.
    bool validatePage() override { return check(); }

    QLineEdit* nameEdit() const { return name_; }
    QPlainTextEdit* descriptionEdit() const { return description_; }

  private:
    MessageSink& messages_;
    QLineEdit* name_;
    QPlainTextEdit* description_;
};

} // namespace tarnwick::admin
