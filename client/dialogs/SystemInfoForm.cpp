#include "client/dialogs/SystemInfoForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

const char* const kHardware = "Hardware";
const char* const kSoftware = "Software";
const char* const kCPU = "CPU";
const char* const kMemory = "Memory";
const char* const kHardDisk = "Harddisk";
const char* const kOS = "OS";
const char* const kOSBuild = "OS Build";
const char* const kServicePack = "Service Pack";
const char* const kIEVersion = "IE Version";
const char* const kNetwork = "Network Condition";
const char* const kNote = "Note";

const QStringList kCPUChoices = {"Intel Pentium 4", "Intel Pentium 3", "Intel Pentium 2",
                                 "Intel Pentium",   "AMD Athlon",      "AMD Duron"};
const QStringList kMemoryChoices = {"8M", "16M", "32M", "64M", "128M", "256M", "512M", "1024M"};
const QStringList kHardDiskChoices = {"1G", "2G", "10G", "20G", "30G", "40G", "60G", "80G", "120G"};
const QStringList kOSChoices = {"Windows 2003 Server",
                                "Windows XP pro",
                                "Windows XP Home",
                                "Windows 2000 Data Center",
                                "Windows 2000 Advanced Server",
                                "Windows 2000 Server",
                                "Windows 2000 Professional",
                                "Windows NT 4.0",
                                "Windows Me",
                                "Windows 98/95",
                                "Windows 3.1",
                                "Dos",
                                "Linux",
                                "Unix"};
const QStringList kServicePackChoices = {"Service Pack 1", "Service Pack 2", "Service Pack 3",
                                         "Service Pack 4"};
const QStringList kIEVersionChoices = {"1.0", "2.0", "3.0", "4.0", "5.0", "6.0"};

// An editable drop-down whose text can also be frozen: read-only, it neither opens its list nor
// takes a choice from the wheel or the keys.
class PresetBox : public QComboBox {
  public:
    PresetBox(const QStringList& choices, const char* caption, QWidget* parent)
        : QComboBox(parent) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        addItems(choices);
        setCurrentIndex(-1);
        setAccessibleName(QString::fromLatin1(caption));
    }
    void setReadOnly(bool readOnly) {
        readOnly_ = readOnly;
        lineEdit()->setReadOnly(readOnly);
    }
    void showPopup() override {
        if (!readOnly_) QComboBox::showPopup();
    }

  protected:
    void wheelEvent(QWheelEvent* event) override {
        if (!readOnly_) QComboBox::wheelEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (readOnly_ && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab) return;
        QComboBox::keyPressEvent(event);
    }

  private:
    bool readOnly_ = false;
};

// Shows the text; a preset entry is also made the current one, so the list opens at it.
void ShowText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly));
    box->setEditText(text);
}

void AddRow(QFormLayout* form, const char* caption, QWidget* field) {
    auto* label = new QLabel(QString::fromLatin1(caption), field->parentWidget());
    label->setBuddy(field);
    form->addRow(label, field);
}

} // namespace

SystemInfoForm::SystemInfoForm(QWidget* parent) : QWidget(parent) {
    auto* hardware = new QGroupBox(QString::fromLatin1(kHardware), this);
    cpu_ = new PresetBox(kCPUChoices, kCPU, hardware);
    memory_ = new PresetBox(kMemoryChoices, kMemory, hardware);
    hardDisk_ = new PresetBox(kHardDiskChoices, kHardDisk, hardware);
    auto* hardwareForm = new QFormLayout(hardware);
    AddRow(hardwareForm, kCPU, cpu_);
    AddRow(hardwareForm, kMemory, memory_);
    AddRow(hardwareForm, kHardDisk, hardDisk_);

    auto* software = new QGroupBox(QString::fromLatin1(kSoftware), this);
    os_ = new PresetBox(kOSChoices, kOS, software);
    osBuild_ = new QLineEdit(software);
    osBuild_->setAccessibleName(QString::fromLatin1(kOSBuild));
    servicePack_ = new PresetBox(kServicePackChoices, kServicePack, software);
    ieVersion_ = new PresetBox(kIEVersionChoices, kIEVersion, software);
    auto* softwareForm = new QFormLayout(software);
    AddRow(softwareForm, kOS, os_);
    AddRow(softwareForm, kOSBuild, osBuild_);
    AddRow(softwareForm, kServicePack, servicePack_);
    AddRow(softwareForm, kIEVersion, ieVersion_);

    auto* network = new QGroupBox(QString::fromLatin1(kNetwork), this);
    network_ = new QLineEdit(network);
    network_->setAccessibleName(QString::fromLatin1(kNetwork));
    (new QVBoxLayout(network))->addWidget(network_);

    auto* note = new QGroupBox(QString::fromLatin1(kNote), this);
    note_ = new QPlainTextEdit(note);
    note_->setAccessibleName(QString::fromLatin1(kNote));
    (new QVBoxLayout(note))->addWidget(note_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(hardware);
    layout->addWidget(software);
    layout->addWidget(network);
    layout->addWidget(note);
}

QString SystemInfoForm::text(Field field) const {
    switch (field) {
    case Field::CPU:
        return cpu_->currentText();
    case Field::Memory:
        return memory_->currentText();
    case Field::HardDisk:
        return hardDisk_->currentText();
    case Field::OS:
        return os_->currentText();
    case Field::OSBuild:
        return osBuild_->text();
    case Field::ServicePack:
        return servicePack_->currentText();
    case Field::IEVersion:
        return ieVersion_->currentText();
    case Field::NetEnvironment:
        return network_->text();
    case Field::Note:
        return note_->toPlainText();
    }
    return {};
}

void SystemInfoForm::setText(Field field, const QString& text) {
    switch (field) {
    case Field::CPU:
        return ShowText(cpu_, text);
    case Field::Memory:
        return ShowText(memory_, text);
    case Field::HardDisk:
        return ShowText(hardDisk_, text);
    case Field::OS:
        return ShowText(os_, text);
    case Field::OSBuild:
        return osBuild_->setText(text);
    case Field::ServicePack:
        return ShowText(servicePack_, text);
    case Field::IEVersion:
        return ShowText(ieVersion_, text);
    case Field::NetEnvironment:
        return network_->setText(text);
    case Field::Note:
        return note_->setPlainText(text);
    }
}

void SystemInfoForm::clear() {
    for (QComboBox* box : {cpu_, memory_, hardDisk_, os_, servicePack_, ieVersion_})
        ShowText(box, QString());
    osBuild_->clear();
    network_->clear();
    note_->clear();
}

void SystemInfoForm::load(IUserSysInfo* info) {
    clear();
    if (!info) return;
    setText(Field::CPU, Text(info, &IUserSysInfo::get_CPU));
    setText(Field::Memory, Text(info, &IUserSysInfo::get_Memory));
    setText(Field::HardDisk, Text(info, &IUserSysInfo::get_HardDisk));
    setText(Field::OS, Text(info, &IUserSysInfo::get_OS));
    setText(Field::OSBuild, Text(info, &IUserSysInfo::get_OSBuild));
    setText(Field::ServicePack, Text(info, &IUserSysInfo::get_ServicePack));
    setText(Field::IEVersion, Text(info, &IUserSysInfo::get_IEVersion));
    setText(Field::NetEnvironment, Text(info, &IUserSysInfo::get_NetEnvironment));
    setText(Field::Note, Text(info, &IUserSysInfo::get_Note));
}

void SystemInfoForm::store(IUserSysInfo* info) const {
    Check(info->put_CPU(ToBstr(text(Field::CPU)).Get()));
    Check(info->put_HardDisk(ToBstr(text(Field::HardDisk)).Get()));
    Check(info->put_IEVersion(ToBstr(text(Field::IEVersion)).Get()));
    Check(info->put_Memory(ToBstr(text(Field::Memory)).Get()));
    Check(info->put_NetEnvironment(ToBstr(text(Field::NetEnvironment)).Get()));
    Check(info->put_Note(ToBstr(text(Field::Note)).Get()));
    Check(info->put_OS(ToBstr(text(Field::OS)).Get()));
    Check(info->put_OSBuild(ToBstr(text(Field::OSBuild)).Get()));
    Check(info->put_ServicePack(ToBstr(text(Field::ServicePack)).Get()));
}

void SystemInfoForm::setReadOnly(bool readOnly) {
    for (QComboBox* box : {cpu_, memory_, hardDisk_, os_, servicePack_, ieVersion_})
        static_cast<PresetBox*>(box)->setReadOnly(readOnly);
    osBuild_->setReadOnly(readOnly);
    network_->setReadOnly(readOnly);
    note_->setReadOnly(readOnly);
}

} // namespace tarnwick
