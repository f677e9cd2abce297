#pragma once
// Finding and driving the editor's controls the way a user (or a screen reader) names them.
#include <QComboBox>
#include <QString>
#include <QTest>
#include <QWidget>

namespace tarnwick::test {

// The child of type T whose accessible name is the caption; fails the test when there is none.
template <class T> T* Named(const QWidget* parent, const QString& caption) {
    for (T* child : parent->findChildren<T*>())
        if (child->accessibleName() == caption) return child;
    qFatal("no control named %s", qPrintable(caption));
}

// Picks the entry with the text as a user does in the drop-down list.
inline void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    emit box->activated(index);
    emit box->textActivated(text);
}

} // namespace tarnwick::test
