#pragma once
// The Blowfish block cipher (64-bit blocks, 16 rounds, keys of 1 to 56 bytes) with ECB, CBC and
// CFB modes. Blocks are read and written big-endian: bytes 0 to 3 are the left word, bytes 4 to 7
// the right one, first byte most significant.
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace velmora::crypto {

// Raised for a key or buffer the cipher cannot work with. what() is the caller-facing text.
class BlowfishError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum BlowfishMode : int {
    kModeEcb = 0, // each 8-byte block on its own
    kModeCbc = 1, // cipher block chaining
    kModeCfb = 2, // 64-bit cipher feedback
};

class BlowfishCipher {
  public:
    static constexpr size_t kBlockSize = 8;
    static constexpr size_t kMaxKeyLength = 56;

    // Schedules the key. A keyLength of 0 (or a null key) raises "Incorrect key length"; bytes
    // beyond the 56th are ignored. chain is the 8-byte initial chain block of the chained modes;
    // null stands for all zeros.
    BlowfishCipher(const uint8_t* key, size_t keyLength, const uint8_t chain[8] = nullptr);

    // Transform length bytes from in to out (which may be the same buffer). length must be a
    // non-zero multiple of 8 and mode one of BlowfishMode, else BlowfishError is raised
    // ("Incorrect buffer length" / "Incorrect mode") before anything is written.
    //
    // Each call is one complete message: the chained modes start every call from the initial
    // chain block, so a call's result never depends on earlier calls and one cipher object can
    // encipher and decipher alike.
    void Encrypt(const uint8_t* in, uint8_t* out, size_t length, int mode = kModeEcb) const;
    void Decrypt(const uint8_t* in, uint8_t* out, size_t length, int mode = kModeEcb) const;

  private:
    struct Block {
        uint32_t left = 0;
        uint32_t right = 0;
    };

    static void CheckArguments(const uint8_t* in, const uint8_t* out, size_t length, int mode);
    uint32_t Round(uint32_t x) const;
    void EncryptBlock(Block& block) const;
    void DecryptBlock(Block& block) const;

    std::array<uint32_t, 18> p_;
    std::array<std::array<uint32_t, 256>, 4> s_;
    Block initialChain_;
};

} // namespace velmora::crypto
