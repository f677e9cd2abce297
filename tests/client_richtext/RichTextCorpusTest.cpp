// Documents written by other programs (the RTF reader's corpus: WordPad, Word, code pages,
// pictures, tables, nested groups) open in the editor, and what the editor stores of them reads
// back with the same text and the same formatting.
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextEdit>

#include "RichTextDescription.h"
#include "client/richtext/RichTextEditor.h"
#include "client/rtf/RtfReader.h"

using namespace tarnwick;
using namespace tarnwick::test;

class RichTextCorpusTest : public QObject {
    Q_OBJECT

  private slots:
    void corpusSurvivesTheEditor_data() {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(RTF_CORPUS_DIR));
        const QStringList files = corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files);
        QVERIFY2(files.size() >= 10, "the corpus is missing");
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << corpus.filePath(file);
    }

    void corpusSurvivesTheEditor() {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString original = QString::fromLatin1(file.readAll());

        RichTextEditor editor;
        editor.setRtf(original);
        QVERIFY(!editor.isModified());
        QVERIFY(!editor.textEdit()->toPlainText().trimmed().isEmpty());
        const QStringList shown = Describe(*editor.textEdit()->document());

        RichTextEditor reader;
        reader.setRtf(editor.rtf());
        QCOMPARE(reader.textEdit()->toPlainText(), editor.textEdit()->toPlainText());
        QCOMPARE(Describe(*reader.textEdit()->document()), shown);
    }
};

QTEST_MAIN(RichTextCorpusTest)
#include "RichTextCorpusTest.moc"
