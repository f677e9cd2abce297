#pragma once
// The roles of the product sheet's role page: every role, whether it belongs to another product,
// and which ones the user wants for this product. apply() binds and frees roles so that the
// product ends up with exactly the checked ones.
#include <QList>
#include <QSet>
#include <QString>

#include "client/adapter/EngineCall.h"

namespace tarnwick {
class MessageSink;
}

class QWidget;

namespace tarnwick::admin {

struct RoleChoice {
    LONG id = 0;
    QString name;
    bool elsewhere = false; // bound to another product
    bool checked = false;
};

class RoleChoices {
  public:
    // Every role of the session; those of the product (stored products only, productID not 0)
    // are checked. Raises EngineFailure.
    void load(IExeContext* session, IProduct* product, LONG productID);

    const QList<RoleChoice>& choices() const { return choices_; }
    void setChecked(int index, bool checked) { choices_[index].checked = checked; }
    bool anyCheckedElsewhere() const;
    QSet<LONG> checkedIDs() const;

    // Asks before taking roles from another product (No leaves every role as it is and returns
    // false), then frees the product's roles that are no longer checked and binds the newly
    // checked ones. Raises EngineFailure.
    bool apply(IExeContext* session, IProduct* product, MessageSink& messages, QWidget* parent);

  private:
    QList<RoleChoice> choices_;
};

// The IDs of the roles bound to the product. Raises EngineFailure.
QSet<LONG> ProductRoleIDs(IProduct* product);

} // namespace tarnwick::admin
