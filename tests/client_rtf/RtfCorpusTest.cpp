// The plain text of editor-written documents (corpus/) agrees with unrtf, an independent RTF
// reader. unrtf's text output differs from ours in ways that are not about reading RTF, and the
// comparison allows for them:
// - it begins with a header (lines of "###", the document's title and author, a row of dashes),
//   which is dropped, and notes what it left out (a picture) in lines of "###" in the text, which
//   are dropped too;
// - it lays text out (a tab becomes spaces and a line break, list markers stand on their own
//   line), so whitespace is left out on both sides (a non-breaking space and a line separator
//   count as whitespace);
// - it prints a character beyond ASCII as one byte: a \u escape as its fallback character ("?"),
//   anything else as the low byte of its code point. A character of ours beyond ASCII therefore
//   matches "?" or its low byte.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "client/rtf/RtfReader.h"

namespace {

QString UnrtfText(const QString& unrtf, const QString& path, QString& error) {
    QTemporaryDir workingDirectory; // unrtf may write picture files where it runs
    QProcess process;
    process.setWorkingDirectory(workingDirectory.path());
    process.start(unrtf, {QStringLiteral("--nopict"), QStringLiteral("--text"), path});
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        error = QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    const QString output = QString::fromLatin1(process.readAllStandardOutput());
    const qsizetype body = output.indexOf(QStringLiteral("-----------------\n"));
    QStringList lines = (body < 0 ? output : output.mid(body + 18)).split(u'\n');
    lines.removeIf([](const QString& line) { return line.startsWith(QStringLiteral("###")); });
    return lines.join(u'\n');
}

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x00A0) ||
           c == QChar(0x2028);
}

QString WithoutSpace(const QString& text) {
    QString result;
    for (QChar c : text)
        if (!IsSpace(c)) result += c;
    return result;
}

bool Matches(QChar ours, QChar theirs) {
    if (ours.unicode() < 0x80) return ours == theirs;
    return theirs == u'?' || theirs.unicode() == (ours.unicode() & 0xFF);
}

} // namespace

class RtfCorpusTest : public QObject {
    Q_OBJECT

  private slots:
    void plainTextAgreesWithUnrtf_data() {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(RTF_CORPUS_DIR));
        const QStringList files =
            corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 10);
        for (const QString& file : files)
            QTest::newRow(qPrintable(file)) << corpus.filePath(file);
    }
    void plainTextAgreesWithUnrtf() {
        QFETCH(QString, path);
        const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
        if (unrtf.isEmpty()) QSKIP("unrtf is not installed");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString rtf = QString::fromLatin1(file.readAll());
        QVERIFY(tarnwick::IsRtf(rtf));

        QString error;
        const QString theirs = WithoutSpace(UnrtfText(unrtf, path, error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString ours = WithoutSpace(tarnwick::RtfPlainText(rtf));
        QVERIFY(!ours.isEmpty());
        qsizetype i = 0;
        while (i < ours.size() && i < theirs.size() && Matches(ours[i], theirs[i]))
            ++i;
        QVERIFY2(i == ours.size() && i == theirs.size(),
                 qPrintable(QStringLiteral("differ at %1:\n ours:   %2\n unrtf:  %3")
                                .arg(i)
                                .arg(ours.mid(std::max<qsizetype>(0, i - 20), 60),
                                     theirs.mid(std::max<qsizetype>(0, i - 20), 60))));
    }
};

QTEST_MAIN(RtfCorpusTest)
#include "RtfCorpusTest.moc"
