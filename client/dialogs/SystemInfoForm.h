#pragma once
// The nine texts that describe a user's computer, in the groups the user knows them by. The
// system-information dialog edits them; the main window shows them read-only in its detail pane.
#include <QWidget>

#include "client/adapter/EngineCall.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace tarnwick {

class SystemInfoForm : public QWidget {
    Q_OBJECT
  public:
    enum class Field {
        CPU,
        Memory,
        HardDisk,
        OS,
        OSBuild,
        ServicePack,
        IEVersion,
        NetEnvironment,
        Note
    };

    explicit SystemInfoForm(QWidget* parent = nullptr);

    // Shows the texts of the record; none empties the form. Raises EngineFailure.
    void load(IUserSysInfo* info);
    // Puts the nine texts into the record. Raises EngineFailure.
    void store(IUserSysInfo* info) const;
    void clear();
    void setReadOnly(bool readOnly);

    QString text(Field field) const;
    void setText(Field field, const QString& text);

  private:
    QComboBox* cpu_;
    QComboBox* memory_;
    QComboBox* hardDisk_;
    QComboBox* os_;
    QLineEdit* osBuild_;
    QComboBox* servicePack_;
    QComboBox* ieVersion_;
    QLineEdit* network_;
    QPlainTextEdit* note_;
};

} // namespace tarnwick
