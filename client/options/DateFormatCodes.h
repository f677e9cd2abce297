#pragma once
// The date format in two forms: the codes the user types in the Options dialog ("dd,m,yyyy")
// and the %-codes the configuration stores and the lists format with ("%d,%b,%Y").
#include <QString>

namespace tarnwick {

class DateFormatCodes {
  public:
    // User codes to stored codes: yyyy %Y, yy %y, mm %B, m %b, M %m, dd %d, ww %A, w %a.
    // Other characters pass unchanged; so does a %-code written as such ("%H"), which is how a
    // stored code without a user code comes back from ToUser.
    static QString ToStored(const QString& userFormat);

    // Stored codes to user codes, the reverse of ToStored. A %-code without a user code
    // ("%H", "%%") passes unchanged.
    static QString ToUser(const QString& storedFormat);
};

} // namespace tarnwick
