#pragma once
// The bar below the toolbar that tells who is logged in and what is current: the product with
// its version, the user's name and the role's name.
#include <QLabel>
#include <QWidget>

namespace tarnwick {

class InfoBar : public QWidget {
    Q_OBJECT
  public:
    explicit InfoBar(QWidget* parent = nullptr);

    void setProduct(const QString& product) { product_ = product; }
    void setVersion(const QString& version) { version_ = version; }
    void setUser(const QString& user) { user_ = user; }
    void setRole(const QString& role) { role_ = role; }
    // Empties all four texts.
    void clear();
    // Shows the texts set since the last repaint.
    void repaintTexts();

    // The texts as shown: "Select Product" for an empty product, the version in parentheses
    // right after it.
    static QString productText(const QString& product, const QString& version);
    QString shownProduct() const { return productLabel_->text(); }
    QString shownUser() const { return userLabel_->text(); }
    QString shownRole() const { return roleLabel_->text(); }

  private:
    QString product_, version_, user_, role_;
    QLabel* productLabel_;
    QLabel* userLabel_;
    QLabel* roleLabel_;
};

} // namespace tarnwick
