#include "credentials/modStrHexByte.h"

#include "support/QtPrinters.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace modStrHexByte;

namespace {

// A printable ASCII key of the given length.
QString keyOfLength(int length) {
    QString key;
    for (int i = 0; i < length; ++i)
        key += QChar(u'!' + (i * 37) % 94);
    return key;
}

const QString kAppId = QStringLiteral("20240101000123456");

} // namespace

TEST(modStrHexByte, TextAndBytes) {
    EXPECT_EQ(StrToBytes(QStringLiteral("Ab 1")), QByteArray("Ab 1"));
    EXPECT_EQ(StrToBytes(QStringLiteral("€")), QByteArray("\x80")); // single byte in code page 936
    EXPECT_EQ(BytesToStr(QByteArray("Ab 1\x80")), QStringLiteral("Ab 1€"));
    // A lead byte is no character alone; the text still has one character per byte.
    EXPECT_EQ(BytesToStr(QByteArray("a\xD6z")), QStringLiteral("a\uFFFDz"));
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

TEST(modStrHexByte, BytesToHexWritesTwoUppercaseDigitsPerByte) {
    EXPECT_EQ(BytesToHex(QByteArray("\x00\x0F\xA0\xFF", 4)), QStringLiteral("000FA0FF"));
    EXPECT_EQ(BytesToHex(QByteArray()), QString());
}

TEST(modStrHexByte, HexToBytesPairsAndOddLengths) {
    EXPECT_EQ(HexToBytes(QStringLiteral("000fA0Ff")), QByteArray("\x00\x0F\xA0\xFF", 4));
    EXPECT_EQ(HexToBytes(QString()), QByteArray());
    // n mod 4 = 1: the last digit is a byte by itself.
    EXPECT_EQ(HexToBytes(QStringLiteral("A")), QByteArray("\x0A"));
    EXPECT_EQ(HexToBytes(QStringLiteral("1234B")), QByteArray("\x12\x34\x0B"));
    // n mod 4 = 3: the last digit is dropped.
    EXPECT_EQ(HexToBytes(QStringLiteral("12C")), QByteArray("\x12"));
    EXPECT_EQ(HexToBytes(QStringLiteral("123456D")), QByteArray("\x12\x34\x56"));
    // Blanks inside a pair are ignored; leading digits count; no leading digit gives 0.
    EXPECT_EQ(HexToBytes(QStringLiteral(" A\tB\nC")), QByteArray("\x0A\x0B\x0C"));
    EXPECT_EQ(HexToBytes(QStringLiteral("1GG1zz")), QByteArray("\x01\x00\x00", 3));
}

TEST(modStrHexByte, XorOverTheShorterLength) {
    EXPECT_EQ(XorBytes(QByteArray("\x0F\xF0\x55"), QByteArray("\xFF\xFF")), QByteArray("\xF0\x0F"));
    EXPECT_EQ(XorHex(QStringLiteral("0FF055"), QStringLiteral("ffff")), QStringLiteral("F00F"));
    EXPECT_EQ(XorHex(QStringLiteral("0FF0"), QString()), QString());
}

TEST(modStrHexByte, KeyStreamIsTheAppIdDigestTwice) {
    // printf %s 20240101000123456 | md5sum
    const QString digest = QStringLiteral("74CABBC53415C51E70642A0444E71B79");
    EXPECT_EQ(MakeKeyStream(kAppId), digest + digest);
}

TEST(modStrHexByte, StoredFormMatchesOneMadeByHand) {
    // Computed with md5sum and shell arithmetic in tests/fixtures/make-fixtures.sh.
    EXPECT_EQ(EncodeSecretKey(kAppId, QStringLiteral("Qv7Rk2Lp9Xw4Tn6Mz8Bc")),
              QStringLiteral("25BC8C975F27896E493C5D3010892D340EF2F9A6"));
    EXPECT_EQ(DecodeSecretKey(kAppId, QStringLiteral("25BC8C975F27896E493C5D3010892D340EF2F9A6")),
              QStringLiteral("Qv7Rk2Lp9Xw4Tn6Mz8Bc"));
}

TEST(modStrHexByte, EncodeThenDecodeForKeysOfOneToThirtyTwoCharacters) {
    const QRegularExpression upperHex(QStringLiteral("^[0-9A-F]*$"));
    for (int length = 1; length <= 32; ++length) {
        const QString key = keyOfLength(length);
        const QString stored = EncodeSecretKey(kAppId, key);
        EXPECT_EQ(stored.size(), 2 * length);
        EXPECT_TRUE(upperHex.match(stored).hasMatch()) << stored.toStdString();
        EXPECT_NE(stored, BytesToHex(StrToBytes(key)));
        EXPECT_EQ(DecodeSecretKey(kAppId, stored), key) << length;
    }
}

TEST(modStrHexByte, KeyBeyondThirtyTwoCharactersIsCut) {
    const QString key = keyOfLength(40);
    const QString stored = EncodeSecretKey(kAppId, key);
    EXPECT_EQ(stored.size(), 64);
    EXPECT_EQ(DecodeSecretKey(kAppId, stored), key.left(32));
}

TEST(modStrHexByte, CharactersSeventeenOnReuseTheDigestFromItsStart) {
    const QString key = QString(32, u'k');
    const QString stored = EncodeSecretKey(kAppId, key);
    EXPECT_EQ(stored.left(32), stored.mid(32));
    // One changed character changes exactly its own two digits.
    QString changed = key;
    changed[20] = u'K';
    const QString other = EncodeSecretKey(kAppId, changed);
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(other.mid(2 * i, 2) == stored.mid(2 * i, 2), i != 20) << i;
}

TEST(modStrHexByte, DecodingUnderAnotherAppIdGivesAnotherTextOfTheSameLength) {
    const QString key = QStringLiteral("Qv7Rk2Lp9Xw4Tn6Mz8Bc");
    const QString stored = EncodeSecretKey(kAppId, key);
    const QString decoded = DecodeSecretKey(QStringLiteral("20240101000123457"), stored);
    EXPECT_EQ(decoded.size(), key.size());
    EXPECT_NE(decoded, key);
    // The App ID goes into the digest as it is, spaces and case included.
    EXPECT_NE(DecodeSecretKey(QStringLiteral(" 20240101000123456"), stored), key);
}
