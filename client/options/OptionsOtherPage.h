#pragma once
// The "Other" page of the Options dialog: the date format, typed in the user's codes or picked
// from the Format menu, and stored as %-codes.
#include <QWidget>

class QGroupBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tarnwick {

class ClientConfig;

class OptionsOtherPage : public QWidget {
    Q_OBJECT
  public:
    explicit OptionsOtherPage(QWidget* parent = nullptr);

    // Shows the stored date format in the user's codes.
    void load(const ClientConfig& config);
    // Stores the typed format as %-codes.
    void write(ClientConfig& config) const;

    // Shows the Format menu under its button; it stays open until an item is picked or the
    // user clicks elsewhere.
    void showFormatMenu();
    // What picking the menu's item at index does: its code goes into the edit.
    void chooseFormat(int index);

    QLineEdit* formatEdit() const { return edit_; }
    QPushButton* formatButton() const { return button_; }
    QMenu* formatMenu() const { return menu_; }

  private:
    QLineEdit* edit_;
    QPushButton* button_;
    QMenu* menu_;
};

} // namespace tarnwick
