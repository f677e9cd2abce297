#pragma once
// "Enter Name": one name, for a new classification or for renaming one.
#include <QDialog>

class QLineEdit;

namespace tarnwick::admin {

class EnterNameDialog : public QDialog {
    Q_OBJECT
  public:
    explicit EnterNameDialog(QWidget* parent = nullptr);

    void setName(const QString& name);
    QString name() const;
    QLineEdit* nameEdit() const { return name_; }

  private:
    QLineEdit* name_;
};

} // namespace tarnwick::admin
