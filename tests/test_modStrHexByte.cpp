#include "credentials/modStrHexByte.h"

#include "support/QtPrinters.h"

using namespace modStrHexByte;

namespace {
const QString kAppId = QStringLiteral("20240101000123456");
const QString kKey = QStringLiteral("Qv7Rk2Lp9Xw4Tn6Mz8Bc");
// Computed with md5sum and shell arithmetic in tests/fixtures/make-fixtures.sh.
const QString kStored = QStringLiteral("25BC8C975F27896E493C5D3010892D340EF2F9A6");
} // namespace

TEST(modStrHexByte, TextBytesHexAndXor) {
    EXPECT_EQ(StrToBytes("Ab 1€"), "Ab 1\x80"); // the euro sign is one byte in code page 936
    EXPECT_EQ(BytesToStr("Ab 1\x80"), QStringLiteral("Ab 1€"));
    // A lead byte is no character alone; the text still has one character per byte.
    EXPECT_EQ(BytesToStr("a\xD6z"), QStringLiteral("a\uFFFDz"));
    EXPECT_EQ(BytesToHex(QByteArray("\x00\x0F\xA0\xFF", 4)), "000FA0FF");
    EXPECT_EQ(XorBytes("\x0F\xF0\x55", "\xFF\xFF"), "\xF0\x0F"); // over the shorter length
    EXPECT_EQ(XorHex("0FF055", "ffff"), "F00F");
    EXPECT_EQ(XorHex("0FF0", ""), "");
}

TEST(modStrHexByte, HexToBytesPairsAndOddLengths) {
    for (const auto& [hex, bytes] : {
             std::pair("000fA0Ff", QByteArray("\x00\x0F\xA0\xFF", 4)),
             std::pair("", QByteArray()),
             std::pair("A", QByteArray("\x0A")), // n mod 4 = 1: the last digit is a byte alone
             std::pair("1234B", QByteArray("\x12\x34\x0B")),
             std::pair("12C", QByteArray("\x12")), // n mod 4 = 3: the last digit is dropped
             std::pair("123456D", QByteArray("\x12\x34\x56")),
             // Blanks inside a pair are ignored; leading digits count; none gives 0.
             std::pair(" A\tB\nC", QByteArray("\x0A\x0B\x0C")),
             std::pair("1GG1zz", QByteArray("\x01\x00\x00", 3)),
         })
        EXPECT_EQ(HexToBytes(hex), bytes) << hex;
}

TEST(modStrHexByte, CharacterWithoutSingleByteCodeIsReported) {
    try {
        StrToBytes(QStringLiteral("ab中c"));
        FAIL() << "a double-byte character was converted";
    } catch (const CharacterCodeOverflow& error) {
        EXPECT_EQ(error.character(), QStringLiteral("中"));
        EXPECT_EQ(error.position(), 2);
        EXPECT_NE(std::string(error.what()).find("U+4E2D"), std::string::npos) << error.what();
    }
    // Characters the code page cannot represent at all would come back as '?'.
    EXPECT_THROW(StrToBytes(QString::fromUtf8("key\U0001F600")), CharacterCodeOverflow);
    EXPECT_THROW(StrToBytes(QStringLiteral("\u0E01")), std::overflow_error);
}

TEST(modStrHexByte, StoredFormMatchesOneMadeByHand) {
    // printf %s 20240101000123456 | md5sum
    const QString digest = QStringLiteral("74CABBC53415C51E70642A0444E71B79");
    EXPECT_EQ(MakeKeyStream(kAppId), digest + digest);
    EXPECT_EQ(EncodeSecretKey(kAppId, kKey), kStored);
    EXPECT_EQ(DecodeSecretKey(kAppId, kStored), kKey);
    // The App ID goes into the digest as it is, spaces included.
    EXPECT_NE(DecodeSecretKey(QStringLiteral(" 20240101000123456"), kStored), kKey);
}

// The key stream is 32 bytes long: a longer key is stored cut.
TEST(modStrHexByte, EncodeThenDecodeGivesTheKeyCutToThirtyTwoCharacters) {
    QString key;
    for (int length = 1; length <= 40; ++length) {
        key += QChar(u'!' + (length * 37) % 94);
        const QString stored = EncodeSecretKey(kAppId, key);
        EXPECT_EQ(stored.size(), 2 * std::min(length, 32));
        EXPECT_EQ(DecodeSecretKey(kAppId, stored), key.left(32)) << length;
    }
}
