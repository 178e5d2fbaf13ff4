#include "crypto/Payload.h"

#include "BotanOracle.h"
#include "crypto/Gost.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>

namespace VandrelTest {
namespace {

using namespace std::literals;
using namespace Vandrel;

Bytes ToBytes(std::string_view s)
{
    return Bytes(s.begin(), s.end());
}

size_t Padded(size_t n)
{
    return (n + 7) / 8 * 8;
}

// What the payload must hold, built on Botan: the password as a zero-filled
// 32-byte key, the value zero-filled to whole blocks, enciphered in ECB.
Bytes ExpectedCiphertext(std::string_view value, std::string_view password)
{
    Bytes key = ToBytes(password.substr(0, 32)), plain = ToBytes(value);
    key.resize(32, 0);
    plain.resize(Padded(plain.size()), 0);
    return BotanEcb(key, plain, true);
}

TMemoryStream StreamOf(const Bytes& bytes)
{
    TMemoryStream stream;
    stream.Write(bytes.data(), bytes.size());
    return stream;
}

TEST(GostCheckKey, KeepsTheFirst32BytesFilledUpWithZeros)
{
    const std::string long40(40, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"", std::string(32, '\0')},
        {"abc", "abc" + std::string(29, '\0')},
        {std::string(32, 'k'), std::string(32, 'k')},
        {long40, long40.substr(0, 32)},
    };
    for (auto [key, expected] : cases) {
        TGost::CheckKey(key);
        EXPECT_EQ(key, expected);
    }
}

TEST(Payload, ExamplesMatchBotan)
{
    const struct {
        std::string value, password;
        size_t payloadLength;
    } cases[] = {
        {"", "pw", 5},
        {"A", "secret", 13},
        {"ABCDEFGH", "secret", 13},
        {"ABCDEFGHI", "secret", 21},
        {"\0\xFF\x80 binary"s, "", 21},
        {std::string(40, 'v'), std::string(32, 'p'), 45},
        {"long password", std::string(32, 'p') + "ignored beyond the key", 21},
    };
    for (const auto& c : cases) {
        const Bytes ciphertext = ExpectedCiphertext(c.value, c.password);
        const Bytes payload = ToBytes(std::string(EncryptMarker) + std::string(ciphertext.begin(), ciphertext.end()));

        TMemoryStream stream = StreamOf(ToBytes(c.value));
        EncryptPayload(stream, c.password);
        EXPECT_EQ(stream.Bytes(), payload) << c.value;
        EXPECT_EQ(stream.Size(), c.payloadLength) << c.value;
        EXPECT_EQ(stream.Position(), stream.Size());

        std::string text = c.value;
        TGost::Encrypt(text, c.password);
        EXPECT_EQ(ToBytes(text), ciphertext) << c.value;
    }
}

TEST(Payload, MarkerIsTheFiveBytesAtCaretGCaretAt)
{
    EXPECT_EQ(ToBytes(EncryptMarker), (Bytes{0x40, 0x5E, 0x47, 0x5E, 0x40}));
    const std::pair<std::string_view, bool> cases[] = {
        {"", false}, {"@^G^", false}, {"@^G^@", true}, {"@^G^@xyz", true}, {"x@^G^@", false}, {"@^g^@", false},
    };
    for (const auto& [bytes, marked] : cases)
        EXPECT_EQ(HasEncryptMarker(ToBytes(bytes)), marked) << bytes;
}

TEST(Payload, EqualPlainBlocksGiveEqualCipherBlocks)
{
    std::string data = "SAMEBLOCSAMEBLOC";
    TGost::Encrypt(data, "pw");
    EXPECT_EQ(data.substr(0, 8), data.substr(8, 8));
    EXPECT_NE(data.substr(0, 8), "SAMEBLOC");
}

TEST(Payload, DecipheringKeepsTheZeroPadding)
{
    std::string data = "ABC";
    TGost::Encrypt(data, "secret");
    TGost::Decrypt(data, "secret");
    EXPECT_EQ(data, "ABC\0\0\0\0\0"s);
}

// Without a check value a wrong password goes unnoticed; only the first 32
// bytes of a password count, and trailing zero bytes are the key's own filling.
TEST(Payload, OtherPasswordsDecipher)
{
    const std::string value = "protected value", right = "secret";
    const std::pair<std::string, bool> cases[] = {
        {"secret", true}, {"secret\0\0"s, true}, {"Secret", false}, {"", false}, {"secret ", false},
    };
    for (const auto& [password, same] : cases) {
        TMemoryStream stream = StreamOf(ToBytes(value));
        EncryptPayload(stream, right);
        ASSERT_TRUE(DecryptPayload(stream, password));
        Bytes expected = ToBytes(value);
        expected.resize(Padded(value.size()), 0);
        EXPECT_EQ(stream.Size(), expected.size()) << password;
        EXPECT_EQ(stream.Bytes() == expected, same) << password;
    }
    const std::string longKey(32, 'k');
    std::string data = value;
    TGost::Encrypt(data, longKey + "A");
    TGost::Decrypt(data, longKey + "B");
    EXPECT_EQ(data.substr(0, value.size()), value);
}

TEST(Payload, RandomValuesAndPasswordsRoundTrip)
{
    std::mt19937 rng(4);
    std::uniform_int_distribution<size_t> passwordLength(0, 40);
    for (size_t n = 0; n <= 200; ++n) {
        const Bytes value = RandomBytes(rng, n);
        const Bytes pw = RandomBytes(rng, passwordLength(rng));
        const std::string password(pw.begin(), pw.end());
        Bytes padded = value;
        padded.resize(Padded(n), 0);

        std::string text(value.begin(), value.end());
        TGost::Encrypt(text, password);
        TMemoryStream stream = StreamOf(value);
        TGost::EncryptStream(stream, password);
        EXPECT_EQ(stream.Bytes(), ToBytes(text)) << n;
        TGost::DecryptStream(stream, password);
        EXPECT_EQ(stream.Bytes(), padded) << n;
        TGost::Decrypt(text, password);
        EXPECT_EQ(ToBytes(text), padded) << n;

        TMemoryStream payload = StreamOf(value);
        EncryptPayload(payload, password);
        ASSERT_TRUE(DecryptPayload(payload, password));
        EXPECT_EQ(payload.Bytes(), padded) << n;
    }
}

// Truncated, corrupted or foreign bytes decipher to garbage of whole blocks.
TEST(Payload, GarbageNeverBreaksTheDecipheringSide)
{
    std::mt19937 rng(5);
    for (size_t n = 0; n <= 300; ++n)
        for (bool marked : {false, true}) {
            Bytes bytes = RandomBytes(rng, n);
            if (marked)
                bytes.insert(bytes.begin(), EncryptMarker.begin(), EncryptMarker.end());
            const std::string password = n % 3 ? "pw" : "";

            TMemoryStream payload = StreamOf(bytes);
            ASSERT_EQ(DecryptPayload(payload, password), HasEncryptMarker(bytes));
            if (HasEncryptMarker(bytes))
                EXPECT_EQ(payload.Size(), Padded(bytes.size() - EncryptMarker.size()));
            else
                EXPECT_EQ(payload.Bytes(), bytes);

            TMemoryStream stream = StreamOf(bytes);
            TGost::DecryptStream(stream, password);
            EXPECT_EQ(stream.Size(), Padded(bytes.size()));
            std::string text(bytes.begin(), bytes.end());
            TGost::Decrypt(text, password);
            EXPECT_EQ(text.size(), Padded(bytes.size()));
        }
}

TEST(Payload, PropertyRulesRefuseWithTheirMessage)
{
    const std::string encryptText = "PLEASE SET CODEMODE AS bMode";
    const std::string modeText = "if bEncrypt is True, DON'T SELECTED cMode,tMode OR nMode!";
    const std::string passwordText = "Length of Password <= 32!";
    const struct {
        const char* what;
        bool (*rule)(const TMessageFn&);
        std::optional<std::string> refusal;
    } cases[] = {
        {"encrypt outside bMode", [](auto& m) { return CanSetIsEncrypt(true, false, m); }, encryptText},
        {"encrypt in bMode", [](auto& m) { return CanSetIsEncrypt(true, true, m); }, {}},
        {"stop encrypting", [](auto& m) { return CanSetIsEncrypt(false, false, m); }, {}},
        {"leave bMode encrypted", [](auto& m) { return CanSetCodeMode(false, true, m); }, modeText},
        {"bMode encrypted", [](auto& m) { return CanSetCodeMode(true, true, m); }, {}},
        {"leave bMode plain", [](auto& m) { return CanSetCodeMode(false, false, m); }, {}},
        {"empty password", [](auto& m) { return CanSetPassword("", m); }, {}},
        {"32 characters", [](auto& m) { return CanSetPassword(std::string(32, 'p'), m); }, {}},
        {"33 characters", [](auto& m) { return CanSetPassword(std::string(33, 'p'), m); }, passwordText},
    };
    for (const auto& c : cases) {
        std::vector<std::string> shown;
        EXPECT_EQ(c.rule([&](const std::string& text) { shown.push_back(text); }), !c.refusal) << c.what;
        EXPECT_EQ(shown, c.refusal ? std::vector{*c.refusal} : std::vector<std::string>{}) << c.what;
        EXPECT_EQ(c.rule({}), !c.refusal) << c.what << " without a message hook";
    }
}

TEST(PayloadMemoryStream, PositionStaysInsideTheBytes)
{
    const struct {
        int64_t offset;
        TSeekOrigin origin;
        size_t position;
    } seeks[] = {
        {3, TSeekOrigin::soBeginning, 3},   {-1, TSeekOrigin::soBeginning, 0},       {11, TSeekOrigin::soBeginning, 10},
        {2, TSeekOrigin::soCurrent, 6},     {-9, TSeekOrigin::soCurrent, 0},         {-2, TSeekOrigin::soEnd, 8},
        {LLONG_MIN, TSeekOrigin::soEnd, 0}, {LLONG_MAX, TSeekOrigin::soCurrent, 10},
    };
    for (const auto& s : seeks) {
        TMemoryStream stream = StreamOf(Bytes(10, 7));
        stream.Seek(4);
        EXPECT_EQ(stream.Seek(s.offset, s.origin), s.position) << s.offset;
    }

    TMemoryStream stream = StreamOf({1, 2, 3, 4});
    uint8_t buffer[8] = {};
    stream.Seek(-1, TSeekOrigin::soEnd);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 1u);
    EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0u);
    stream.Seek(2);
    stream.Write("xyz", 3);
    EXPECT_EQ(stream.Bytes(), (Bytes{1, 2, 'x', 'y', 'z'}));
    stream.SetSize(3);
    EXPECT_EQ(stream.Position(), 3u);
    stream.Clear();
    EXPECT_EQ(stream.Size() + stream.Position(), 0u);
}

} // namespace
} // namespace VandrelTest
