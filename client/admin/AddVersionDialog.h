#pragma once
// "Add Version": the name, release date and description of one version, for a new version or
// for changing one on the version page.
#include <QDialog>

#include <velmora/Com.h>

class QLineEdit;

namespace tarnwick {
class NullableDateTimeEdit;
}

namespace tarnwick::admin {

class AddVersionDialog : public QDialog {
    Q_OBJECT
  public:
    // Starts with an empty name and today's date.
    explicit AddVersionDialog(QWidget* parent = nullptr);

    void setVersion(const QString& name, const QString& description, DATE releaseDate);
    QString name() const;
    QString description() const;
    // 0.0 when the date is cleared.
    DATE releaseDate() const;

    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* descriptionEdit() const { return description_; }
    NullableDateTimeEdit* releaseDateEdit() const { return date_; }

  private:
    QLineEdit* name_;
    NullableDateTimeEdit* date_;
    QLineEdit* description_;
};

} // namespace tarnwick::admin
