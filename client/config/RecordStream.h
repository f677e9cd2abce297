#pragma once
// The byte encoding shared by the client's record files: little-endian integers and doubles, and
// texts as UTF-8 bytes after a length prefix. The prefix is one byte for lengths below 255;
// otherwise 0xFF and a 16-bit length below 0xFFFE; otherwise 0xFF, 0xFFFF and a 32-bit length.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QtGlobal>

namespace tarnwick {

// Builds a record file's bytes in memory; the caller writes them out in one piece.
class RecordWriter {
  public:
    void WriteInt16(qint16 value);
    void WriteInt32(qint32 value);
    void WriteDouble(double value);
    void WriteBytes(const char* data, qsizetype size);
    void WriteText(const QString& text);

    const QByteArray& Bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
};

// Reads a record file field by field. The first failure (end of file, a device error, a length
// prefix that no writer produces) stops the reader: every later read fails too, and ErrorText
// says what went wrong. Texts are read in bounded pieces, so a huge declared length in a short
// file costs no more memory than the file holds.
class RecordReader {
  public:
    explicit RecordReader(QIODevice& device) : device_(device) {}

    bool ReadInt16(qint16& value);
    bool ReadInt32(qint32& value);
    bool ReadDouble(double& value);
    bool ReadBytes(char* data, qint64 size);
    bool ReadText(QString& text);

    bool Ok() const { return error_.isEmpty(); }
    // Empty while every read succeeded.
    const QString& ErrorText() const { return error_; }

  private:
    bool ReadLength(quint32& length);
    bool Fail(const QString& text);
    bool FailRead();

    QIODevice& device_;
    QString error_;
};

} // namespace tarnwick
