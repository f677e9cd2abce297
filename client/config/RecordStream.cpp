#include "client/config/RecordStream.h"

#include <QFileDevice>
#include <QtEndian>

#include <cstring>

namespace tarnwick {

namespace {

constexpr quint8 kLongPrefix = 0xFF;
constexpr quint16 kWidePrefix = 0xFFFF;
// A 16-bit length of 0xFFFE marks a wide-character text, which these files never hold.
constexpr quint16 kWideTextMark = 0xFFFE;
constexpr qint64 kTextPiece = 64 * 1024;

template <class T> void Append(QByteArray& bytes, T value) {
    char raw[sizeof(T)];
    qToLittleEndian(value, raw);
    bytes.append(raw, sizeof(T));
}

} // namespace

void RecordWriter::WriteInt16(qint16 value) {
    Append(bytes_, value);
}

void RecordWriter::WriteInt32(qint32 value) {
    Append(bytes_, value);
}

void RecordWriter::WriteDouble(double value) {
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Append(bytes_, bits);
}

void RecordWriter::WriteBytes(const char* data, qsizetype size) {
    bytes_.append(data, size);
}

void RecordWriter::WriteText(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const auto length = static_cast<quint64>(utf8.size());
    if (length < kLongPrefix) {
        Append(bytes_, static_cast<quint8>(length));
    } else {
        Append(bytes_, kLongPrefix);
        if (length < kWideTextMark) {
            Append(bytes_, static_cast<quint16>(length));
        } else {
            Append(bytes_, kWidePrefix);
            Append(bytes_, static_cast<quint32>(length));
        }
    }
    bytes_.append(utf8);
}

bool RecordReader::Fail(const QString& text) {
    if (error_.isEmpty()) error_ = text;
    return false;
}

bool RecordReader::FailRead() {
    const auto* file = qobject_cast<const QFileDevice*>(&device_);
    if (file && file->error() != QFileDevice::NoError) return Fail(file->errorString());
    return Fail(QStringLiteral("The file ends before its last record."));
}

bool RecordReader::ReadBytes(char* data, qint64 size) {
    if (!Ok()) return false;
    if (size == 0) return true;
    if (device_.read(data, size) != size) return FailRead();
    return true;
}

bool RecordReader::ReadInt16(qint16& value) {
    char raw[sizeof value];
    if (!ReadBytes(raw, sizeof raw)) return false;
    value = qFromLittleEndian<qint16>(raw);
    return true;
}

bool RecordReader::ReadInt32(qint32& value) {
    char raw[sizeof value];
    if (!ReadBytes(raw, sizeof raw)) return false;
    value = qFromLittleEndian<qint32>(raw);
    return true;
}

bool RecordReader::ReadDouble(double& value) {
    char raw[sizeof(quint64)];
    if (!ReadBytes(raw, sizeof raw)) return false;
    const quint64 bits = qFromLittleEndian<quint64>(raw);
    std::memcpy(&value, &bits, sizeof value);
    return true;
}

bool RecordReader::ReadLength(quint32& length) {
    char raw[sizeof(quint32)];
    if (!ReadBytes(raw, 1)) return false;
    const auto shortLength = static_cast<quint8>(raw[0]);
    if (shortLength != kLongPrefix) {
        length = shortLength;
        return true;
    }
    if (!ReadBytes(raw, sizeof(quint16))) return false;
    const quint16 middleLength = qFromLittleEndian<quint16>(raw);
    if (middleLength == kWideTextMark)
        return Fail(QStringLiteral("The file holds a text in a form this program does not read."));
    if (middleLength != kWidePrefix) {
        length = middleLength;
        return true;
    }
    if (!ReadBytes(raw, sizeof(quint32))) return false;
    length = qFromLittleEndian<quint32>(raw);
    return true;
}

bool RecordReader::ReadText(QString& text) {
    quint32 length = 0;
    if (!ReadLength(length)) return false;
    QByteArray utf8;
    qint64 left = length;
    while (left > 0) {
        const qint64 piece = qMin(left, kTextPiece);
        const qsizetype start = utf8.size();
        utf8.resize(start + piece);
        if (!ReadBytes(utf8.data() + start, piece)) return false;
        left -= piece;
    }
    text = QString::fromUtf8(utf8);
    return true;
}

} // namespace tarnwick
