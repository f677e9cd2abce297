#include "tests/client_print/PdfCheck.h"

#include <QProcess>

namespace tarnwick::test {

namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QString PdfInfo(const QString& pdf, const QString& field) {
    const QString prefix = field + QLatin1Char(':');
    for (const QString& line : Run(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
        if (line.startsWith(prefix)) return line.mid(prefix.size()).trimmed();
    return QString();
}

int PdfPageCount(const QString& pdf) {
    bool ok = false;
    const int pages = PdfInfo(pdf, QStringLiteral("Pages")).toInt(&ok);
    return ok ? pages : -1;
}

QString PdfPageText(const QString& pdf, int page) {
    return Run(QStringLiteral("pdftotext"),
               {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

QStringList PdfFonts(const QString& pdf) {
    QStringList names;
    const QStringList lines = Run(QStringLiteral("pdffonts"), {pdf}).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) // after the heading and its rule
        if (!lines.at(i).trimmed().isEmpty())
            names.append(lines.at(i).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty));
    return names;
}

} // namespace tarnwick::test
