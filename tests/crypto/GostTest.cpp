#include "crypto/Gost.h"

#include "BotanOracle.h"
#include "core/Exceptions.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

namespace VandrelTest {
namespace {

using namespace Vandrel;

static_assert(LRot16(0x8001, 1) == 0x0003 && RRot16(0x0003, 1) == 0x8001);
static_assert(LRot32(0x80000001u, 4) == 0x18 && RRot32(0x18, 4) == 0x80000001u);

std::vector<Bytes> TestKeys(std::mt19937& rng)
{
    Bytes ascending(32);
    for (size_t i = 0; i < ascending.size(); ++i)
        ascending[i] = uint8_t(i);
    return {Bytes(32, 0), ascending, Bytes(32, 0xFF), RandomBytes(rng, 32), RandomBytes(rng, 32)};
}

TGOSTData Init(const Bytes& key, const uint8_t* iv)
{
    TGOSTData data;
    TGost::GOSTInit(data, key.data(), iv, key.size());
    return data;
}

TEST(GostECB, MatchesBotanBothWays)
{
    std::mt19937 rng(1);
    for (const Bytes& key : TestKeys(rng)) {
        Bytes plain = {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        const Bytes random = RandomBytes(rng, 64);
        plain.insert(plain.end(), random.begin(), random.end());
        const Bytes expected = BotanEcb(key, plain, true);

        const TGOSTData data = Init(key, nullptr);
        Bytes ours(plain.size()), back(plain.size());
        for (size_t i = 0; i < plain.size(); i += 8) {
            TGost::GOSTEncryptECB(data, &plain[i], &ours[i]);
            TGost::GOSTDecryptECB(data, &expected[i], &back[i]);
        }
        EXPECT_EQ(ours, expected);
        EXPECT_EQ(back, plain);
    }
}

// Every mode run over a whole message: one-block operations over each whole block.
using Run = void (*)(TGOSTData&, const uint8_t*, uint8_t*, size_t);

template <auto Op>
void EachBlock(TGOSTData& data, const uint8_t* in, uint8_t* out, size_t length)
{
    for (size_t i = 0; i + 8 <= length; i += 8)
        Op(data, in + i, out + i);
}

Bytes OracleEcb(const Bytes& key, const Bytes&, const Bytes& plain)
{
    return BotanEcb(key, plain, true);
}
Bytes OracleCbc(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    return BotanMode("CBC/NoPadding", key, iv, plain);
}
Bytes OracleCfb(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    return BotanMode("CFB(8)", key, iv, plain);
}

// Byte-wise OFB driven by a counter: each byte is masked with the first byte
// of the enciphered register, which then counts up as a big-endian number.
Bytes OracleOfbc(const Bytes& key, const Bytes& iv, const Bytes& plain)
{
    const auto cipher = BotanCipher(key);
    uint64_t counter = 0;
    for (uint8_t b : iv)
        counter = counter << 8 | b;
    Bytes out(plain.size());
    for (size_t i = 0; i < plain.size(); ++i, ++counter) {
        uint8_t block[8];
        for (int j = 0; j < 8; ++j)
            block[j] = uint8_t(counter >> (56 - 8 * j));
        cipher->encrypt(block);
        out[i] = plain[i] ^ block[0];
    }
    return out;
}

struct ModeCase {
    const char* name;
    size_t unit; // message lengths are multiples of this
    Run encrypt, decrypt;
    Bytes (*oracle)(const Bytes& key, const Bytes& iv, const Bytes& plain);
};

const ModeCase Modes[] = {
    {"ECB", 8, EachBlock<TGost::GOSTEncryptECB>, EachBlock<TGost::GOSTDecryptECB>, OracleEcb},
    {"CBC", 8, EachBlock<TGost::GOSTEncryptCBC>, EachBlock<TGost::GOSTDecryptCBC>, OracleCbc},
    {"CFB", 1, TGost::GOSTEncryptCFB, TGost::GOSTDecryptCFB, OracleCfb},
    {"OFB", 8, EachBlock<TGost::GOSTEncryptOFB>, EachBlock<TGost::GOSTDecryptOFB>, BotanOfb},
    {"OFBC", 1, TGost::GOSTEncryptOFBC, TGost::GOSTDecryptOFBC, OracleOfbc},
};

TEST(GostModes, MatchBotan)
{
    std::mt19937 rng(2);
    for (const ModeCase& mode : Modes)
        for (const Bytes& key : TestKeys(rng))
            for (size_t n : {0, 1, 7, 8, 9, 63, 64, 100}) {
                n -= n % mode.unit;
                const Bytes iv = RandomBytes(rng, 8), plain = RandomBytes(rng, n);
                const Bytes expected = mode.oracle(key, iv, plain);
                TGOSTData data = Init(key, iv.data());
                Bytes ours(n), back(n);
                mode.encrypt(data, plain.data(), ours.data(), n);
                TGost::GOSTReset(data);
                mode.decrypt(data, expected.data(), back.data(), n);
                EXPECT_EQ(ours, expected) << mode.name << " length " << n;
                EXPECT_EQ(back, plain) << mode.name << " length " << n;
            }
}

// In place gives what a separate output gives, and GOSTReset makes the next
// message start afresh from the IV.
TEST(GostModes, RoundTripInPlaceForAnyLength)
{
    std::mt19937 rng(3);
    for (const ModeCase& mode : Modes)
        for (size_t n = 0; n <= 100; n += mode.unit) {
            const Bytes key = RandomBytes(rng, 32), iv = RandomBytes(rng, 8), plain = RandomBytes(rng, n);
            TGOSTData data = Init(key, iv.data());
            Bytes separate(n);
            mode.encrypt(data, plain.data(), separate.data(), n);
            TGost::GOSTReset(data);
            Bytes buffer = plain;
            mode.encrypt(data, buffer.data(), buffer.data(), n);
            EXPECT_EQ(buffer, separate) << mode.name << " length " << n;
            TGost::GOSTReset(data);
            mode.decrypt(data, buffer.data(), buffer.data(), n);
            EXPECT_EQ(buffer, plain) << mode.name << " length " << n;
        }
}

TEST(GostInit, RefusesOtherKeyLengthsAndKeepsTheRecord)
{
    const Bytes key(64, 0x11);
    for (size_t length : {0, 1, 16, 31, 33, 64}) {
        TGOSTData data;
        std::memset(&data, 0x5A, sizeof data);
        const TGOSTData before = data;
        try {
            TGost::GOSTInit(data, key.data(), nullptr, length);
            ADD_FAILURE() << "length " << length << " accepted";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "GOST: Invalid key length");
        }
        EXPECT_EQ(std::memcmp(&data, &before, sizeof data), 0) << length;
    }
}

TEST(GostInit, IvFeedsOnlyTheChainingRegisters)
{
    const Bytes key(32, 0x42), iv = {1, 2, 3, 4, 5, 6, 7, 8}, zeros(8, 0);
    TGOSTData withIv = Init(key, iv.data());
    TGOSTData data = withIv;
    TGost::GOSTInit(data, key.data(), nullptr, key.size());
    EXPECT_EQ(Bytes(data.InitBlock, data.InitBlock + 8), zeros);
    EXPECT_EQ(Bytes(data.LastChain, data.LastChain + 8), zeros);

    const uint8_t block[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    uint8_t a[8], b[8];
    TGost::GOSTEncryptECB(withIv, block, a);
    TGost::GOSTEncryptECB(data, block, b);
    EXPECT_EQ(std::memcmp(a, b, 8), 0);
}

TEST(GostBurn, ClearsEveryByte)
{
    TGOSTData data = Init(Bytes(32, 0xEE), Bytes(8, 0xDD).data());
    TGost::GOSTBurn(data);
    const TGOSTData zero{};
    EXPECT_EQ(std::memcmp(&data, &zero, sizeof data), 0);
}

TEST(GostIncBlock, CountsBigEndianAndWraps)
{
    const std::pair<Bytes, Bytes> cases[] = {
        {Bytes(8, 0xFF), Bytes(8, 0)},
        {{0, 0, 0, 0, 0, 0, 0, 0xFF}, {0, 0, 0, 0, 0, 0, 1, 0}},
        {Bytes(8, 0), {0, 0, 0, 0, 0, 0, 0, 1}},
        {{0x12, 0x34, 0xFF, 0xFF}, {0x12, 0x35, 0, 0}},
        {{}, {}},
    };
    for (auto [block, expected] : cases) {
        IncBlock(block.data(), block.size());
        EXPECT_EQ(block, expected);
    }
}

} // namespace
} // namespace VandrelTest
