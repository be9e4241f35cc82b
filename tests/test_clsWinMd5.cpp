#include "digest/clsWinMd5.h"
#include "platform/Md5.h"

#include "support/FileBytes.h"
#include "support/QtPrinters.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::writeFileBytes;

namespace {

QString referenceMd5(const QByteArray& bytes) {
    return QString::fromLatin1(
        QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toUpper());
}

QByteArray randomBytes(qsizetype count) {
    QByteArray bytes(count, '\0');
    QRandomGenerator generator(1321);
    for (char& byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

} // namespace

TEST(Md5Context, CountersCountBitsAndFinalCountsThePadding) {
    platform::MD5_CTX context{};
    platform::MD5Init(&context);
    const unsigned char abc[] = {'a', 'b', 'c'};
    platform::MD5Update(&context, abc, 3);
    EXPECT_EQ(context.i[0], 24u);
    EXPECT_EQ(context.i[1], 0u);

    platform::MD5Init(&context);
    platform::MD5Update(&context, abc, 0);
    platform::MD5Final(&context);
    EXPECT_EQ(context.i[0], 512u); // 56 padding bytes and 8 length bytes

    // The low word carries into the high word.
    platform::MD5Init(&context);
    context.i[0] = 0xFFFFFFF8u;
    platform::MD5Update(&context, abc, 2);
    EXPECT_EQ(context.i[0], 8u);
    EXPECT_EQ(context.i[1], 1u);
}

TEST(Md5Context, PiecewiseUpdatesGiveTheDigestOfTheWhole) {
    const QByteArray data = randomBytes(1000);
    for (int piece : {1, 7, 55, 56, 63, 64, 65, 200}) {
        platform::MD5_CTX context{};
        platform::MD5Init(&context);
        for (qsizetype at = 0; at < data.size(); at += piece) {
            const auto count =
                static_cast<unsigned int>(std::min<qsizetype>(piece, data.size() - at));
            platform::MD5Update(
                &context, reinterpret_cast<const unsigned char*>(data.constData() + at), count);
        }
        platform::MD5Final(&context);
        const QByteArray digest(reinterpret_cast<const char*>(context.digest), 16);
        EXPECT_EQ(digest, QCryptographicHash::hash(data, QCryptographicHash::Md5)) << piece;
    }
}

TEST(clsWinMd5, Rfc1321TestSuiteInUpperCase) {
    const struct {
        const char* text;
        const char* digest;
    } suite[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"1234567890123456789012345678901234567890"
         "1234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    clsWinMd5 md5;
    for (const auto& entry : suite)
        EXPECT_EQ(md5.GetMD5String(QString::fromLatin1(entry.text)), QLatin1String(entry.digest))
            << entry.text;
}

TEST(clsWinMd5, ChineseTextHashesItsCodePage936Bytes) {
    clsWinMd5 md5;
    const QString digest = md5.GetMD5String(QStringLiteral("中文"));
    EXPECT_EQ(digest, referenceMd5(QByteArray("\xD6\xD0\xCE\xC4")));
    EXPECT_NE(digest, referenceMd5(QStringLiteral("中文").toUtf8()));
}

TEST(clsWinMd5, BytesHashTheFirstSizeBytesAndNeverMore) {
    const QByteArray buffer("\x05\x06\x07", 3);
    clsWinMd5 md5;
    EXPECT_EQ(md5.GetMD5Bytes(buffer, -1), referenceMd5(buffer));
    EXPECT_EQ(md5.GetMD5Bytes(buffer, 2), referenceMd5(buffer.left(2)));
    EXPECT_EQ(md5.GetMD5Bytes(buffer, 0), referenceMd5(QByteArray()));
    // Sizes outside the array are clamped to it.
    EXPECT_EQ(md5.GetMD5Bytes(buffer, 1000), referenceMd5(buffer));
    EXPECT_EQ(md5.GetMD5Bytes(buffer, -7), referenceMd5(QByteArray()));
    for (int size : {-1, 0, 5})
        EXPECT_EQ(md5.GetMD5Bytes(QByteArray(), size),
                  QStringLiteral("D41D8CD98F00B204E9800998ECF8427E"));
}

class Md5File : public ::testing::Test {
protected:
    QTemporaryDir dir;
};

TEST_F(Md5File, ChunkBoundariesGiveTheDigestOfTheWholeFile) {
    clsWinMd5 md5;
    for (qsizetype size : {0, 1, 524287, 524288, 524289, 1048577}) {
        const QByteArray data = randomBytes(size);
        const QString path = dir.filePath(QStringLiteral("data%1.bin").arg(size));
        ASSERT_TRUE(writeFileBytes(path, data));
        EXPECT_EQ(md5.GetMD5File(path), referenceMd5(data)) << size;
    }
}

TEST_F(Md5File, WhatIsNoOrdinaryFileGivesEmptyAndIsNotCreated) {
    clsWinMd5 md5;
    ASSERT_EQ(md5.GetMD5String(QStringLiteral("abc")).size(), 32);
    const QString missing = dir.filePath(QStringLiteral("missing.bin"));
    EXPECT_EQ(md5.GetMD5File(missing), QString());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(md5.GetMD5File(dir.path()), QString());
    EXPECT_EQ(md5.GetMD5File(QStringLiteral("/dev/null")), QString());
    const QString hidden = dir.filePath(QStringLiteral(".hidden"));
    ASSERT_TRUE(writeFileBytes(hidden, "abc"));
    EXPECT_EQ(md5.GetMD5File(hidden), QString());
}

// Hashing 2 GiB takes several seconds, so it runs only when asked for.
TEST_F(Md5File, FileOfTwoGibibytesAndMoreIsHashedWhole) {
    if (qEnvironmentVariableIsEmpty("QUORVEL_LARGE_FILE_TESTS"))
        GTEST_SKIP() << "set QUORVEL_LARGE_FILE_TESTS=1 to hash a 2 GiB file";
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize((qint64(1) << 31) + 1)); // sparse: zeros
    file.close();
    clsWinMd5 md5;
    // md5sum of 2147483649 zero bytes.
    EXPECT_EQ(md5.GetMD5File(path), QStringLiteral("97CDD4BB45C3D5D652C0079901FB4EEC"));
}
