#include "tests/lha/Lh5TestDecoder.h"

#include "lha/LhaDecoder.h"

namespace varlin::test {

namespace {

class TokenRecorder final : public Lh5SymbolObserver {
public:
    explicit TokenRecorder(Lh5Decoded& result) : result(result) {}
    void OnBlock(uint32_t symbolCount) override { result.blockSymbolCounts.push_back(symbolCount); }
    void OnLiteral(uint8_t byte) override { result.tokens.push_back(Literal(byte)); }
    void OnMatch(unsigned length, unsigned distance) override { result.tokens.push_back(Match(length, distance)); }

private:
    Lh5Decoded& result;
};

}  // namespace

Lh5Decoded DecodeLh5(const Bytes& stream, size_t originalSize)
{
    Lh5Decoded result;
    TokenRecorder recorder(result);
    const LhaDecodeResult decoded = varlin::DecodeLh5(stream, originalSize, result.data, SIZE_MAX, &recorder);
    result.ok = decoded.ok;
    result.error = decoded.error;
    result.bitsRead = decoded.bitsRead;
    return result;
}

}  // namespace varlin::test
