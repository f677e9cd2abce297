#include "client/config/ClientConfig.h"

#include <QDir>
#include <QFile>

#include <array>
#include <cstdint>
#include <cstring>

#include "client/config/AtomicFileWrite.h"
#include "client/config/RecordStream.h"
#include "common/crypto/BlowfishCipher.h"

namespace tarnwick {

const char* const kPasswordTooLongToSave =
    "The password is too long to be saved: it may hold at most 64 bytes.";

namespace {

constexpr size_t kPasswordBlockSize = ClientConfig::kMaxPasswordBytes;
// The client's own key: seven characters and a zero byte.
constexpr std::array<uint8_t, 8> kPasswordKey = {'Q', 'm', '4', 'r', 'Z', 'p', '8', 0};

using PasswordBlock = std::array<char, kPasswordBlockSize>;

const velmora::crypto::BlowfishCipher& PasswordCipher() {
    static const velmora::crypto::BlowfishCipher cipher(kPasswordKey.data(), kPasswordKey.size());
    return cipher;
}

PasswordBlock EncipherPassword(const QByteArray& utf8) {
    PasswordBlock block{};
    std::memcpy(block.data(), utf8.constData(), static_cast<size_t>(utf8.size()));
    auto* bytes = reinterpret_cast<uint8_t*>(block.data());
    PasswordCipher().Encrypt(bytes, bytes, block.size(), velmora::crypto::kModeEcb);
    return block;
}

QString DecipherPassword(PasswordBlock block) {
    auto* bytes = reinterpret_cast<uint8_t*>(block.data());
    PasswordCipher().Decrypt(bytes, bytes, block.size(), velmora::crypto::kModeEcb);
    return QString::fromUtf8(block.data(), qstrnlen(block.data(), block.size()));
}

} // namespace

ClientConfig& ClientConfig::Instance() {
    static ClientConfig instance;
    return instance;
}

QString ClientConfig::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());

    RecordReader reader(file);
    // Each field is assigned as soon as it is read; after a failure the reader refuses every
    // later read, so a damaged file keeps the fields that came before the damage.
    const auto readText = [&reader](QString& field) {
        QString value;
        if (reader.ReadText(value)) field = value;
    };
    const auto readLong = [&reader](LONG& field) {
        qint32 value = 0;
        if (reader.ReadInt32(value)) field = value;
    };
    PasswordBlock block{};
    readText(DatabasePath);
    readText(LoginName);
    readLong(DefaultRoleID);
    readLong(DefaultVersionID);
    if (reader.ReadBytes(block.data(), block.size())) Password = DecipherPassword(block);
    readLong(UseDefaultDatabase);
    readLong(UseDefaultLogin);
    readLong(UseDefaultRoleOrProduct);
    readLong(SavePassword);
    readText(DateFormat);
    if (!reader.Ok())
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), reader.ErrorText());
    return QString();
}

QString ClientConfig::Save(const QString& path) const {
    const QByteArray password = SavePassword ? Password.toUtf8() : QByteArray();
    if (password.size() > kMaxPasswordBytes) return QString::fromUtf8(kPasswordTooLongToSave);

    RecordWriter writer;
    writer.WriteText(DatabasePath);
    writer.WriteText(LoginName);
    writer.WriteInt32(DefaultRoleID);
    writer.WriteInt32(DefaultVersionID);
    const PasswordBlock block = EncipherPassword(password);
    writer.WriteBytes(block.data(), static_cast<qsizetype>(block.size()));
    writer.WriteInt32(UseDefaultDatabase);
    writer.WriteInt32(UseDefaultLogin);
    writer.WriteInt32(UseDefaultRoleOrProduct);
    writer.WriteInt32(SavePassword);
    writer.WriteText(DateFormat);
    // The file may hold a password: only its owner may read it.
    return WriteFileAtomically(path, writer.Bytes(),
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace tarnwick
