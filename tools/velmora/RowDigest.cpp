#include "RowDigest.h"

#include <string>

#include "engine/db/Database.h"

namespace velmora::tool {
namespace {

constexpr uint64_t kPrime = 0x100000001b3ULL;

// The final mixing of splitmix64: spreads every input bit over the whole word, so that sums of
// row hashes do not cancel out for rows that differ in one bit.
uint64_t Avalanche(uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

} // namespace

void RowHash::Mix(const void* bytes, size_t size) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    for (size_t i = 0; i < size; ++i) {
        state_ ^= p[i];
        state_ *= kPrime;
    }
}

void RowHash::AddValue(const db::Value& value) {
    if (value.isNull()) {
        const uint8_t null = 0;
        Mix(&null, 1);
        return;
    }
    const std::string text = value.toText();
    BeginPieces();
    Piece(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    EndPieces();
}

void RowHash::BeginPieces() {
    const uint8_t present = 1;
    Mix(&present, 1);
    pieceLength_ = 0;
}

void RowHash::Piece(const uint8_t* bytes, size_t size) {
    Mix(bytes, size);
    pieceLength_ += size;
}

void RowHash::EndPieces() {
    // The length after the bytes keeps "ab"+"c" apart from "a"+"bc".
    Mix(&pieceLength_, sizeof pieceLength_);
}

uint64_t RowHash::Finish() const {
    return Avalanche(state_);
}

} // namespace velmora::tool
